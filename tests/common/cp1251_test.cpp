#include "common/cp1251.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <QStringDecoder>
#endif

#include <string>
#include <utility>

#include "support/printers.h"

namespace quellar {
namespace {

TEST(Cp1251, decodesAndEncodesCyrillicLatinAndTheEmptyText) {
  const std::pair<std::string, QString> pairs[] = {
      {"\xCA\xEB\xE0\xED Brannock", QStringLiteral(u"Клан Brannock")},
      {"\xA8\xB8\xA5\xB4\xB9", QStringLiteral(u"ЁёҐґ№")},
      {"", QString()}};
  for (const auto& [bytes, text] : pairs) {
    EXPECT_EQ(FromCp1251(bytes), text);
    EXPECT_EQ(ToCp1251(text), bytes);
  }
}

TEST(Cp1251, everyByteRoundTrips) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte)
    all.push_back(static_cast<char>(byte));
  const QString decoded = FromCp1251(all);
  EXPECT_EQ(decoded.size(), 256);
  EXPECT_EQ(ToCp1251(decoded), all);
}

// The fixed table against the platform's own code page 1251: Windows' (Wine's
// under test) there, ICU's through Qt elsewhere.
TEST(Cp1251, tableAgreesWithThePlatformsCodePage) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte)
    all.push_back(static_cast<char>(byte));
#ifdef _WIN32
  std::wstring wide(256, L'\0');
  ASSERT_EQ(MultiByteToWideChar(1251, 0, all.data(), 256, wide.data(), 256), 256);
  const QString platform = QString::fromStdWString(wide);
#else
  QStringDecoder decoder("windows-1251");
  ASSERT_TRUE(decoder.isValid());
  const QString platform = decoder.decode(QByteArrayView(all.data(), 256));
#endif
  EXPECT_EQ(FromCp1251(all), platform);
}

TEST(Cp1251, charactersWindows1251LacksBecomeQuestionMarks) {
  EXPECT_EQ(ToCp1251(u"a\u00E9b"), "a?b");      // Latin e with acute
  EXPECT_EQ(ToCp1251(u"\u4E2D"), "?");          // CJK
  EXPECT_EQ(ToCp1251(u"x\U0001F600y"), "x?y");  // one "?" for a surrogate pair
  EXPECT_EQ(ToCp1251(u"\xD800"), "?");          // lone surrogate
}

}  // namespace
}  // namespace quellar
