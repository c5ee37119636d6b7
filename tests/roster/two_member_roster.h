#pragma once

#include <string>
#include <vector>

#include "roster/roster_row.h"

namespace quellar {

// A service answer of two members arriving out of nick order, "Клан" in
// Windows-1251 as a profession, and the rows a fill makes of it.
inline const std::string kTwoMemberBody =
    "4321\r\n"
    "Zed|||300|||12:00 01.02.2009|||\xCA\xEB\xE0\xED\r\n"
    "Ada|||100|||08:30 03.04.2010|||Smith\r\n";

inline const std::vector<RosterRow> kTwoMemberRows = {
    {"Ada", "100", "08:30 03.04.2010", "Smith"},
    {"Zed", "300", "12:00 01.02.2009", "\xCA\xEB\xE0\xED"},
};

}  // namespace quellar
