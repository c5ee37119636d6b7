#include "common/path_text.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "support/printers.h"

namespace quellar {
namespace {

TEST(PathText, aCyrillicPathNamesTheSameFileForQtAndTheStandardLibrary) {
  QTemporaryDir directory;
  ASSERT_TRUE(directory.isValid());
  const QString name = directory.filePath(QStringLiteral(u"Клан Ёж.ini"));
  QFile file(name);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();

  const std::filesystem::path path = PathFromQString(name);
  EXPECT_TRUE(std::filesystem::is_regular_file(path));
  EXPECT_EQ(PathToQString(path), name);
}

}  // namespace
}  // namespace quellar
