#include "settings/settings_test_files.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

#include <fstream>
#include <iterator>

#include "settings/settings_file.h"

namespace quellar::test {

std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  ASSERT_TRUE(out) << "cannot write " << file;
}

std::map<std::string, std::string> Snapshot(const std::filesystem::path& directory) {
  std::map<std::string, std::string> entries;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(directory)) {
    entries[entry.path().lexically_relative(directory).generic_string()] =
        entry.is_directory() ? "<folder>" : ReadBytes(entry.path());
  }
  return entries;
}

ExecutableDir::ExecutableDir() {
  if (!dir_.isValid())
    throw std::runtime_error("no temporary directory");
}

std::filesystem::path ExecutableDir::Path() const {
  return std::filesystem::path(dir_.path().toStdString());
}

std::filesystem::path ExecutableDir::SettingsFile() const {
  return SettingsFilePath(Path());
}

#ifdef _WIN32

// The read-only attribute, which binds administrators too. On a folder it
// stops nothing: new files may still be made there, so a folder is not made.
UnwritableFile::UnwritableFile(const std::filesystem::path& file) : file_(file) {
  if (std::filesystem::is_directory(file))
    return;
  std::error_code error;
  std::filesystem::permissions(file, std::filesystem::perms::owner_read, error);
  made_ = !error;
}

// Cleared again, or the temporary directory could not be removed.
UnwritableFile::~UnwritableFile() {
  std::error_code error;
  if (made_)
    std::filesystem::permissions(file_, std::filesystem::perms::owner_all, error);
}

#else

UnwritableFile::UnwritableFile(const std::filesystem::path& file) {
  namespace fs = std::filesystem;
  if (::geteuid() != 0) {
    file_ = file;
    perms_ = fs::status(file).permissions();
    fs::permissions(file, fs::is_directory(file) ? fs::perms::owner_read | fs::perms::owner_exec
                                                 : fs::perms::owner_read);
    made_ = true;
    return;
  }
  fd_ = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd_ < 0 || ::ioctl(fd_, FS_IOC_GETFLAGS, &flags_) != 0)
    return;
  int immutable = flags_ | FS_IMMUTABLE_FL;
  made_ = ::ioctl(fd_, FS_IOC_SETFLAGS, &immutable) == 0;
}

UnwritableFile::~UnwritableFile() {
  if (!file_.empty())
    std::filesystem::permissions(file_, perms_);
  if (fd_ < 0)
    return;
  if (made_)
    ::ioctl(fd_, FS_IOC_SETFLAGS, &flags_);
  ::close(fd_);
}

#endif

}  // namespace quellar::test
