#pragma once

#include <QDate>
#include <QLocale>
#include <functional>

namespace quellar {

// The user's locale and today's date, injectable so that collation, upper-casing
// and date reading do not depend on the machine running the tests.
struct LocaleContext {
  QLocale locale = QLocale::system();
  std::function<QDate()> today = [] { return QDate::currentDate(); };
};

}  // namespace quellar
