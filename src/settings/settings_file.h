#pragma once

#include <filesystem>
#include <string>

#include "common/proxy_settings.h"
#include "settings/clan_lists.h"

namespace quellar {

// "options.ini" in the given directory (the executable's).
std::filesystem::path SettingsFilePath(const std::filesystem::path& directory);

// The main window's load: both clan lists emptied and reloaded in file order,
// then the proxy ("use" as an integer; "server" and "port" keep the current
// values when missing or, for the port, unreadable). A missing file loads as empty.
void LoadSettings(const std::filesystem::path& file, ClanLists& clans, ProxySettings& proxy);

// The settings dialog's proxy fields, as text.
struct DialogSettings {
  bool useProxy = false;
  std::string proxyHost;
  std::string proxyPort{"80"};
};

// The settings dialog's load: the clan lists reloaded as above; the fields reset
// and then read from the file, the port as text.
DialogSettings LoadDialogSettings(const std::filesystem::path& file, ClanLists& clans);

// The settings dialog's save. An empty port is set to "80" first. Throws Error
// with "Unable to write to <path>" or, for a port that is not an integer, the
// integer conversion's message after everything but the port has been written.
void SaveSettings(const std::filesystem::path& file, const ClanLists& clans,
                  DialogSettings& fields);

// Whether the desktop notices of who came online and who left are on: "Notify"/"on"
// read as an integer, non-zero meaning on; off when missing or unreadable.
bool ReadNotifySwitch(const std::filesystem::path& file);

// Writes "Notify"/"on" as "1" or "0", leaving every other byte of the file as it
// is. Throws Error with "Unable to write to <path>".
void SaveNotifySwitch(const std::filesystem::path& file, bool on);

// The same for the recording of the history: "History"/"on".
bool ReadHistorySwitch(const std::filesystem::path& file);
void SaveHistorySwitch(const std::filesystem::path& file, bool on);

}  // namespace quellar
