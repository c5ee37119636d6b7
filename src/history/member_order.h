#pragma once

#include <QLocale>
#include <cstddef>
#include <string>
#include <vector>

namespace quellar {

// The main table's nick order of nicks (Windows-1251): order[i] is the index of
// the nick that stands at place i.
std::vector<std::size_t> MemberOrder(const std::vector<std::string>& nicks, const QLocale& locale);

}  // namespace quellar
