#pragma once

#include <filesystem>

namespace quellar {

// Where "options.ini" lives. Beside the executable when it is there already or
// that folder lets the program create it: a portable copy, the Windows layout, a
// build tree. Otherwise, as for a copy installed in /usr/bin, in the user's own
// configuration folder, which the first save creates.
std::filesystem::path ChooseSettingsFile(const std::filesystem::path& executableDirectory,
                                         const std::filesystem::path& userConfigDirectory);

// The per-user configuration folder Qt gives the application (on Linux
// ~/.config/quellar); the application name must be set first.
std::filesystem::path UserConfigDirectory();

// Creates the folders leading to file when they are missing. A failure is left
// to the save, which then reports the file it could not write.
void CreateSettingsFolder(const std::filesystem::path& file);

}  // namespace quellar
