// Saves the new and the old settings in turn, for ever, into options.ini in the
// directory given, until it is killed. Prints "saving" once it starts and
// "saved" after each save.
#include <iostream>

#include "settings/save_race_settings.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: settings_save_child <directory>\n";
    return 2;
  }
  const auto file = quellar::SettingsFilePath(argv[1]);
  quellar::test::SavedSettings next = quellar::test::NewSettings();
  quellar::test::SavedSettings previous = quellar::test::OldSettings();
  std::cout << "saving" << std::endl;
  for (;;) {
    quellar::SaveSettings(file, next.clans, next.fields);
    std::cout << "saved" << std::endl;
    quellar::SaveSettings(file, previous.clans, previous.fields);
    std::cout << "saved" << std::endl;
  }
}
