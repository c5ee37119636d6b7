#include "settings/name_case.h"

#include <array>
#include <cstdint>

namespace quellar {
namespace {

// Upper-case and lower-case byte of each Cyrillic pair outside the two blocks
// "А".."Я" / "а".."я".
constexpr std::array<std::array<std::uint8_t, 2>, 15> kCyrillicPairs = {{
    {0x80, 0x90},  // Ђ ђ
    {0x81, 0x83},  // Ѓ ѓ
    {0x8A, 0x9A},  // Љ љ
    {0x8C, 0x9C},  // Њ њ
    {0x8D, 0x9D},  // Ќ ќ
    {0x8E, 0x9E},  // Ћ ћ
    {0x8F, 0x9F},  // Џ џ
    {0xA1, 0xA2},  // Ў ў
    {0xA3, 0xBC},  // Ј ј
    {0xA5, 0xB4},  // Ґ ґ
    {0xA8, 0xB8},  // Ё ё
    {0xAA, 0xBA},  // Є є
    {0xAF, 0xBF},  // Ї ї
    {0xB2, 0xB3},  // І і
    {0xBD, 0xBE},  // Ѕ ѕ
}};

constexpr std::array<char, 256> MakeFoldTable() {
  std::array<char, 256> table{};
  for (int byte = 0; byte < 256; ++byte)
    table[static_cast<std::size_t>(byte)] = static_cast<char>(byte);
  for (int byte = 'A'; byte <= 'Z'; ++byte)
    table[static_cast<std::size_t>(byte)] = static_cast<char>(byte + 0x20);
  for (int byte = 0xC0; byte <= 0xDF; ++byte)
    table[static_cast<std::size_t>(byte)] = static_cast<char>(byte + 0x20);
  for (const auto& [upper, lower] : kCyrillicPairs)
    table[upper] = static_cast<char>(lower);
  return table;
}

constexpr std::array<char, 256> kFoldTable = MakeFoldTable();

}  // namespace

char FoldCase(char c) {
  return kFoldTable[static_cast<std::uint8_t>(c)];
}

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size())
    return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldCase(a[i]) != FoldCase(b[i]))
      return false;
  }
  return true;
}

void FoldCaseInto(std::string_view name, std::string& out) {
  out.resize(name.size());
  for (std::size_t i = 0; i < name.size(); ++i)
    out[i] = FoldCase(name[i]);
}

}  // namespace quellar
