#pragma once

#include <QString>
#include <filesystem>

namespace quellar {

// A path as Qt names it, and back. Windows paths are UTF-16 on both sides; on
// Linux a path's bytes go through Qt's file-name encoding, the one QFile opens
// files with, so both name the same file.
QString PathToQString(const std::filesystem::path& path);
std::filesystem::path PathFromQString(const QString& path);

}  // namespace quellar
