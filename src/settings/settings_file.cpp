#include "settings/settings_file.h"

#include <QString>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "common/cp1251.h"
#include "common/error.h"
#include "common/int_conversion.h"
#include "common/path_text.h"
#include "common/server.h"
#include "settings/atomic_file.h"
#include "settings/ini_file.h"

namespace quellar {
namespace {

constexpr std::string_view kProxySection = "Proxy";
constexpr std::string_view kUseKey = "use";
constexpr std::string_view kServerKey = "server";
constexpr std::string_view kPortKey = "port";
constexpr std::string_view kClanKeyPrefix = "ClanName";
constexpr std::string_view kDefaultPort = "80";
// A section of its own, written only when the user turns the notices on or off,
// so that the file of anyone who never does keeps its bytes.
constexpr std::string_view kNotifySection = "Notify";
// The same for the recording of the history.
constexpr std::string_view kHistorySection = "History";
constexpr std::string_view kOnKey = "on";

// A file that is missing or cannot be read loads as empty.
IniFile ReadForLoad(const std::filesystem::path& file) {
  return IniFile(ReadWholeFile(file).value_or(std::string()));
}

// Both lists replaced by every key of their server's section, in file order,
// whatever its name: the value of each (empty if none).
void ReloadClanLists(const IniFile& ini, ClanLists& clans) {
  clans.clansX3 = ini.SectionValues(ServerName(Server::kX3));
  clans.clansX300 = ini.SectionValues(ServerName(Server::kX300));
}

// A value read as an integer: a missing key or a text that does not convert
// gives the default.
std::int32_t ReadInteger(const IniFile& ini, std::string_view key, std::int32_t defaultValue,
                         std::string_view section = kProxySection) {
  const std::optional<std::string> text = ini.Value(section, key);
  if (!text)
    return defaultValue;
  return TryStrToInt(*text).value_or(defaultValue);
}

Error UnableToWrite(const std::filesystem::path& file) {
  return Error("Unable to write to " + ToCp1251(PathToQString(file)));
}

void Store(const std::filesystem::path& file, const IniFile& ini) {
  if (!ReplaceFileAtomically(file, ini.Bytes()))
    throw UnableToWrite(file);
}

// A file that exists but cannot be read is not replaced: that would lose it.
IniFile ReadForSave(const std::filesystem::path& file) {
  std::optional<std::string> bytes = ReadWholeFile(file);
  if (!bytes)
    throw UnableToWrite(file);
  return IniFile(std::move(*bytes));
}

std::vector<IniEntry> ClanEntries(const std::vector<std::string>& names) {
  std::vector<IniEntry> entries;
  entries.reserve(names.size());
  for (std::size_t i = 0; i < names.size(); ++i)
    entries.push_back({std::string(kClanKeyPrefix) + std::to_string(i + 1), names[i]});
  return entries;
}

}  // namespace

std::filesystem::path SettingsFilePath(const std::filesystem::path& directory) {
  return directory / "options.ini";
}

void LoadSettings(const std::filesystem::path& file, ClanLists& clans, ProxySettings& proxy) {
  const IniFile ini = ReadForLoad(file);
  ReloadClanLists(ini, clans);
  proxy.useProxy = ReadInteger(ini, kUseKey, 0) != 0;
  proxy.proxyHost = ini.ReadString(kProxySection, kServerKey, proxy.proxyHost);
  proxy.proxyPort = ReadInteger(ini, kPortKey, proxy.proxyPort);
}

DialogSettings LoadDialogSettings(const std::filesystem::path& file, ClanLists& clans) {
  DialogSettings fields;
  const IniFile ini = ReadForLoad(file);
  ReloadClanLists(ini, clans);
  fields.useProxy = ReadInteger(ini, kUseKey, 0) != 0;
  fields.proxyHost = ini.ReadString(kProxySection, kServerKey, fields.proxyHost);
  fields.proxyPort = ini.ReadString(kProxySection, kPortKey, fields.proxyPort);
  return fields;
}

void SaveSettings(const std::filesystem::path& file, const ClanLists& clans,
                  DialogSettings& fields) {
  if (fields.proxyPort.empty())
    fields.proxyPort = kDefaultPort;

  IniFile ini = ReadForSave(file);

  // The clan sections and the proxy switch and host go to the file together.
  // Every section of a server's name goes, so that a second one in a hand-edited
  // file cannot stand in for the list just written.
  ini.DeleteEverySection(ServerName(Server::kX3));
  ini.DeleteEverySection(ServerName(Server::kX300));
  ini.WriteValues(ServerName(Server::kX3), ClanEntries(clans.clansX3));
  ini.WriteValues(ServerName(Server::kX300), ClanEntries(clans.clansX300));
  ini.WriteValue(kProxySection, kUseKey, fields.useProxy ? "1" : "0");
  ini.WriteValue(kProxySection, kServerKey, fields.proxyHost);
  Store(file, ini);

  // A port that is not a number leaves the file as written so far.
  const std::int32_t port = StrToInt(fields.proxyPort);
  ini.WriteValue(kProxySection, kPortKey, std::to_string(port));
  Store(file, ini);
}

namespace {

// A menu's on/off switch: "on" of its section, read as an integer, non-zero
// meaning on.
bool ReadSwitch(const std::filesystem::path& file, std::string_view section) {
  return ReadInteger(ReadForLoad(file), kOnKey, 0, section) != 0;
}

void SaveSwitch(const std::filesystem::path& file, std::string_view section, bool on) {
  IniFile ini = ReadForSave(file);
  ini.WriteValue(section, kOnKey, on ? "1" : "0");
  Store(file, ini);
}

}  // namespace

bool ReadNotifySwitch(const std::filesystem::path& file) {
  return ReadSwitch(file, kNotifySection);
}

void SaveNotifySwitch(const std::filesystem::path& file, bool on) {
  SaveSwitch(file, kNotifySection, on);
}

bool ReadHistorySwitch(const std::filesystem::path& file) {
  return ReadSwitch(file, kHistorySection);
}

void SaveHistorySwitch(const std::filesystem::path& file, bool on) {
  SaveSwitch(file, kHistorySection, on);
}

}  // namespace quellar
