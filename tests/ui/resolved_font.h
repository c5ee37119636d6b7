#pragma once

#include <QFont>
#include <QFontInfo>
#include <QString>

namespace quellar::test {

// Qt's offscreen platform under Wine has no font database at all: every font
// resolves to no family and captions measure as placeholder boxes, so there is
// nothing to check a font or a caption's width against.
inline bool PlatformHasFonts() {
  return !QFontInfo(QFont()).family().isEmpty();
}

// The family the windows' font resolves to where the platform has fonts.
#ifdef _WIN32
inline const QString kResolvedFamily = "MS Sans Serif";
#else
inline const QString kResolvedFamily = "Liberation Sans";
#endif

}  // namespace quellar::test
