#include "settings/ini_lines.h"

namespace quellar {
namespace {

std::size_t FindLineEnd(std::string_view text, std::size_t from) {
  const char* const data = text.data();
  const std::size_t size = text.size();
  std::size_t at = from;
  while (at < size && data[at] != '\r' && data[at] != '\n')
    ++at;
  return at;
}

std::string_view TrimLeadingBlanks(std::string_view text) {
  std::size_t first = 0;
  while (first < text.size() && IsIniBlank(text[first]))
    ++first;
  return text.substr(first);
}

void Classify(std::string_view content, IniLine& line) {
  const std::string_view text = TrimLeadingBlanks(content);
  if (text.empty()) {
    line.kind = IniLineKind::kBlank;
    return;
  }
  if (text.front() == '[') {
    // "[sec]whoops]" is "sec"; "[sec" without "]" runs to the end of the line.
    std::string_view inside = text.substr(1);
    if (const std::size_t close = inside.find(']'); close != std::string_view::npos)
      inside = inside.substr(0, close);
    line.kind = IniLineKind::kHeader;
    line.name = TrimIniBlanks(inside);
    return;
  }
  if (text.front() == ';') {
    line.kind = IniLineKind::kComment;
    return;
  }
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) {
    line.kind = IniLineKind::kOther;
    return;
  }
  line.kind = IniLineKind::kKey;
  line.name = TrimIniBlanks(text.substr(0, equals));
  line.value = text.substr(equals + 1);
}

}  // namespace

bool IsIniBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view TrimIniBlanks(std::string_view text) {
  std::size_t first = 0;
  std::size_t last = text.size();
  while (first < last && IsIniBlank(text[first]))
    ++first;
  while (last > first && IsIniBlank(text[last - 1]))
    --last;
  return text.substr(first, last - first);
}

IniLine ReadIniLine(std::string_view text, std::size_t begin) {
  IniLine line;
  line.begin = begin;
  line.end = FindLineEnd(text, begin);
  line.next = line.end;
  if (line.next < text.size()) {
    const bool crlf =
        text[line.next] == '\r' && line.next + 1 < text.size() && text[line.next + 1] == '\n';
    line.next += crlf ? 2 : 1;
  }
  Classify(text.substr(begin, line.end - begin), line);
  return line;
}

}  // namespace quellar
