// Load and save of options.ini holding 10,000 clan names per server.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "settings/atomic_file.h"
#include "settings/ini_file.h"
#include "settings/settings_file.h"

namespace quellar {
namespace {

// "Клан <n>" and "Clan <n> of x300" in Windows-1251.
ClanLists GeneratedClans(int perServer) {
  ClanLists clans;
  for (int i = 1; i <= perServer; ++i) {
    clans.clansX3.push_back("\xCA\xEB\xE0\xED " + std::to_string(i));
    clans.clansX300.push_back("Clan " + std::to_string(i) + " of x300");
  }
  return clans;
}

class SettingsDirectory {
 public:
  SettingsDirectory() {
    if (!dir_.isValid())
      throw std::runtime_error("no temporary directory");
  }
  std::filesystem::path File() const {
    return SettingsFilePath(std::filesystem::path(dir_.path().toStdString()));
  }

 private:
  QTemporaryDir dir_;
};

// The dialog's save of both lists and the proxy: two atomic replacements of the
// file, each flushed to disk.
void BM_SaveSettings(benchmark::State& state) {
  const SettingsDirectory dir;
  const ClanLists clans = GeneratedClans(static_cast<int>(state.range(0)));
  DialogSettings fields{true, "proxy.local", "3128"};
  SaveSettings(dir.File(), clans, fields);
  for (auto _ : state)
    SaveSettings(dir.File(), clans, fields);
  state.SetBytesProcessed(state.iterations() *
                          static_cast<std::int64_t>(std::filesystem::file_size(dir.File())));
}
BENCHMARK(BM_SaveSettings)->Arg(10000)->Unit(benchmark::kMillisecond);

// The same save without the disk: delete both sections, write every name and the
// proxy, into the bytes of the previous file.
void BM_SaveSettingsInMemory(benchmark::State& state) {
  const ClanLists clans = GeneratedClans(static_cast<int>(state.range(0)));
  const SettingsDirectory dir;
  DialogSettings fields{true, "proxy.local", "3128"};
  SaveSettings(dir.File(), clans, fields);
  const std::string before = *ReadWholeFile(dir.File());
  std::vector<IniEntry> x3;
  std::vector<IniEntry> x300;
  for (std::size_t i = 0; i < clans.clansX3.size(); ++i) {
    x3.push_back({"ClanName" + std::to_string(i + 1), clans.clansX3[i]});
    x300.push_back({"ClanName" + std::to_string(i + 1), clans.clansX300[i]});
  }
  for (auto _ : state) {
    IniFile ini(before);
    ini.DeleteEverySection("x3");
    ini.DeleteEverySection("x300");
    ini.WriteValues("x3", x3);
    ini.WriteValues("x300", x300);
    ini.WriteValue("Proxy", "use", "1");
    ini.WriteValue("Proxy", "server", "proxy.local");
    ini.WriteValue("Proxy", "port", "3128");
    benchmark::DoNotOptimize(ini.Bytes().data());
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(before.size()));
}
BENCHMARK(BM_SaveSettingsInMemory)->Arg(10000)->Unit(benchmark::kMillisecond);

// The main window's load. The names buffer lets it see the first 1345 names of
// each server.
void BM_LoadSettings(benchmark::State& state) {
  const SettingsDirectory dir;
  DialogSettings fields{true, "proxy.local", "3128"};
  SaveSettings(dir.File(), GeneratedClans(static_cast<int>(state.range(0))), fields);
  ClanLists clans;
  ProxySettings proxy;
  for (auto _ : state) {
    LoadSettings(dir.File(), clans, proxy);
    benchmark::DoNotOptimize(clans.clansX3.data());
  }
  state.counters["names"] = static_cast<double>(clans.clansX3.size() + clans.clansX300.size());
}
BENCHMARK(BM_LoadSettings)->Arg(10000)->Unit(benchmark::kMillisecond);

// Every name and value of a section through a buffer large enough for all of
// them: the engine reads n names in time linear in n.
void BM_SectionValuesAllNames(benchmark::State& state) {
  const int perServer = static_cast<int>(state.range(0));
  IniFile ini;
  std::vector<IniEntry> entries;
  for (int i = 1; i <= perServer; ++i)
    entries.push_back({"ClanName" + std::to_string(i), "Clan " + std::to_string(i)});
  ini.WriteValues("x3", entries);
  for (auto _ : state) {
    const std::vector<std::string> values = ini.SectionValues("x3", std::size_t{1} << 24);
    benchmark::DoNotOptimize(values.data());
  }
  state.SetComplexityN(perServer);
}
BENCHMARK(BM_SectionValuesAllNames)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(100000)
    ->Complexity(benchmark::oN)
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quellar
