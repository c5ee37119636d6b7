#pragma once

#include <QFont>
#include <QFontDatabase>
#include <QFontInfo>
#include <QString>
#include <QStringList>

namespace quellar::test {

// Qt's offscreen platform under Wine has no font database at all: every font
// resolves to no family and captions measure as placeholder boxes, so there is
// nothing to check a font or a caption's width against.
inline bool PlatformHasFonts() {
  return !QFontInfo(QFont()).family().isEmpty();
}

// The family the windows' font resolves to where the platform has fonts: the
// first of the faces they ask for that the machine has.
inline QString ResolvedFamily() {
#ifdef _WIN32
  const QStringList asked = {"MS Sans Serif", "Microsoft Sans Serif", "Tahoma", "Arial",
                             "Liberation Sans"};
  for (const QString& family : asked) {
    if (QFontDatabase::hasFamily(family))
      return family;
  }
  return {};
#else
  return "Liberation Sans";
#endif
}

}  // namespace quellar::test
