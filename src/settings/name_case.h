#pragma once

#include <string>
#include <string_view>

namespace quellar {

// Names in the settings file are compared without letter case, the way the
// platform compares them once it has turned the Windows-1251 bytes into
// characters: the Latin letters and every Cyrillic letter pair of the code page
// ("Ё"/"ё", "І"/"і", "Ґ"/"ґ", ...) match; every other byte only matches itself.

// The lower-case form of one Windows-1251 byte.
char FoldCase(char c);

// Whether two names are equal without regard to letter case.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

// Replaces out by the lower-case form of name (out keeps its capacity, so one
// buffer serves a whole scan).
void FoldCaseInto(std::string_view name, std::string& out);

}  // namespace quellar
