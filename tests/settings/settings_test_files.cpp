#include "settings/settings_test_files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

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

UnwritableFile::UnwritableFile(const std::filesystem::path& file) {
  if (::geteuid() != 0) {
    // A folder stays searchable, and is made writable again afterwards so that
    // what it holds can be removed.
    namespace fs = std::filesystem;
    if (fs::is_directory(file))
      folder_ = file;
    fs::permissions(
        file, fs::perms::owner_read | (folder_.empty() ? fs::perms::none : fs::perms::owner_exec));
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
  if (!folder_.empty())
    std::filesystem::permissions(folder_, std::filesystem::perms::owner_all);
  if (fd_ < 0)
    return;
  if (made_)
    ::ioctl(fd_, FS_IOC_SETFLAGS, &flags_);
  ::close(fd_);
}

}  // namespace quellar::test
