#include "settings/atomic_file.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <string>
#include <vector>

#include "settings/settings_test_files.h"

namespace quellar {
namespace {

namespace fs = std::filesystem;
using test::ExecutableDir;
using test::ReadBytes;
using test::WriteBytes;

std::vector<std::string> Entries(const fs::path& directory) {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(directory))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

TEST(ReadWholeFile, aMissingFileReadsAsEmpty) {
  const ExecutableDir dir;
  EXPECT_EQ(ReadWholeFile(dir.Path() / "none.ini"), std::string());
}

TEST(ReadWholeFile, readsEveryByte) {
  const ExecutableDir dir;
  const std::string bytes("a\0b\r\n\xFF", 6);
  WriteBytes(dir.Path() / "f.ini", bytes);
  EXPECT_EQ(ReadWholeFile(dir.Path() / "f.ini"), bytes);
}

TEST(ReadWholeFile, aDirectoryCannotBeRead) {
  const ExecutableDir dir;
  fs::create_directory(dir.Path() / "f.ini");
  EXPECT_EQ(ReadWholeFile(dir.Path() / "f.ini"), std::nullopt);
}

TEST(ReplaceFileAtomically, replacesTheWholeContentsAndLeavesNoTemporaryFile) {
  const ExecutableDir dir;
  WriteBytes(dir.Path() / "f.ini", std::string(10000, 'o'));
  ASSERT_TRUE(ReplaceFileAtomically(dir.Path() / "f.ini", "short"));
  EXPECT_EQ(ReadBytes(dir.Path() / "f.ini"), "short");
  ASSERT_TRUE(ReplaceFileAtomically(dir.Path() / "f.ini", ""));
  EXPECT_EQ(ReadBytes(dir.Path() / "f.ini"), "");
  EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"f.ini"});
}

TEST(ReplaceFileAtomically, keepsThePermissionsOfTheOldFile) {
#ifdef _WIN32
  GTEST_SKIP() << "Windows files have no owner, group and other permission bits";
#endif
  const ExecutableDir dir;
  const fs::path file = dir.Path() / "f.ini";
  WriteBytes(file, "old");
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  ASSERT_TRUE(ReplaceFileAtomically(file, "new"));
  EXPECT_EQ(fs::status(file).permissions(),
            fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

constexpr fs::perms kOddPermissions =
    fs::perms::owner_read | fs::perms::owner_write | fs::perms::others_read;

// The write in place and the owner are the POSIX save's own; on Windows Qt's
// save file does both.
#ifndef _WIN32

// A folder that takes no new file (a shared folder where the user may write
// options.ini and nothing else), and a name too long for its temporary file's
// name, which stands in for one even for root: the file is written in place,
// keeping its permissions, and no other file is left.
TEST(ReplaceFileAtomically, aTemporaryFileThatCannotBeMadeHasTheFileWrittenInPlace) {
  const ExecutableDir lockedDir;
  const fs::path lockedFile = lockedDir.SettingsFile();
  const ExecutableDir dir;
  const fs::path file = dir.Path() / std::string(250, 'f');
  for (const fs::path& target : {lockedFile, file}) {
    WriteBytes(target, "old contents");
    fs::permissions(target, kOddPermissions);
  }
  {
    const test::UnwritableFile folder(lockedDir.Path());
    if (folder.Made()) {
      ASSERT_TRUE(ReplaceFileAtomically(lockedFile, "new"));
      EXPECT_EQ(ReadBytes(lockedFile), "new");
      EXPECT_EQ(fs::status(lockedFile).permissions(), kOddPermissions);
      EXPECT_EQ(Entries(lockedDir.Path()), std::vector<std::string>{"options.ini"});
    }
  }
  ASSERT_TRUE(ReplaceFileAtomically(file, "new"));
  EXPECT_EQ(ReadBytes(file), "new");
  EXPECT_EQ(fs::status(file).permissions(), kOddPermissions);
  EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{std::string(250, 'f')});

  // A write in place that fails part way (here at the size limit) puts the old bytes back.
  rlimit limit{};
  ::getrlimit(RLIMIT_FSIZE, &limit);
  const rlimit small{100, limit.rlim_max};
  const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
  ::setrlimit(RLIMIT_FSIZE, &small);
  const bool replaced = ReplaceFileAtomically(file, std::string(1000, 'n'));
  ::setrlimit(RLIMIT_FSIZE, &limit);
  std::signal(SIGXFSZ, oldHandler);
  EXPECT_FALSE(replaced);
  EXPECT_EQ(ReadBytes(file), "new");
}

TEST(ReplaceFileAtomically, keepsTheOwnerOfAnotherUsersFile) {
  if (::geteuid() != 0)
    GTEST_SKIP() << "only root can give a file to another user";
  const ExecutableDir dir;
  const fs::path file = dir.Path() / "f.ini";
  WriteBytes(file, "old");
  ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
  ASSERT_TRUE(ReplaceFileAtomically(file, "new"));
  struct stat after {};
  ASSERT_EQ(::stat(file.c_str(), &after), 0);
  EXPECT_EQ(after.st_uid, 65534u);
  EXPECT_EQ(after.st_gid, 65534u);
}

#endif

TEST(ReplaceFileAtomically, replacesTheTargetOfASymbolicLink) {
  const ExecutableDir dir;
  fs::create_directory(dir.Path() / "real");
  WriteBytes(dir.Path() / "real" / "f.ini", "old");
  std::error_code error;
  fs::create_symlink(fs::path("real") / "f.ini", dir.Path() / "f.ini", error);
  if (error)  // Wine, or Windows without the privilege to make links
    GTEST_SKIP() << "this system cannot make a symbolic link: " << error.message();
  ASSERT_TRUE(ReplaceFileAtomically(dir.Path() / "f.ini", "new"));
  EXPECT_TRUE(fs::is_symlink(dir.Path() / "f.ini"));
  EXPECT_EQ(ReadBytes(dir.Path() / "real" / "f.ini"), "new");
}

TEST(ReplaceFileAtomically, failsWhenADirectoryStandsWhereTheFileShouldBe) {
  const ExecutableDir dir;
  fs::create_directory(dir.Path() / "f.ini");
  EXPECT_FALSE(ReplaceFileAtomically(dir.Path() / "f.ini", "new"));
  EXPECT_TRUE(fs::is_directory(dir.Path() / "f.ini"));
  EXPECT_EQ(Entries(dir.Path()), std::vector<std::string>{"f.ini"});
}

}  // namespace
}  // namespace quellar
