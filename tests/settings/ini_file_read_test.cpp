#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "settings/ini_file.h"
#include "support/printers.h"

namespace quellar {
namespace {

using test::PrintTo;  // names each case in gtest's output

using testing::ElementsAre;
using testing::IsEmpty;

// Texts below are Windows-1251 bytes: "\xCA\xEB\xE0\xED" is "Клан".

struct NamesCase {
  const char* title;
  std::string file;
  std::string section;
  std::vector<std::string> names;
};

class SectionKeyNames : public testing::TestWithParam<NamesCase> {};

TEST_P(SectionKeyNames, listsTheKeysOfTheFirstMatchingSectionInFileOrder) {
  const NamesCase& c = GetParam();
  const IniFile ini(c.file);
  const IniKeyNames names = ini.KeyNames(c.section);
  EXPECT_EQ(names.names, c.names) << c.title;
  EXPECT_EQ(names.cutName, std::nullopt) << c.title;
}

INSTANTIATE_TEST_SUITE_P(
    IniFile, SectionKeyNames,
    testing::Values(
        NamesCase{"lines without = are not keys, name= is",
                  "[s]\r\nname1=val1\r\nname2=\r\nname3\r\nname4=val4\r\n",
                  "s",
                  {"name1", "name2", "name4"}},
        NamesCase{"CR LF, CR and LF all end a line", "[s]\rA=1\nB=2\r\nC=3", "s", {"A", "B", "C"}},
        NamesCase{"LF CR is two line ends", "[s]\n\rA=1\n\r\n\rB=2", "s", {"A", "B"}},
        NamesCase{"comments are not listed, # is not special",
                  "[s]\r\n;a=1\r\n  ;b=2\r\n#c=3\r\nd=4\r\n",
                  "s",
                  {"#c", "d"}},
        NamesCase{
            "blank lines are skipped", "[s]\r\n\r\n  \t\r\na=1\r\n\r\nb=2\r\n", "s", {"a", "b"}},
        NamesCase{"names are trimmed and kept as spelled",
                  "[s]\r\n  Key \t= v\r\n\tOTHER=w\r\n",
                  "s",
                  {"Key", "OTHER"}},
        NamesCase{"duplicates are kept, in every spelling",
                  "[s]\r\nKey=1\r\nkey=2\r\nKEY=3\r\n",
                  "s",
                  {"Key", "key", "KEY"}},
        NamesCase{"the name ends at the first =", "[s]\r\na=b=c\r\n", "s", {"a"}},
        NamesCase{"a key with an empty name is listed", "[s]\r\n=v\r\nb=1\r\n", "s", {"", "b"}},
        NamesCase{"only the first section of a name is seen",
                  "[s]\r\na=1\r\n[t]\r\nx=0\r\n[S]\r\nb=2\r\n",
                  "s",
                  {"a"}},
        NamesCase{
            "section names match without letter case", "[Proxy]\r\nuse=1\r\n", "PROXY", {"use"}},
        NamesCase{"Cyrillic section names match without letter case",
                  "[\xCA\xEB\xE0\xED\xFB \xA8]\r\nk=1\r\n",
                  "\xEA\xCB\xC0\xCD\xDB \xB8",
                  {"k"}},
        NamesCase{
            "the section ends at the next header", "[s]\r\na=1\r\n[t]\r\nb=2\r\n", "s", {"a"}},
        NamesCase{"keys before the first header belong to no section",
                  "a=1\r\n[s]\r\nb=2\r\n",
                  "s",
                  {"b"}},
        NamesCase{"text after ] is ignored", "[s]whoops]\r\na=1\r\n", "s", {"a"}},
        NamesCase{
            "blanks inside the brackets are trimmed", "[ section1 ]\r\na=1\r\n", "section1", {"a"}},
        NamesCase{"a header without ] runs to the end of the line",
                  "[name  \t\r\na=1\r\n",
                  "name",
                  {"a"}},
        NamesCase{"[] is a section named by the empty text", "x=0\r\n[]\r\na=1\r\n", "", {"a"}},
        NamesCase{"a header may follow blanks", "  \t[s]\r\na=1\r\n", "s", {"a"}},
        NamesCase{"a missing section has no names", "[s]\r\na=1\r\n", "t", {}},
        NamesCase{"an empty file has no names", "", "s", {}},
        NamesCase{"a UTF-8 byte-order mark is part of the first line",
                  "\xEF\xBB\xBF[s]\r\na=1\r\n[t]\r\nb=2\r\n",
                  "s",
                  {}}),
    [](const testing::TestParamInfo<NamesCase>& info) {
      return "case" + std::to_string(info.index);
    });

struct ValueCase {
  const char* title;
  std::string lines;  // of section "s", which is read for the key
  std::optional<std::string> value;
  std::string key = "k";
};

class KeyValue : public testing::TestWithParam<ValueCase> {};

TEST_P(KeyValue, isTheTrimmedUnquotedTextAfterTheFirstEquals) {
  const ValueCase& c = GetParam();
  const IniFile ini("[s]\r\n" + c.lines + "\r\n");
  EXPECT_EQ(ini.Value("s", c.key), c.value) << c.title;
}

INSTANTIATE_TEST_SUITE_P(
    IniFile, KeyValue,
    testing::Values(ValueCase{"plain", "k=value", "value"},
                    ValueCase{"spaces and tabs around it dropped", "k= \t value \t ", "value"},
                    ValueCase{"blanks inside kept", "k=a  b", "a  b"},
                    ValueCase{"double quotes removed", "k=\"val2\"", "val2"},
                    ValueCase{"single quotes removed", "k='val2'", "val2"},
                    ValueCase{"one pair only", "k=\"'x'\"", "'x'"},
                    ValueCase{"empty quotes give empty", "k=\"\"", ""},
                    ValueCase{"unmatched quotes stay", "k=\"x'", "\"x'"},
                    ValueCase{"a lone quote stays", "k=\"", "\""},
                    ValueCase{"quotes after trimming, blanks inside them kept", "k= \" a \" ",
                              " a "},
                    ValueCase{"no inline comments", "k=a ; b # c", "a ; b # c"},
                    ValueCase{"text after the first = is the value", "k=a=b", "a=b"},
                    ValueCase{"empty value", "k=", ""},
                    ValueCase{"key matched without letter case", "K=1", "1"},
                    ValueCase{"Cyrillic key matched without letter case", "\xCA\xEB\xE0\xED\xA8=1",
                              "1", "\xEA\xCB\xC0\xCD\xB8"},
                    ValueCase{"the first of duplicate keys wins", "k=first\r\nK=second", "first"},
                    ValueCase{"a later section of the same name is not read", "a=1\r\n[s]\r\nk=2",
                              std::nullopt},
                    ValueCase{"key with blanks around it", "  k  =1", "1"},
                    ValueCase{"Cyrillic bytes kept", "k=\xCA\xEB\xE0\xED", "\xCA\xEB\xE0\xED"},
                    ValueCase{"a line without = is no key", "k", std::nullopt},
                    ValueCase{"a comment is no key", ";k=1", std::nullopt},
                    ValueCase{"another key", "kk=1", std::nullopt}),
    [](const testing::TestParamInfo<ValueCase>& info) {
      return "case" + std::to_string(info.index);
    });

TEST(IniFile, missingKeySectionOrFileGivesTheDefaultButAnEmptyValueDoesNot) {
  const IniFile ini("[s]\r\na=1\r\n");
  EXPECT_EQ(ini.ReadString("s", "b", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadString("t", "a", "dflt"), "dflt");
  EXPECT_EQ(IniFile().ReadString("s", "a", "dflt"), "dflt");
  EXPECT_EQ(ini.ReadString("s", "a", "dflt"), "1");
  EXPECT_EQ(IniFile("[s]\r\na=\r\n").ReadString("s", "a", "dflt"), "");  // an empty value is one
}

TEST(IniFile, keysBeforeTheFirstHeaderCannotBeRead) {
  const IniFile ini("a=1\r\n[s]\r\n");
  EXPECT_EQ(ini.Value("", "a"), std::nullopt);
  EXPECT_EQ(ini.Value("s", "a"), std::nullopt);
}

TEST(IniFile, aValueIsCutToTheBufferLessOneAndWholeWhenItFits) {
  const std::string longValue(3000, 'v');
  const IniFile ini("[s]\r\nk=" + longValue + "\r\nq=\"" + longValue + "\"\r\n");
  EXPECT_EQ(ini.Value("s", "k"), std::string(2047, 'v'));
  EXPECT_EQ(ini.Value("s", "q"), std::string(2047, 'v'));
  EXPECT_EQ(ini.Value("s", "k", 5), "vvvv");
  EXPECT_EQ(ini.Value("s", "k", 1), "");
  EXPECT_EQ(IniFile("[s]\r\nk=" + std::string(2047, 'v')).Value("s", "k"), std::string(2047, 'v'));
}

// The key names of one section fill a buffer: each ended by a zero byte, the list
// by another. A list that does not fit leaves its first size - 2 bytes and two
// zero bytes.
struct BufferCase {
  std::size_t bufferSize;
  std::string buffer;
  std::vector<std::string> names;
  std::optional<std::string> cutName;
};

void PrintTo(const BufferCase& c, std::ostream* out) {
  *out << "buffer of " << c.bufferSize << " bytes";
}

class KeyNamesBuffer : public testing::TestWithParam<BufferCase> {};

TEST_P(KeyNamesBuffer, holdsTheNamesThatFitAndReportsTheNameCutInTwo) {
  const BufferCase& c = GetParam();
  const IniFile ini("[s]\r\nname1=val1\r\nname2=\r\nname3\r\nname4=val4\r\n");
  const std::string buffer = ini.KeyNamesBuffer("s", c.bufferSize);
  EXPECT_EQ(buffer, c.buffer) << c.bufferSize;
  EXPECT_LE(buffer.size(), c.bufferSize);
  const IniKeyNames names = ini.KeyNames("s", c.bufferSize);
  EXPECT_EQ(names.names, c.names) << c.bufferSize;
  EXPECT_EQ(names.cutName, c.cutName) << c.bufferSize;
}

using namespace std::string_literals;

INSTANTIATE_TEST_SUITE_P(
    IniFile, KeyNamesBuffer,
    testing::Values(
        // The platform's own example: nSize 16 gives "name1\0name2\0na\0\0".
        BufferCase{16, "name1\0name2\0na\0\0"s, {"name1", "name2"}, "na"},
        BufferCase{64, "name1\0name2\0name4\0\0"s, {"name1", "name2", "name4"}, std::nullopt},
        // The list is 19 bytes: it just fits.
        BufferCase{19, "name1\0name2\0name4\0\0"s, {"name1", "name2", "name4"}, std::nullopt},
        BufferCase{18, "name1\0name2\0name\0\0"s, {"name1", "name2"}, "name"},
        BufferCase{15, "name1\0name2\0n\0\0"s, {"name1", "name2"}, "n"},
        // The room ends right after name2's zero byte: nothing is cut.
        BufferCase{14, "name1\0name2\0\0\0"s, {"name1", "name2"}, std::nullopt},
        // The room ends right after "name2": the closing zero bytes end it.
        BufferCase{13, "name1\0name2\0\0"s, {"name1", "name2"}, std::nullopt},
        BufferCase{12, "name1\0name\0\0"s, {"name1"}, "name"},
        BufferCase{2, "\0\0"s, {}, std::nullopt}));

TEST(IniFile, aNameThatEndsTheRoomIsWholeEvenWhenMoreFollow) {
  const IniFile ini("[s]\r\nname1=1\r\nname2=2\r\nname4=4\r\nname5=5\r\n");
  // Room 17 ends right after "name4"; the list goes on with name5.
  EXPECT_EQ(ini.KeyNamesBuffer("s", 19), "name1\0name2\0name4\0\0"s);
  EXPECT_THAT(ini.KeyNames("s", 19).names, ElementsAre("name1", "name2", "name4"));
  EXPECT_EQ(ini.KeyNames("s", 19).cutName, std::nullopt);
}

TEST(IniFile, aFileOfThousandsOfSectionsFindsEachFirstSection) {
  std::string file;
  for (int i = 0; i < 6000; ++i)
    file += "[s" + std::to_string(i % 5000) + "]\r\nk=" + std::to_string(i) + "\r\n";
  const IniFile ini(file);
  for (int i : {4999, 10, 4500, 0, 4096, 4095, 4097, 1234})
    EXPECT_EQ(ini.Value("S" + std::to_string(i), "k"), std::to_string(i)) << i;
  EXPECT_EQ(ini.Value("s5000", "k"), std::nullopt);
  EXPECT_EQ(ini.Value("s42", "k"), "42");
}

TEST(IniFile, sectionValuesGiveEveryListedNameTheValueOfItsFirstEntry) {
  const IniFile ini("[s]\r\nA=1\r\nb=2\r\na=3\r\nc\r\nB=4\r\nd\r\n[t]\r\ne=5\r\n");
  EXPECT_THAT(ini.SectionValues("s"), ElementsAre("1", "2", "1", "2"));
  EXPECT_THAT(ini.SectionValues("missing"), IsEmpty());
}

TEST(IniFile, sectionValuesAreReadLikeValues) {
  const IniFile ini("[s]\r\na= \" x \" \r\nb=" + std::string(3000, 'v') + "\r\n");
  EXPECT_THAT(ini.SectionValues("s"), ElementsAre(" x ", std::string(2047, 'v')));
}

// A name the end of the buffer cut in two is no name of the file; read as a key
// it may even hit another entry ("ClanName1" out of "ClanName12").
TEST(IniFile, theNameCutInTwoIsReadLikeAnyNameButSectionValuesLeaveItOut) {
  const IniFile ini("[s]\r\nClanName1=a\r\nClanName12=b\r\n");
  const IniKeyNames names = ini.KeyNames("s", 21);
  EXPECT_THAT(names.names, ElementsAre("ClanName1"));
  ASSERT_EQ(names.cutName, "ClanName1");
  EXPECT_EQ(ini.Value("s", *names.cutName), "a");
  EXPECT_THAT(ini.SectionValues("s", 21), ElementsAre("a"));
}

TEST(IniFile, aCutNameThatIsNoKeyReadsAsTheDefault) {
  const IniFile ini("[s]\r\nname1=1\r\nname2=2\r\nname4=4\r\n");
  const IniKeyNames names = ini.KeyNames("s", 16);
  ASSERT_EQ(names.cutName, "na");
  EXPECT_EQ(ini.ReadString("s", *names.cutName, ""), "");
  EXPECT_THAT(ini.SectionValues("s", 16), ElementsAre("1", "2"));
}

TEST(IniFile, sectionValuesOfTenThousandNamesThroughALargeBuffer) {
  std::string file = "[s]\r\n";
  for (int i = 1; i <= 10000; ++i)
    file += "ClanName" + std::to_string(i) + "=clan " + std::to_string(i) + "\r\n";
  const std::vector<std::string> values = IniFile(file).SectionValues("s", 1 << 20);
  ASSERT_EQ(values.size(), 10000u);
  EXPECT_EQ(values.front(), "clan 1");
  EXPECT_EQ(values.back(), "clan 10000");
}

}  // namespace
}  // namespace quellar
