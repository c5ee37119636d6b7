#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "settings/ini_file.h"
#include "support/printers.h"

namespace quellar {
namespace {

using test::PrintTo;  // names each case in gtest's output

TEST(IniFileWrite, valuesWrittenIntoANewFileGiveThePlatformsExactBytes) {
  IniFile ini;
  ini.WriteValue("App1", "key1", "string1");
  ini.WriteValue("App1", "key2", "string2");
  ini.WriteValue("App1", "key3", "string3");
  ini.WriteValue("App2", "key4", "string4");
  ini.WriteValue("App3", "key5", "string5");
  EXPECT_EQ(ini.Bytes(),
            "[App1]\r\nkey1=string1\r\nkey2=string2\r\nkey3=string3\r\n"
            "[App2]\r\nkey4=string4\r\n[App3]\r\nkey5=string5\r\n");

  ini.DeleteEverySection("App1");
  EXPECT_EQ(ini.Bytes(), "[App2]\r\nkey4=string4\r\n[App3]\r\nkey5=string5\r\n");
}

struct WriteCase {
  const char* title;
  std::string before;
  std::string section;
  std::string key;
  std::string value;
  std::string after;
};

class WriteOneValue : public testing::TestWithParam<WriteCase> {};

TEST_P(WriteOneValue, changesOnlyTheBytesItMust) {
  const WriteCase& c = GetParam();
  IniFile ini(c.before);
  ini.WriteValue(c.section, c.key, c.value);
  EXPECT_EQ(ini.Bytes(), c.after) << c.title;
}

INSTANTIATE_TEST_SUITE_P(
    IniFile, WriteOneValue,
    testing::Values(
        WriteCase{"replacing keeps comments, blank and unknown lines",
                  "; settings\r\n\r\n[s]\r\n  Key = old \r\nunknown line\r\n; c\r\nother=1\r\n\r\n"
                  "[t]\r\nx=1\r\n",
                  "s", "KEY", "new",
                  "; settings\r\n\r\n[s]\r\nKey=new\r\nunknown line\r\n; c\r\nother=1\r\n\r\n"
                  "[t]\r\nx=1\r\n"},
        WriteCase{"the replaced line ends with CR LF, the others keep theirs", "[s]\na=1\nb=2\n",
                  "s", "a", "9", "[s]\na=9\r\nb=2\n"},
        WriteCase{"the first of duplicate keys is replaced", "[s]\r\nk=1\r\nK=2\r\n", "s", "k", "9",
                  "[s]\r\nk=9\r\nK=2\r\n"},
        WriteCase{"the key keeps its spelling in the file", "[s]\r\nClanName1=a\r\n", "s",
                  "CLANNAME1", "b", "[s]\r\nClanName1=b\r\n"},
        WriteCase{"the first section of a name gets the write", "[s]\r\na=1\r\n[S]\r\nb=2\r\n", "s",
                  "b", "3", "[s]\r\na=1\r\nb=3\r\n[S]\r\nb=2\r\n"},
        WriteCase{"Cyrillic section names match without letter case",
                  "[\xCA\xEB\xE0\xED]\r\na=1\r\n", "\xCA\xCB\xC0\xCD", "a", "2",
                  "[\xCA\xEB\xE0\xED]\r\na=2\r\n"},
        WriteCase{"a new key goes straight after the section's last key line",
                  "[s]\r\na=1\r\n; note\r\nb=2\r\n\r\n; trailing\r\n[t]\r\n", "s", "c", "3",
                  "[s]\r\na=1\r\n; note\r\nb=2\r\nc=3\r\n\r\n; trailing\r\n[t]\r\n"},
        WriteCase{"a new key in a section without keys goes after its header",
                  "[s]\r\n; only a comment\r\n[t]\r\n", "s", "a", "1",
                  "[s]\r\na=1\r\n; only a comment\r\n[t]\r\n"},
        WriteCase{"a last key line without a line end gets one first", "[s]\r\na=1", "s", "b", "2",
                  "[s]\r\na=1\r\nb=2\r\n"},
        WriteCase{"a header without a line end gets one first", "[s]", "s", "a", "1",
                  "[s]\r\na=1\r\n"},
        WriteCase{"replacing a last line without a line end adds CR LF", "[s]\r\na=1", "s", "a",
                  "2", "[s]\r\na=2\r\n"},
        WriteCase{"a new section goes at the end", "[s]\r\na=1\r\n", "t", "b", "2",
                  "[s]\r\na=1\r\n[t]\r\nb=2\r\n"},
        WriteCase{"a file without a final line break gets CR LF first", "[s]\r\na=1", "t", "b", "2",
                  "[s]\r\na=1\r\n[t]\r\nb=2\r\n"},
        WriteCase{"a file ending with LF gets no blank line", "[s]\na=1\n", "t", "b", "2",
                  "[s]\na=1\n[t]\r\nb=2\r\n"},
        WriteCase{"a file ending with CR gets no blank line", "[s]\ra=1\r", "t", "b", "2",
                  "[s]\ra=1\r[t]\r\nb=2\r\n"},
        WriteCase{"a new section in an empty file", "", "t", "b", "2", "[t]\r\nb=2\r\n"},
        WriteCase{"a section hidden by a byte-order mark is created anew",
                  "\xEF\xBB\xBF[t]\r\nb=1\r\n", "t", "b", "2",
                  "\xEF\xBB\xBF[t]\r\nb=1\r\n[t]\r\nb=2\r\n"},
        WriteCase{"an empty value gives key=", "[s]\r\nk=1\r\n", "s", "k", "", "[s]\r\nk=\r\n"},
        WriteCase{"the value is written exactly as given", "", "s", "k", " \"q\" ; x\t",
                  "[s]\r\nk= \"q\" ; x\t\r\n"},
        WriteCase{"a key line before any header is no key of the section", "k=1\r\n[s]\r\n", "s",
                  "k", "2", "k=1\r\n[s]\r\nk=2\r\n"}),
    [](const testing::TestParamInfo<WriteCase>& info) {
      return "case" + std::to_string(info.index);
    });

struct DeleteCase {
  const char* title;
  std::string before;
  std::string section;
  std::string after;
};

class DeleteSections : public testing::TestWithParam<DeleteCase> {};

TEST_P(DeleteSections, removeTheHeaderAndKeyLinesOfEverySectionOfTheName) {
  const DeleteCase& c = GetParam();
  IniFile ini(c.before);
  ini.DeleteEverySection(c.section);
  EXPECT_EQ(ini.Bytes(), c.after) << c.title;
}

INSTANTIATE_TEST_SUITE_P(
    IniFile, DeleteSections,
    testing::Values(
        DeleteCase{"a missing section changes nothing", "[s]\r\na=1\r\n", "t", "[s]\r\na=1\r\n"},
        DeleteCase{"an empty file stays empty", "", "t", ""},
        DeleteCase{"comments, blank and unknown lines stay",
                   "[a]\r\nx=1\r\n[s]\r\n; c\r\nk=1\r\nunknown\r\n\r\nk2=2\r\n[t]\r\ny=1\r\n", "s",
                   "[a]\r\nx=1\r\n; c\r\nunknown\r\n\r\n[t]\r\ny=1\r\n"},
        DeleteCase{"every section of the name goes, whatever its letter case",
                   "[s]\r\na=1\r\n[t]\r\nx=1\r\n[S]\r\n; c\r\nb=2\r\n", "S",
                   "[t]\r\nx=1\r\n; c\r\n"},
        DeleteCase{"a last line without a line end goes too", "[t]\r\ny=1\r\n[s]\r\nk=1", "s",
                   "[t]\r\ny=1\r\n"},
        DeleteCase{"other line ends are kept", "[t]\ny=1\n[s]\rk=1\r[u]\nz=1\n", "s",
                   "[t]\ny=1\n[u]\nz=1\n"},
        DeleteCase{"a section of only a header", "[s]\r\n[t]\r\ny=1\r\n", "s", "[t]\r\ny=1\r\n"}),
    [](const testing::TestParamInfo<DeleteCase>& info) {
      return "case" + std::to_string(info.index);
    });

// Writing many entries at once gives what writing them one by one gives.
struct BatchCase {
  std::string before;
  std::vector<IniEntry> entries;
};

void PrintTo(const BatchCase& c, std::ostream* out) {
  *out << c.entries.size() << " entries into " << testing::PrintToString(c.before);
}

class WriteManyValues : public testing::TestWithParam<BatchCase> {};

TEST_P(WriteManyValues, equalsWritingThemOneByOne) {
  const BatchCase& c = GetParam();
  IniFile oneByOne(c.before);
  for (const IniEntry& entry : c.entries)
    oneByOne.WriteValue("s", entry.key, entry.value);
  IniFile together(c.before);
  together.WriteValues("s", c.entries);
  EXPECT_EQ(together.Bytes(), oneByOne.Bytes());
}

INSTANTIATE_TEST_SUITE_P(
    IniFile, WriteManyValues,
    testing::Values(BatchCase{"", {{"a", "1"}, {"b", "2"}, {"A", "3"}, {"c", "4"}, {"B", "5"}}},
                    BatchCase{"[s]\r\nb=old\r\n; c\r\nx=1\r\n\r\n[t]\r\n",
                              {{"a", "1"}, {"B", "2"}, {"a", "3"}, {"X", "4"}, {"d", "5"}}},
                    BatchCase{"[s]", {{"a", "1"}, {"b", "2"}}},
                    BatchCase{"[s]\r\nk=1", {{"k", "2"}, {"n", "3"}}},
                    BatchCase{"[s]\r\nk=1", {{"n", "3"}, {"k", "2"}}},
                    BatchCase{"[t]\r\nq=1", {{"a", "1"}, {"a", ""}}},
                    BatchCase{"[s]\r\nk=1\r\n", {}}));

TEST(IniFileWrite, writingAfterAReadSeesTheNewBytes) {
  IniFile ini("[s]\r\na=1\r\n");
  EXPECT_EQ(ini.Value("s", "a"), "1");
  EXPECT_EQ(ini.Value("t", "b"), std::nullopt);
  ini.WriteValue("t", "b", "2");
  ini.WriteValue("s", "a", "3");
  EXPECT_EQ(ini.Value("s", "a"), "3");
  EXPECT_EQ(ini.Value("t", "b"), "2");
  ini.DeleteEverySection("s");
  EXPECT_EQ(ini.Value("s", "a"), std::nullopt);
  EXPECT_EQ(ini.Bytes(), "[t]\r\nb=2\r\n");
}

}  // namespace
}  // namespace quellar
