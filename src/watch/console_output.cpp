#include "watch/console_output.h"

#include <cstdio>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#endif

namespace quellar::watch {

void PrepareConsoleOutput() {
#ifdef _WIN32
  // A console shows the bytes in its output code page; a pipe or file takes them
  // as they are.
  if (_isatty(_fileno(stdout)) || _isatty(_fileno(stderr)))
    SetConsoleOutputCP(CP_UTF8);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
#endif
}

void WriteOut(std::string_view utf8) {
  std::fwrite(utf8.data(), 1, utf8.size(), stdout);
}

void WriteError(std::string_view utf8) {
  // Written after what went to standard output before it, also when both go to
  // one file.
  std::fflush(stdout);
  std::fwrite(utf8.data(), 1, utf8.size(), stderr);
  std::fflush(stderr);
}

void FlushOut() {
  std::fflush(stdout);
}

}  // namespace quellar::watch
