#pragma once

#include <cstdint>
#include <string>

namespace quellar {

// The HTTP proxy as last loaded from the settings file.
struct ProxySettings {
  bool useProxy = false;
  std::string proxyHost;
  std::int32_t proxyPort = 0;
};

}  // namespace quellar
