#include "settings/atomic_file.h"

#include <fstream>
#include <system_error>

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <chrono>
#include <string>
#else
#include <QFile>
#include <QSaveFile>
#endif

namespace quellar {

std::optional<std::string> ReadWholeFile(const std::filesystem::path& file) {
  std::error_code error;
  const auto status = std::filesystem::status(file, error);
  if (status.type() == std::filesystem::file_type::not_found)
    return std::string();
  if (error || status.type() != std::filesystem::file_type::regular)
    return std::nullopt;

  std::ifstream in(file, std::ios::binary);
  if (!in)
    return std::nullopt;
  std::string bytes;
  // Read in one go what the size promises, then whatever the file grew by.
  const auto size = std::filesystem::file_size(file, error);
  if (!error && size > 0) {
    bytes.resize(static_cast<std::size_t>(size));
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
  }
  char chunk[65536];
  while (in) {
    in.read(chunk, sizeof chunk);
    bytes.append(chunk, static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad())
    return std::nullopt;
  return bytes;
}

#if defined(__unix__) || defined(__APPLE__)

namespace {

// The file a write lands in: a symbolic link's target rather than the link.
std::filesystem::path WriteTarget(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::is_symlink(file, error))
    return file;
  const auto target = std::filesystem::weakly_canonical(file, error);
  return error ? file : target;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    if (written < 0) {
      if (errno == EINTR)
        continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

// A name beside the file that no other writer uses, opened exclusively.
int CreateTemporary(const std::filesystem::path& target, std::filesystem::path& temporary) {
  static std::atomic<unsigned> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
  for (int attempt = 0; attempt < 100; ++attempt) {
    temporary = target;
    temporary.replace_filename("." + target.filename().string() + "." + std::to_string(::getpid()) +
                               "." + std::to_string(stamp) + "." + std::to_string(counter++) +
                               ".tmp");
    const int fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0 || errno != EEXIST)
      return fd;
  }
  return -1;
}

// Makes the rename itself survive a power loss. A directory that cannot be
// synchronised does not undo the write, which is in place already.
void SyncDirectory(const std::filesystem::path& target) {
  std::filesystem::path directory = target.parent_path();
  if (directory.empty())
    directory = ".";
  const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0)
    return;
  ::fsync(fd);
  ::close(fd);
}

// The plain way, for a folder that takes no new file: the bytes go over the old
// ones and the file is cut to their length, so its owner and permissions stay.
// A write that fails part way puts the old bytes back.
bool ReplaceInPlace(const std::filesystem::path& target, std::string_view bytes, bool existed) {
  const std::optional<std::string> before = existed ? ReadWholeFile(target) : std::string();
  if (!before)
    return false;
  const int fd = ::open(target.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
  if (fd < 0)
    return false;
  const auto put = [fd](std::string_view contents) {
    return ::lseek(fd, 0, SEEK_SET) == 0 && WriteAll(fd, contents) &&
           ::ftruncate(fd, static_cast<off_t>(contents.size())) == 0 && ::fsync(fd) == 0;
  };
  bool written = put(bytes);
  if (!written)
    put(*before);
  written = ::close(fd) == 0 && written;
  if (!written && !existed)
    ::unlink(target.c_str());
  return written;
}

}  // namespace

bool ReplaceFileAtomically(const std::filesystem::path& file, std::string_view bytes) {
  const std::filesystem::path target = WriteTarget(file);
  struct stat old {};
  const bool existed = ::stat(target.c_str(), &old) == 0;
  if (existed && !S_ISREG(old.st_mode))
    return false;
  // A file that could not be written in place (read-only) is not replaced either.
  if (existed && ::access(target.c_str(), W_OK) != 0)
    return false;

  std::filesystem::path temporary;
  const int fd = CreateTemporary(target, temporary);
  if (fd < 0)
    return ReplaceInPlace(target, bytes, existed);
  // The new file must have the old one's owner, group and permissions; where it
  // cannot (another user's file in a shared folder), the old file is written.
  if (existed &&
      (::fchown(fd, old.st_uid, old.st_gid) != 0 || ::fchmod(fd, old.st_mode & 07777) != 0)) {
    ::close(fd);
    ::unlink(temporary.c_str());
    return ReplaceInPlace(target, bytes, existed);
  }
  bool written = WriteAll(fd, bytes);
  written = written && ::fsync(fd) == 0;
  written = ::close(fd) == 0 && written;
  if (!written || ::rename(temporary.c_str(), target.c_str()) != 0) {
    ::unlink(temporary.c_str());
    return false;
  }
  SyncDirectory(target);
  return true;
}

#else

bool ReplaceFileAtomically(const std::filesystem::path& file, std::string_view bytes) {
  // QSaveFile writes a temporary file beside the target, flushes it to disk on
  // commit and renames it over the target; in a folder that takes no new file it
  // writes the target itself.
  QSaveFile out(QString::fromStdU16String(file.u16string()));
  out.setDirectWriteFallback(true);
  if (!out.open(QIODevice::WriteOnly))
    return false;
  if (out.write(bytes.data(), static_cast<qint64>(bytes.size())) !=
      static_cast<qint64>(bytes.size())) {
    out.cancelWriting();
    return false;
  }
  return out.commit();
}

#endif

}  // namespace quellar
