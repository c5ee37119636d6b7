#include "settings/settings_test_files.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "settings/settings_file.h"

namespace quellar::test {

std::string ReadBytes(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::filesystem::path& file, std::string_view bytes) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  out.close();
  ASSERT_TRUE(out) << "cannot write " << file;
}

ExecutableDir::ExecutableDir() {
  if (!dir_.isValid())
    throw std::runtime_error("no temporary directory");
}

std::filesystem::path ExecutableDir::Path() const {
  return std::filesystem::path(dir_.path().toStdString());
}

std::filesystem::path ExecutableDir::SettingsFile() const {
  return SettingsFilePath(Path());
}

}  // namespace quellar::test
