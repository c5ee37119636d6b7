#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace quellar {

// The whole contents of a file. A missing file reads as empty; nothing when the
// file exists but cannot be read (a directory in its place, no permission, an
// error while reading).
std::optional<std::string> ReadWholeFile(const std::filesystem::path& file);

// Replaces the contents of file by bytes in one step: the bytes go to a new
// file in the same directory, which is flushed to disk and then renamed over
// the old one, so that a reader, a crash or a power loss only ever leaves the
// old or the new contents, never a mix or a truncated file. A symbolic link is
// followed and its target replaced. The new file keeps the old one's owner,
// group and permissions. Where no new file can be made or given those (a folder
// that takes no new file, another user's file), the old file is written in place
// instead: then only a crash part way could leave a mix. Returns false, with the
// old file as it was, when any step fails (no such directory, a directory where
// the file should be, a read-only file, no permission, a full disk).
bool ReplaceFileAtomically(const std::filesystem::path& file, std::string_view bytes);

}  // namespace quellar
