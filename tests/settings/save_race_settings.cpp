#include "settings/save_race_settings.h"

#include <string>
#include <vector>

namespace quellar::test {
namespace {

std::vector<std::string> Names(const std::string& prefix) {
  std::vector<std::string> names;
  for (int i = 1; i <= 1000; ++i)
    names.push_back(prefix + " " + std::to_string(i) + " " + std::string(100, 'n'));
  return names;
}

}  // namespace

SavedSettings OldSettings() {
  return {{Names("old x3"), Names("old x300")}, {false, "old.proxy", "3128"}};
}

SavedSettings NewSettings() {
  return {{Names("new x3"), Names("new x300")}, {true, "new.proxy", "3128"}};
}

}  // namespace quellar::test
