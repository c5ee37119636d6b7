#pragma once

#include <filesystem>

#include "common/proxy_settings.h"

namespace quellar::watch {

// The proxy of the options.ini the window would use: beside the executable when
// it is there or can be made there, otherwise in the user's configuration folder
// (the application name must be set first). No file means no proxy.
ProxySettings LoadProxySettings();

// The history file the window would record into: beside that options.ini when
// it is beside the executable, otherwise in the user's data folder.
std::filesystem::path HistoryFilePath();

}  // namespace quellar::watch
