#pragma once

#include <QString>
#include <ostream>
#include <string_view>

// Lets gtest print QString values as readable text in failure messages.
QT_BEGIN_NAMESPACE
void PrintTo(const QString& text, std::ostream* out);
QT_END_NAMESPACE

namespace quellar::test {

template <typename Case>
concept NamedCase = requires(const Case& c) {
  std::string_view(c.name);
};
template <typename Case>
concept TitledCase = requires(const Case& c) {
  std::string_view(c.title);
};

// gtest prints a parameterised test's case by its name or title, so its listings
// and failure lines name the case instead of dumping the case's bytes. A test
// file brings these in beside its cases with `using test::PrintTo;`.
template <NamedCase Case>
void PrintTo(const Case& c, std::ostream* out) {
  *out << c.name;
}

template <TitledCase Case>
requires(!NamedCase<Case>) void PrintTo(const Case& c, std::ostream* out) {
  *out << c.title;
}

}  // namespace quellar::test
