#pragma once

#include <cstddef>
#include <string_view>

namespace quellar {

// What one line of an initialization file is.
enum class IniLineKind {
  kBlank,    // nothing but spaces and tabs
  kComment,  // first non-blank character ";"
  kHeader,   // first non-blank character "[": opens a section
  kKey,      // "name=value"
  kOther,    // anything else, kept but never read
};

// One line of the file's bytes. CR LF, CR alone and LF alone each end a line.
struct IniLine {
  std::size_t begin = 0;  // first byte of the line
  std::size_t end = 0;    // one past its last byte, before the line end
  std::size_t next = 0;   // first byte of the following line (after the line end)
  IniLineKind kind = IniLineKind::kBlank;
  // A header's section name, or a key's name: blanks around it trimmed.
  std::string_view name;
  // A key's value: everything after the first "=", untouched.
  std::string_view value;

  bool HasLineEnd() const { return next != end; }
};

// Reads the line that starts at position begin of text (begin < text.size()).
IniLine ReadIniLine(std::string_view text, std::size_t begin);

// Space and tab, the blanks trimmed around names and values.
bool IsIniBlank(char c);
std::string_view TrimIniBlanks(std::string_view text);

}  // namespace quellar
