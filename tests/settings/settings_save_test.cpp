#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/error.h"
#include "settings/settings_file.h"
#include "settings/settings_location.h"
#include "settings/settings_test_files.h"
#include "support/printers.h"

namespace quellar {
namespace {

namespace fs = std::filesystem;
using test::ExecutableDir;
using test::PrintTo;  // names each case in gtest's output
using test::ReadBytes;
using test::Snapshot;
using test::WriteBytes;
using testing::ElementsAre;

std::string ErrorOf(const fs::path& file, const ClanLists& clans, DialogSettings& fields) {
  try {
    SaveSettings(file, clans, fields);
  } catch (const Error& error) {
    return error.what();
  }
  return "no error";
}

// What the folder holds after a save: the settings file alone, with these bytes.
std::map<std::string, std::string> SettingsFileAlone(const std::string& bytes) {
  return {{"options.ini", bytes}};
}

// A save in the executable's folder: the file's exact bytes, what the save said,
// and the port field left as typed.
struct SaveCase {
  const char* name;
  std::optional<std::string> before;  // none: no settings file yet
  ClanLists clans;
  DialogSettings fields;
  std::string after;
  std::string error = "no error";
};

class SavedFile : public testing::TestWithParam<SaveCase> {};

TEST_P(SavedFile, holdsExactlyTheBytesOfTheSettingsSaved) {
  const SaveCase& c = GetParam();
  const ExecutableDir dir;
  if (c.before)
    WriteBytes(dir.SettingsFile(), *c.before);
  DialogSettings fields = c.fields;
  EXPECT_EQ(ErrorOf(dir.SettingsFile(), c.clans, fields), c.error);
  EXPECT_EQ(Snapshot(dir.Path()), SettingsFileAlone(c.after));
  EXPECT_EQ(fields.proxyPort, c.fields.proxyPort);
}

INSTANTIATE_TEST_SUITE_P(
    SaveSettings, SavedFile,
    testing::Values(
        SaveCase{"theProgramsLayoutIntoAMissingFile", std::nullopt,
                 ClanLists{{"Alpha", "\xCA\xEB\xE0\xED"}, {"Beta"}},
                 DialogSettings{true, "proxy.local", "3128"},
                 "[x3]\r\nClanName1=Alpha\r\nClanName2=\xCA\xEB\xE0\xED\r\n"
                 "[x300]\r\nClanName1=Beta\r\n"
                 "[Proxy]\r\nuse=1\r\nserver=proxy.local\r\nport=3128\r\n"},
        SaveCase{
            "theClanSectionsRewrittenAndEverythingElseKept",
            "; Quellar\r\n[Window]\r\nleft=10\r\n\r\n[x3]\r\nClanName1=Old\r\nClanName2=Gone\r\n"
            "[Proxy]\r\n; proxy\r\nuse=1\r\nserver=old.host\r\nport=1\r\nextra=keep\r\n"
            "[x300]\r\nClanName1=Old300\r\n[Notify]\r\non=1\r\n",
            ClanLists{{"New"}, {"New300", "Second"}}, DialogSettings{false, "new.host", "8080"},
            "; Quellar\r\n[Window]\r\nleft=10\r\n\r\n"
            "[Proxy]\r\n; proxy\r\nuse=0\r\nserver=new.host\r\nport=8080\r\nextra=keep\r\n"
            "[Notify]\r\non=1\r\n"
            "[x3]\r\nClanName1=New\r\n[x300]\r\nClanName1=New300\r\nClanName2=Second\r\n"},
        // Whatever its spelling; the other sections keep their bytes.
        SaveCase{"everyClanSectionOfAServersNameReplaced",
                 "[x3]\r\nClanName1=A\r\n[x3]\r\nfoo=B\r\n[Window]\r\nleft=1\r\n[X3]\r\nbar=C\r\n"
                 "; kept\r\n[x300]\r\nClanName1=D\r\n[ X300 ]\r\nbaz=E\r\n",
                 ClanLists{{"X"}, {"Y"}}, DialogSettings{},
                 "[Window]\r\nleft=1\r\n; kept\r\n[x3]\r\nClanName1=X\r\n[x300]\r\nClanName1=Y\r\n"
                 "[Proxy]\r\nuse=0\r\nserver=\r\nport=80\r\n"},
        SaveCase{"handEditedKeysRewrittenAsNumberedClanNames",
                 "[x3]\r\nfoo=Alpha\r\nBar = Beta\r\n; note\r\nbaz=Gamma\r\n[Proxy]\r\nuse=0\r\n",
                 ClanLists{{"Alpha", "Beta", "Gamma"}, {}}, DialogSettings{},
                 "; note\r\n[Proxy]\r\nuse=0\r\nserver=\r\nport=80\r\n"
                 "[x3]\r\nClanName1=Alpha\r\nClanName2=Beta\r\nClanName3=Gamma\r\n"},
        SaveCase{"bothListsEmptyLeaveNoClanSection",
                 "[x3]\r\nClanName1=A\r\n[x300]\r\nClanName1=B\r\n[Proxy]\r\nuse=0\r\nserver=\r\n"
                 "port=80\r\n",
                 ClanLists{}, DialogSettings{false, "", "80"},
                 "[Proxy]\r\nuse=0\r\nserver=\r\nport=80\r\n"},
        SaveCase{"namesWrittenAsTyped", std::nullopt,
                 ClanLists{{"  Alpha  ", "\"Beta\"", "'Gamma'", " \" Delta \" ", ""}, {}},
                 DialogSettings{},
                 "[x3]\r\nClanName1=  Alpha  \r\nClanName2=\"Beta\"\r\nClanName3='Gamma'\r\n"
                 "ClanName4= \" Delta \" \r\nClanName5=\r\n"
                 "[Proxy]\r\nuse=0\r\nserver=\r\nport=80\r\n"},
        SaveCase{"duplicateNamesAsConsecutiveKeys", std::nullopt, ClanLists{{}, {"Twin", "Twin"}},
                 DialogSettings{},
                 "[x300]\r\nClanName1=Twin\r\nClanName2=Twin\r\n"
                 "[Proxy]\r\nuse=0\r\nserver=\r\nport=80\r\n"},
        // The clan sections, "use" and "server" are in the file; "port" is as it was.
        SaveCase{"aPortThatIsNoIntegerStoppingTheSaveBeforeThePort",
                 "[Proxy]\r\nuse=0\r\nserver=old\r\nport=8080\r\n", ClanLists{{"A"}, {}},
                 DialogSettings{true, "new", "80a"},
                 "[Proxy]\r\nuse=1\r\nserver=new\r\nport=8080\r\n[x3]\r\nClanName1=A\r\n",
                 "'80a' is not a valid integer value"},
        SaveCase{"aPortThatIsNoIntegerLeavingAMissingPortMissing", std::nullopt,
                 ClanLists{{}, {"B"}}, DialogSettings{false, "h", "80 "},
                 "[x300]\r\nClanName1=B\r\n[Proxy]\r\nuse=0\r\nserver=h\r\n",
                 "'80 ' is not a valid integer value"}),
    [](const testing::TestParamInfo<SaveCase>& info) { return std::string(info.param.name); });

TEST(SaveSettings, anEmptyPortIsSavedAs80AndShowsAs80) {
  const ExecutableDir dir;
  DialogSettings fields{true, "h", ""};
  SaveSettings(dir.SettingsFile(), ClanLists{}, fields);
  EXPECT_EQ(fields.proxyPort, "80");
  EXPECT_EQ(ReadBytes(dir.SettingsFile()), "[Proxy]\r\nuse=1\r\nserver=h\r\nport=80\r\n");
  ClanLists clans;
  EXPECT_EQ(LoadDialogSettings(dir.SettingsFile(), clans).proxyPort, "80");
}

struct PortCase {
  std::string typed;
  std::string written;
};

void PrintTo(const PortCase& c, std::ostream* out) {
  *out << "port " << testing::PrintToString(c.typed);
}

class PortField : public testing::TestWithParam<PortCase> {};

TEST_P(PortField, isWrittenAsTheNumberItDenotesInDecimal) {
  const ExecutableDir dir;
  DialogSettings fields{false, "", GetParam().typed};
  SaveSettings(dir.SettingsFile(), ClanLists{}, fields);
  EXPECT_EQ(ReadBytes(dir.SettingsFile()),
            "[Proxy]\r\nuse=0\r\nserver=\r\nport=" + GetParam().written + "\r\n");
  EXPECT_EQ(fields.proxyPort, GetParam().typed);
}

INSTANTIATE_TEST_SUITE_P(SaveSettings, PortField,
                         testing::Values(PortCase{"8080", "8080"}, PortCase{"0x1F", "31"},
                                         PortCase{"$1f", "31"}, PortCase{"  42", "42"},
                                         PortCase{"+7", "7"}, PortCase{"-1", "-1"},
                                         PortCase{"$FFFFFFFF", "-1"}, PortCase{"007", "7"}));

// Ways a directory can refuse the file, even to root.
enum class Obstacle { kNoDirectory, kFileForDirectory, kDirectoryForFile };

class RefusingDirectory : public testing::TestWithParam<Obstacle> {};

TEST_P(RefusingDirectory, failsWithTheFullPathAndChangesNothing) {
  const ExecutableDir dir;
  fs::path file;
  switch (GetParam()) {
    case Obstacle::kNoDirectory:
      file = SettingsFilePath(dir.Path() / "missing");
      break;
    case Obstacle::kFileForDirectory:
      WriteBytes(dir.Path() / "plain", "x");
      file = SettingsFilePath(dir.Path() / "plain");
      break;
    case Obstacle::kDirectoryForFile:
      file = dir.SettingsFile();
      fs::create_directory(file);
      break;
  }
  const ClanLists clans{{"A", "B"}, {"C"}};
  const ClanLists before = clans;
  const auto folderBefore = Snapshot(dir.Path());
  DialogSettings fields{true, "h", "3128"};
  EXPECT_EQ(ErrorOf(file, clans, fields), "Unable to write to " + file.string());
  EXPECT_EQ(clans.clansX3, before.clansX3);
  EXPECT_EQ(clans.clansX300, before.clansX300);
  EXPECT_EQ(Snapshot(dir.Path()), folderBefore);
}

INSTANTIATE_TEST_SUITE_P(SaveSettings, RefusingDirectory,
                         testing::Values(Obstacle::kNoDirectory, Obstacle::kFileForDirectory,
                                         Obstacle::kDirectoryForFile));

TEST(SaveSettings, aFileThatCannotBeWrittenIsNotReplaced) {
  const ExecutableDir dir;
  const std::string before = "[x3]\r\nClanName1=Old\r\n[Proxy]\r\nport=1\r\n";
  WriteBytes(dir.SettingsFile(), before);
  const test::UnwritableFile unwritable(dir.SettingsFile());
  if (!unwritable.Made())
    GTEST_SKIP() << "this file system cannot make a file immutable for root";
  const ClanLists clans{{"New"}, {}};
  DialogSettings fields{true, "h", "2"};
  EXPECT_EQ(ErrorOf(dir.SettingsFile(), clans, fields),
            "Unable to write to " + dir.SettingsFile().string());
  EXPECT_EQ(Snapshot(dir.Path()), SettingsFileAlone(before));
  EXPECT_THAT(clans.clansX3, ElementsAre("New"));
}

TEST(SaveSettings, theFailureNamesACyrillicPathInWindows1251) {
  const ExecutableDir dir;
#ifdef _WIN32
  // Windows names files in UTF-16 and joins them with backslashes.
  const fs::path file =
      SettingsFilePath(dir.Path() / L"\u041D\u0430\u0441\u0442\u0440\u043E\u0439\u043A\u0438");
  const std::string separator = "\\";
#else
  // "Настройки" in UTF-8, the file system's encoding.
  const fs::path file = SettingsFilePath(dir.Path() /
                                         "\xD0\x9D\xD0\xB0\xD1\x81\xD1\x82\xD1\x80\xD0\xBE\xD0\xB9"
                                         "\xD0\xBA\xD0\xB8");
  const std::string separator = "/";
#endif
  DialogSettings fields;
  EXPECT_EQ(ErrorOf(file, ClanLists{}, fields),
            "Unable to write to " + dir.Path().string() + separator +
                "\xCD\xE0\xF1\xF2\xF0\xEE\xE9\xEA\xE8" + separator + "options.ini");
}

TEST(SaveSettings, aNameOfEveryByteButTheLineEndsRoundTrips) {
  std::string name = "a";
  for (int byte = 1; byte < 256; ++byte) {
    if (byte != '\r' && byte != '\n')
      name.push_back(static_cast<char>(byte));
  }
  name += "z";
  const ExecutableDir dir;
  const ClanLists clans{{name, "plain"}, {name}};
  DialogSettings fields{true, name, "1"};
  SaveSettings(dir.SettingsFile(), clans, fields);

  ClanLists loaded;
  ProxySettings proxy;
  LoadSettings(dir.SettingsFile(), loaded, proxy);
  EXPECT_EQ(loaded.clansX3, clans.clansX3);
  EXPECT_EQ(loaded.clansX300, clans.clansX300);
  EXPECT_EQ(proxy.proxyHost, name);
  EXPECT_EQ(proxy.proxyPort, 1);
}

TEST(SettingsLocation, besideTheExecutableWhenTheFileIsThereOrTheFolderIsWritable) {
  const ExecutableDir dir;
  const fs::path config = dir.Path() / "config";
  EXPECT_EQ(ChooseSettingsFile(dir.Path(), config), dir.SettingsFile());
  EXPECT_TRUE(fs::is_empty(dir.Path()));  // the writability probe is gone
  WriteBytes(dir.SettingsFile(), "[x3]\r\n");
  const test::UnwritableFile unwritable(dir.Path());
  if (!unwritable.Made())
    GTEST_SKIP() << "this file system cannot make a folder immutable for root";
  EXPECT_EQ(ChooseSettingsFile(dir.Path(), config), dir.SettingsFile());
}

TEST(SettingsLocation, inTheUsersFolderCreatedAtTheFirstSaveWhenTheExecutablesIsReadOnly) {
  const ExecutableDir dir;
  const fs::path bin = dir.Path() / "bin";
  fs::create_directory(bin);
  const test::UnwritableFile unwritable(bin);
  if (!unwritable.Made())
    GTEST_SKIP() << "this file system cannot make a folder immutable for root";
  const fs::path file = ChooseSettingsFile(bin, dir.Path() / "config" / "quellar");
  EXPECT_EQ(file, dir.Path() / "config" / "quellar" / "options.ini");
  DialogSettings fields{true, "h", "3128"};
  CreateSettingsFolder(file);
  SaveSettings(file, ClanLists{{"A"}, {}}, fields);
  EXPECT_EQ(ReadBytes(file),
            "[x3]\r\nClanName1=A\r\n[Proxy]\r\nuse=1\r\nserver=h\r\nport=3128\r\n");
  EXPECT_TRUE(fs::is_empty(bin));

  WriteBytes(dir.Path() / "plain", "x");
  const fs::path refused = ChooseSettingsFile(bin, dir.Path() / "plain" / "quellar");
  CreateSettingsFolder(refused);
  EXPECT_EQ(ErrorOf(refused, ClanLists{}, fields),
            "Unable to write to " + dir.Path().string() + "/plain/quellar/options.ini");
}

}  // namespace
}  // namespace quellar
