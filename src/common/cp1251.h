#pragma once

#include <QString>
#include <QStringView>
#include <string>
#include <string_view>

namespace quellar {

// Windows-1251 is the encoding of every core text; these convert where text meets
// a widget. Both directions use one fixed table of the code page, the same on
// every platform.

QString FromCp1251(std::string_view bytes);

// A character that Windows-1251 lacks becomes "?".
std::string ToCp1251(QStringView text);

}  // namespace quellar
