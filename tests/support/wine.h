#pragma once

#ifdef _WIN32
#include <windows.h>
#endif

namespace quellar::test {

// Whether the Windows build runs under Wine, whose sockets and fonts differ from
// Windows' own in ways some tests must allow for.
inline bool RunningUnderWine() {
#ifdef _WIN32
  return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
#else
  return false;
#endif
}

}  // namespace quellar::test
