#pragma once

#include <filesystem>

namespace quellar {

// Where history.sqlite lives: beside options.ini when the settings live beside
// the executable (a portable copy, Windows, a build tree); otherwise, as for a
// copy installed in /usr/bin, in the user's data folder. settingsFile is the
// settings layer's choice of options.ini.
std::filesystem::path ChooseHistoryFile(const std::filesystem::path& settingsFile,
                                        const std::filesystem::path& executableDirectory,
                                        const std::filesystem::path& userDataDirectory);

// The per-user data folder Qt gives the application (on Linux
// ~/.local/share/quellar); the application name must be set first.
std::filesystem::path UserDataDirectory();

}  // namespace quellar
