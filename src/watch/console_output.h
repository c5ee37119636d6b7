#pragma once

#include <string_view>

namespace quellar::watch {

// Standard output and error carry UTF-8 with "\n" line ends on every platform: a
// Windows console is switched to UTF-8 and neither stream turns "\n" into CR LF.
void PrepareConsoleOutput();

void WriteOut(std::string_view utf8);
void WriteError(std::string_view utf8);

// Scripts read the output through a pipe: each fetch's lines reach them at once.
void FlushOut();

}  // namespace quellar::watch
