#include "net/name_lookup_guard.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
// after winsock2.h
#include <windows.h>

#include <QString>
#include <cstdio>
#include <cstdlib>

#include "net/curl_library.h"
#else
#include <arpa/inet.h>
#include <dlfcn.h>
#include <netdb.h>
#include <sys/socket.h>
#endif

#include <algorithm>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace quellar::test {
namespace {

std::mutex& NamesMutex() {
  static std::mutex mutex;
  return mutex;
}

std::vector<std::string>& Names() {
  static std::vector<std::string> names;
  return names;
}

bool IsLoopbackName(const char* node) {
  const std::string_view name(node);
  if (name == "localhost")
    return true;
  unsigned char address[16];
  return inet_pton(AF_INET, node, address) == 1 || inet_pton(AF_INET6, node, address) == 1;
}

}  // namespace

bool WasLookedUp(const std::string& name) {
  std::lock_guard lock(NamesMutex());
  return std::find(Names().begin(), Names().end(), name) != Names().end();
}

}  // namespace quellar::test

#ifdef _WIN32

namespace quellar::test {
namespace {

using Lookup = int(WSAAPI*)(PCSTR, PCSTR, const ADDRINFOA*, PADDRINFOA*);
Lookup realLookup = nullptr;

int WSAAPI GuardedLookup(PCSTR node, PCSTR service, const ADDRINFOA* hints, PADDRINFOA* result) {
  if (node != nullptr) {
    {
      std::lock_guard lock(NamesMutex());
      Names().emplace_back(node);
    }
    if (!IsLoopbackName(node))
      return WSAHOST_NOT_FOUND;
  }
  return realLookup(node, service, hints, result);
}

// Points every entry of module's import table that holds function at
// replacement instead.
bool RedirectImport(HMODULE module, FARPROC function, FARPROC replacement) {
  auto* base = reinterpret_cast<BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports =
      nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  bool redirected = false;
  for (auto* dll = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
       imports.VirtualAddress != 0 && dll->Name != 0; ++dll) {
    for (auto* entry = reinterpret_cast<IMAGE_THUNK_DATA*>(base + dll->FirstThunk);
         entry->u1.Function != 0; ++entry) {
      if (entry->u1.Function != reinterpret_cast<ULONG_PTR>(function))
        continue;
      DWORD protection = 0;
      VirtualProtect(&entry->u1.Function, sizeof entry->u1.Function, PAGE_READWRITE, &protection);
      entry->u1.Function = reinterpret_cast<ULONG_PTR>(replacement);
      VirtualProtect(&entry->u1.Function, sizeof entry->u1.Function, protection, &protection);
      redirected = true;
    }
  }
  return redirected;
}

// Windows has no symbol interposition: libcurl calls Winsock's getaddrinfo
// through its import table, so the guard loads libcurl before any test does and
// points that entry at itself. No test runs unguarded.
const bool guardInstalled = [] {
  HMODULE winsock = LoadLibraryW(L"ws2_32.dll");
  realLookup =
      reinterpret_cast<Lookup>(reinterpret_cast<void*>(GetProcAddress(winsock, "getaddrinfo")));
  for (const QString& name : CurlLibraryNames()) {
    HMODULE curl = LoadLibraryW(reinterpret_cast<LPCWSTR>((name + QStringLiteral(".dll")).utf16()));
    if (curl != nullptr && realLookup != nullptr &&
        RedirectImport(curl, reinterpret_cast<FARPROC>(reinterpret_cast<void*>(realLookup)),
                       reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&GuardedLookup))))
      return true;
  }
  std::fputs("name_lookup_guard: cannot put the guard in front of libcurl's getaddrinfo\n", stderr);
  std::abort();
}();

}  // namespace
}  // namespace quellar::test

#else

// Stands in front of the C library's resolver for the whole test program, libcurl's
// resolver thread included; the linker exports it because libcurl refers to it.
extern "C" int getaddrinfo(const char* node, const char* service, const addrinfo* hints,
                           addrinfo** result) noexcept {
  using Lookup = int (*)(const char*, const char*, const addrinfo*, addrinfo**);
  if (node != nullptr) {
    {
      std::lock_guard lock(quellar::test::NamesMutex());
      quellar::test::Names().emplace_back(node);
    }
    if (!quellar::test::IsLoopbackName(node))
      return EAI_NONAME;
  }
  static const auto real = reinterpret_cast<Lookup>(dlsym(RTLD_NEXT, "getaddrinfo"));
  return real(node, service, hints, result);
}

#endif
