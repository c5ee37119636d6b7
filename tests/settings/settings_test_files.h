#pragma once

#include <QTemporaryDir>
#include <filesystem>
#include <string>
#include <string_view>

namespace quellar::test {

// The bytes of a file as they are on disk; empty when it is missing.
std::string ReadBytes(const std::filesystem::path& file);

// Makes file hold exactly bytes.
void WriteBytes(const std::filesystem::path& file, std::string_view bytes);

// A fresh directory standing in for the executable's, removed afterwards.
class ExecutableDir {
 public:
  ExecutableDir();
  std::filesystem::path Path() const;
  // "options.ini" in it.
  std::filesystem::path SettingsFile() const;

 private:
  QTemporaryDir dir_;
};

}  // namespace quellar::test
