#pragma once

#include <array>
#include <string_view>

namespace quellar {

// The two game servers, in the order every server selector lists them.
inline constexpr std::string_view kServerX3 = "x3";
inline constexpr std::string_view kServerX300 = "x300";
inline constexpr std::array<std::string_view, 2> kServerNames = {kServerX3, kServerX300};

}  // namespace quellar
