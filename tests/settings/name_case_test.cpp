#include "settings/name_case.h"

#include <gtest/gtest.h>

#include <string>

#include "common/cp1251.h"

namespace quellar {
namespace {

TEST(NameCase, foldsEveryByteAsTheCharactersOwnLowerCase) {
  for (int byte = 0; byte < 256; ++byte) {
    const char c = static_cast<char>(byte);
    const std::string lower = ToCp1251(FromCp1251(std::string(1, c)).toLower());
    ASSERT_EQ(lower.size(), 1u) << byte;
    EXPECT_EQ(FoldCase(c), lower.front()) << "byte " << byte;
  }
}

TEST(NameCase, latinAndCyrillicLettersMatchWithoutCase) {
  EXPECT_TRUE(EqualsIgnoringCase("ClanName1", "CLANNAME1"));
  EXPECT_TRUE(EqualsIgnoringCase("Proxy", "pROXY"));
  // "Клан Ёж" and "кЛАН ёЖ"
  EXPECT_TRUE(EqualsIgnoringCase("\xCA\xEB\xE0\xED \xA8\xE6", "\xEA\xCB\xC0\xCD \xB8\xC6"));
  // "Ґ" "ґ", "І" "і", "Ї" "ї", "Є" "є", "Ў" "ў", "Ј" "ј"
  EXPECT_TRUE(EqualsIgnoringCase("\xA5\xB2\xAF\xAA\xA1\xA3", "\xB4\xB3\xBF\xBA\xA2\xBC"));
}

TEST(NameCase, otherBytesOnlyMatchThemselves) {
  EXPECT_FALSE(EqualsIgnoringCase("a", "b"));
  EXPECT_FALSE(EqualsIgnoringCase("x3", "x300"));
  EXPECT_FALSE(EqualsIgnoringCase("[", "{"));  // 0x5B and 0x7B differ by 0x20 too
  EXPECT_FALSE(EqualsIgnoringCase("@", "`"));
  EXPECT_FALSE(EqualsIgnoringCase("\x99", "\xB9"));  // "™" and "№"
  EXPECT_TRUE(EqualsIgnoringCase("", ""));
}

TEST(NameCase, foldCaseIntoReusesTheBuffer) {
  std::string out = "something longer than the name";
  FoldCaseInto("AbC", out);
  EXPECT_EQ(out, "abc");
}

}  // namespace
}  // namespace quellar
