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

// Texts below are Windows-1251 bytes: "\xCA\xEB\xE0\xED" is "Клан".

// A section's values are those of its key names as the platform lists them into
// the names buffer: each name ended by a zero byte and the list by another; a
// list that does not fit keeps its first size - 2 bytes and two zero bytes, and
// the name that cuts in two is no name. Each listed name gives the value of the
// first key of that name.
struct NamesCase {
  const char* title;
  std::string file;
  std::string section;
  std::vector<std::string> values;
  std::size_t namesBufferSize = kKeyNamesBufferSize;
};

class SectionKeys : public testing::TestWithParam<NamesCase> {};

TEST_P(SectionKeys, giveTheValuesOfTheFirstMatchingSectionInFileOrderAsFarAsTheBufferHoldsNames) {
  const NamesCase& c = GetParam();
  const IniFile ini(c.file);
  EXPECT_EQ(ini.SectionValues(c.section, c.namesBufferSize), c.values) << c.title;
}

// The names of a section the platform's example fills buffers with: name1,
// name2 and name4, 19 bytes as a list.
const std::string kThreeNames = "[s]\r\nname1=val1\r\nname2=\r\nname3\r\nname4=val4\r\n";

INSTANTIATE_TEST_SUITE_P(
    IniFile, SectionKeys,
    testing::Values(
        NamesCase{"lines without = are not keys, name= is", kThreeNames, "s", {"val1", "", "val4"}},
        NamesCase{"CR LF, CR and LF all end a line", "[s]\rA=1\nB=2\r\nC=3", "s", {"1", "2", "3"}},
        NamesCase{"LF CR is two line ends", "[s]\n\rA=1\n\r\n\rB=2", "s", {"1", "2"}},
        NamesCase{"comments are not listed, # is not special",
                  "[s]\r\n;a=1\r\n  ;b=2\r\n#c=3\r\nd=4\r\n",
                  "s",
                  {"3", "4"}},
        NamesCase{
            "blank lines are skipped", "[s]\r\n\r\n  \t\r\na=1\r\n\r\nb=2\r\n", "s", {"1", "2"}},
        NamesCase{"blanks around names are no part of them",
                  "[s]\r\n  Key \t= v\r\n\tOTHER=w\r\n",
                  "s",
                  {"v", "w"}},
        NamesCase{"duplicates are listed in every spelling, each with the first value",
                  "[s]\r\nKey=1\r\nkey=2\r\nKEY=3\r\nA=4\r\nb=5\r\na=6\r\nc\r\nB=7\r\n",
                  "s",
                  {"1", "1", "1", "4", "5", "4", "5"}},
        NamesCase{"the name ends at the first =", "[s]\r\na=b=c\r\n", "s", {"b=c"}},
        NamesCase{"a key with an empty name is listed", "[s]\r\n=v\r\nb=1\r\n", "s", {"v", "1"}},
        NamesCase{"only the first section of a name is seen",
                  "[s]\r\na=1\r\n[t]\r\nx=0\r\n[S]\r\nb=2\r\n",
                  "s",
                  {"1"}},
        NamesCase{
            "section names match without letter case", "[Proxy]\r\nuse=1\r\n", "PROXY", {"1"}},
        NamesCase{"Cyrillic section names match without letter case",
                  "[\xCA\xEB\xE0\xED\xFB \xA8]\r\nk=1\r\n",
                  "\xEA\xCB\xC0\xCD\xDB \xB8",
                  {"1"}},
        NamesCase{
            "the section ends at the next header", "[s]\r\na=1\r\n[t]\r\nb=2\r\n", "s", {"1"}},
        NamesCase{"keys before the first header belong to no section",
                  "a=1\r\n[s]\r\nb=2\r\n",
                  "s",
                  {"2"}},
        NamesCase{"text after ] is ignored", "[s]whoops]\r\na=1\r\n", "s", {"1"}},
        NamesCase{
            "blanks inside the brackets are trimmed", "[ section1 ]\r\na=1\r\n", "section1", {"1"}},
        NamesCase{"a header without ] runs to the end of the line",
                  "[name  \t\r\na=1\r\n",
                  "name",
                  {"1"}},
        NamesCase{"[] is a section named by the empty text", "x=0\r\n[]\r\na=1\r\n", "", {"1"}},
        NamesCase{"a header may follow blanks", "  \t[s]\r\na=1\r\n", "s", {"1"}},
        NamesCase{"a missing section has no values", "[s]\r\na=1\r\n", "t", {}},
        NamesCase{"an empty file has no values", "", "s", {}},
        NamesCase{"a UTF-8 byte-order mark is part of the first line",
                  "\xEF\xBB\xBF[s]\r\na=1\r\n[t]\r\nb=2\r\n",
                  "s",
                  {}},
        // The platform's own example: 16 bytes hold "name1\0name2\0na\0\0".
        NamesCase{"a buffer of 16 bytes cuts name4 to na", kThreeNames, "s", {"val1", ""}, 16},
        NamesCase{
            "a buffer of 19 bytes just holds the list", kThreeNames, "s", {"val1", "", "val4"}, 19},
        NamesCase{"a buffer of 18 bytes cuts name4 to name", kThreeNames, "s", {"val1", ""}, 18},
        NamesCase{"a buffer of 15 bytes cuts name4 to n", kThreeNames, "s", {"val1", ""}, 15},
        NamesCase{"a buffer of 14 bytes ends right after name2's zero byte",
                  kThreeNames,
                  "s",
                  {"val1", ""},
                  14},
        NamesCase{"a buffer of 13 bytes ends right after name2, which its closing zero bytes end",
                  kThreeNames,
                  "s",
                  {"val1", ""},
                  13},
        NamesCase{"a buffer of 12 bytes cuts name2 to name", kThreeNames, "s", {"val1"}, 12},
        NamesCase{"a buffer of 2 bytes holds no name", kThreeNames, "s", {}, 2},
        NamesCase{"a name that ends the room is whole even when more follow",
                  "[s]\r\nname1=1\r\nname2=2\r\nname4=4\r\nname5=5\r\n",
                  "s",
                  {"1", "2", "4"},
                  19},
        // Read as a key the cut name would even hit another entry.
        NamesCase{"a cut name is left out even when it spells another key",
                  "[s]\r\nClanName1=a\r\nClanName12=b\r\n",
                  "s",
                  {"a"},
                  21},
        NamesCase{"a name of 16382 bytes fills the names buffer of 16384",
                  "[s]\r\n" + std::string(16382, 'n') + "=1\r\nb=2\r\n",
                  "s",
                  {"1"}},
        NamesCase{"a name of 16383 bytes does not fit it",
                  "[s]\r\n" + std::string(16383, 'n') + "=1\r\nb=2\r\n",
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

TEST(IniFile, sectionValuesAreReadLikeValues) {
  const IniFile ini("[s]\r\na= \" x \" \r\nb=" + std::string(3000, 'v') + "\r\n");
  EXPECT_THAT(ini.SectionValues("s"), ElementsAre(" x ", std::string(2047, 'v')));
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
