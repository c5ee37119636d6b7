#pragma once

#include <QTemporaryDir>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>

namespace quellar::test {

// The bytes of a file as they are on disk; empty when it is missing.
std::string ReadBytes(const std::filesystem::path& file);

// Makes file hold exactly bytes.
void WriteBytes(const std::filesystem::path& file, std::string_view bytes);

// Everything under directory, by its path relative to it: a file's bytes, or
// "<folder>" for a folder.
std::map<std::string, std::string> Snapshot(const std::filesystem::path& directory);

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

// Makes a file impossible for this process to write while it lives: read-only
// for an ordinary user; immutable for root, who may write any other file; the
// read-only attribute on Windows. A directory so made takes no new file, while
// the files in it stay writable.
class UnwritableFile {
 public:
  explicit UnwritableFile(const std::filesystem::path& file);
  ~UnwritableFile();
  UnwritableFile(const UnwritableFile&) = delete;
  UnwritableFile& operator=(const UnwritableFile&) = delete;

  // False when the file system cannot do it.
  bool Made() const { return made_; }

 private:
  std::filesystem::path file_;
  std::filesystem::perms perms_{};
  int fd_ = -1;
  int flags_ = 0;
  bool made_ = false;
};

}  // namespace quellar::test
