#include "roster/name_lookup_guard.h"

#include <arpa/inet.h>
#include <dlfcn.h>
#include <netdb.h>
#include <sys/socket.h>

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

std::vector<std::string> LookedUpNames() {
  std::lock_guard lock(NamesMutex());
  return Names();
}

}  // namespace quellar::test

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
