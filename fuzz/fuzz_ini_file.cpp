// The initialization-file engine on arbitrary file bytes, checked against an
// independent reading of the lines: the values it reads through names buffers of
// any size, the exact bytes a write and a delete of sections leave, and that a
// value written reads back trimmed and unquoted while every other key keeps its
// value.
//
// Input: section, key and value to write and then the file, separated by the
// first three zero bytes (missing parts are empty). The last byte of the input
// also picks the small buffer sizes the reads are tried with.

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "fuzz_check.h"
#include "settings/ini_file.h"
#include "settings/name_case.h"

namespace {

using quellar::EqualsIgnoringCase;
using quellar::IniFile;

constexpr std::size_t kUnlimited = std::numeric_limits<std::size_t>::max();

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

enum class Kind { kHeader, kKey, kNone };

struct Line {
  std::size_t begin;
  std::size_t end;   // before the line end
  std::size_t next;  // after it
  Kind kind;
  std::string_view name;
  std::string_view value;
};

// The file as lines: CR LF, a lone CR and a lone LF each end one.
std::vector<Line> Lines(std::string_view bytes) {
  std::vector<Line> lines;
  std::size_t begin = 0;
  while (begin < bytes.size()) {
    const std::size_t found = bytes.find_first_of("\r\n", begin);
    const std::size_t end = found == std::string_view::npos ? bytes.size() : found;
    std::size_t next = end;
    if (next < bytes.size())
      next += bytes.compare(next, 2, "\r\n") == 0 ? 2 : 1;
    Line line{begin, end, next, Kind::kNone, {}, {}};
    std::string_view text = bytes.substr(begin, end - begin);
    while (!text.empty() && IsBlank(text.front()))
      text.remove_prefix(1);
    if (!text.empty() && text.front() == '[') {
      line.kind = Kind::kHeader;
      line.name =
          Trim(text.substr(1, text.find(']') == std::string_view::npos ? std::string_view::npos
                                                                       : text.find(']') - 1));
    } else if (!text.empty() && text.front() != ';' && text.find('=') != std::string_view::npos) {
      line.kind = Kind::kKey;
      line.name = Trim(text.substr(0, text.find('=')));
      line.value = text.substr(text.find('=') + 1);
    }
    lines.push_back(line);
    begin = next;
  }
  return lines;
}

// Where the first section of a name sits in the lines: its header and the key
// lines that follow it up to the next header.
struct Section {
  std::size_t header;
  std::vector<std::size_t> keys;
};

std::optional<Section> FindSection(const std::vector<Line>& lines, std::string_view name) {
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].kind != Kind::kHeader || !EqualsIgnoringCase(lines[i].name, name))
      continue;
    Section section{i, {}};
    for (std::size_t k = i + 1; k < lines.size() && lines[k].kind != Kind::kHeader; ++k) {
      if (lines[k].kind == Kind::kKey)
        section.keys.push_back(k);
    }
    return section;
  }
  return std::nullopt;
}

std::string AsRead(std::string_view raw, std::size_t bufferSize = kUnlimited) {
  std::string_view value = Trim(raw);
  if (value.size() >= 2 && (value[0] == '"' || value[0] == '\'') && value.back() == value[0])
    value = value.substr(1, value.size() - 2);
  return std::string(value.substr(0, bufferSize == 0 ? 0 : bufferSize - 1));
}

// The key names of the first section of a name, each as spelled, and for each
// the value of the first key of that name.
struct Listing {
  std::vector<std::string> names;
  std::vector<std::string> values;
};

Listing ListSection(const std::vector<Line>& lines, const Section& section) {
  Listing listing;
  std::unordered_map<std::string, std::string_view> firstValues;
  std::string folded;
  for (std::size_t k : section.keys) {
    listing.names.emplace_back(lines[k].name);
    folded.clear();
    for (char c : lines[k].name)
      folded.push_back(quellar::FoldCase(c));
    listing.values.push_back(AsRead(firstValues.try_emplace(folded, lines[k].value).first->second));
  }
  return listing;
}

// Every section name once, in the order of first appearance.
std::vector<std::string_view> SectionNames(const std::vector<Line>& lines) {
  std::vector<std::string_view> names;
  for (const Line& line : lines) {
    if (line.kind != Kind::kHeader)
      continue;
    bool seen = false;
    for (std::string_view name : names)
      seen = seen || EqualsIgnoringCase(name, line.name);
    if (!seen)
      names.push_back(line.name);
    if (names.size() >= 16)
      break;  // enough to look at
  }
  return names;
}

// How many of a section's names lie whole in a names buffer of size bytes: the
// list, each name ended by a zero byte and the list by another, keeps its first
// size - 2 bytes when it does not fit, and a name counts when every byte of it
// is among them (the closing zero bytes may end it) and it starts before their
// end.
std::size_t NamesHeld(const std::vector<std::string>& names, std::size_t size) {
  if (size < 2)
    return 0;
  const std::size_t room = size - 2;
  std::size_t start = 0;
  std::size_t held = 0;
  for (const std::string& name : names) {
    if (start >= room || start + name.size() > room)
      break;
    ++held;
    start += name.size() + 1;
  }
  return held;
}

// The reads of the engine agree with the lines.
void CheckReads(const IniFile& ini, const std::vector<Line>& lines, std::string_view section,
                std::size_t smallBuffer) {
  const auto found = FindSection(lines, section);
  const std::vector<std::string> values = ini.SectionValues(section, kUnlimited, kUnlimited);
  if (!found) {
    FUZZ_CHECK(values.empty());
    FUZZ_CHECK(ini.SectionValues(section).empty());
    return;
  }
  const Listing listing = ListSection(lines, *found);
  FUZZ_CHECK(values == listing.values);
  for (std::size_t i = 0; i < listing.names.size() && i < 4; ++i) {
    FUZZ_CHECK(ini.Value(section, listing.names[i], kUnlimited) == listing.values[i]);
    FUZZ_CHECK(ini.Value(section, listing.names[i]) ==
               listing.values[i].substr(0, quellar::kValueBufferSize - 1));
    FUZZ_CHECK(ini.Value(section, listing.names[i], smallBuffer) ==
               listing.values[i].substr(0, smallBuffer == 0 ? 0 : smallBuffer - 1));
  }

  // Through a names buffer that may not hold the list: the values of the names
  // it holds whole, in order.
  for (const std::size_t size : {smallBuffer, quellar::kKeyNamesBufferSize}) {
    const std::vector<std::string> held(
        listing.values.begin(),
        listing.values.begin() + static_cast<std::ptrdiff_t>(NamesHeld(listing.names, size)));
    FUZZ_CHECK(ini.SectionValues(section, size, kUnlimited) == held);
  }
}

// The bytes a write of one value should leave.
std::string Written(std::string_view bytes, std::string_view section, std::string_view key,
                    std::string_view value) {
  const std::vector<Line> lines = Lines(bytes);
  const auto found = FindSection(lines, section);
  const std::string keyLine = std::string(key) + "=" + std::string(value) + "\r\n";
  std::string out(bytes);
  if (!found) {
    if (!out.empty() && out.back() != '\r' && out.back() != '\n')
      out += "\r\n";
    return out + "[" + std::string(section) + "]\r\n" + keyLine;
  }
  for (std::size_t k : found->keys) {
    const Line& line = lines[k];
    if (EqualsIgnoringCase(line.name, key)) {
      return out.replace(line.begin, line.next - line.begin,
                         std::string(line.name) + "=" + std::string(value) + "\r\n");
    }
  }
  const Line& last = lines[found->keys.empty() ? found->header : found->keys.back()];
  return out.insert(last.next, (last.next == last.end ? "\r\n" : "") + keyLine);
}

// The bytes a delete of the sections of a name should leave: the header and key
// lines of each section of that name gone.
std::string Deleted(std::string_view bytes, std::string_view section) {
  const std::vector<Line> lines = Lines(bytes);
  std::string out;
  std::size_t copied = 0;
  bool inside = false;
  for (const Line& line : lines) {
    if (line.kind == Kind::kHeader)
      inside = EqualsIgnoringCase(line.name, section);
    if (!inside || line.kind == Kind::kNone)
      continue;
    out.append(bytes.substr(copied, line.begin - copied));
    copied = line.next;
  }
  return out.append(bytes.substr(copied));
}

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

// Names and values a write can give back: no line breaks, names that read as
// themselves (no blanks around them, no "]" in a section, no "=" in a key, and a
// key line that is not a header or a comment).
bool Writable(std::string_view section, std::string_view key, std::string_view value) {
  if (HasLineBreak(section) || HasLineBreak(key) || HasLineBreak(value))
    return false;
  if (Trim(section) != section || section.find(']') != std::string_view::npos)
    return false;
  if (Trim(key) != key || key.find('=') != std::string_view::npos)
    return false;
  return key.empty() || (key.front() != '[' && key.front() != ';');
}

std::string Upper(std::string_view text) {
  std::string upper(text);
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t smallBuffer = size == 0 ? 0 : data[size - 1] % 40;
  std::string_view parts[3];
  for (std::string_view& part : parts) {
    const std::size_t zero = input.find('\0');
    part = input.substr(0, zero);
    input.remove_prefix(zero == std::string_view::npos ? input.size() : zero + 1);
  }
  const std::string_view section = parts[0];
  const std::string_view key = parts[1];
  const std::string_view value = parts[2];
  const std::string bytes(input);

  IniFile ini(bytes);
  const std::vector<Line> lines = Lines(bytes);
  const std::vector<std::string_view> sections = SectionNames(lines);
  for (std::string_view name : sections)
    CheckReads(ini, lines, name, smallBuffer);
  CheckReads(ini, lines, section, smallBuffer);

  // A write changes exactly the line it must, whatever the names.
  ini.WriteValue(section, key, value);
  const std::string afterWrite = ini.Bytes();
  FUZZ_CHECK(afterWrite == Written(bytes, section, key, value));

  // A delete removes the header and the key lines of every section of the name,
  // and the name then has no values.
  IniFile deleting(afterWrite);
  deleting.DeleteEverySection(section);
  FUZZ_CHECK(deleting.Bytes() == Deleted(afterWrite, section));
  FUZZ_CHECK(deleting.SectionValues(section, kUnlimited, kUnlimited).empty());

  if (!Writable(section, key, value))
    return 0;

  // The value reads back trimmed and unquoted; every other key keeps its value.
  FUZZ_CHECK(ini.Value(section, key, kUnlimited) == AsRead(value));
  const std::vector<Line> linesAfter = Lines(afterWrite);
  for (std::string_view name : sections) {
    if (EqualsIgnoringCase(name, section))
      continue;
    FUZZ_CHECK(ini.SectionValues(name, kUnlimited, kUnlimited) ==
               ListSection(lines, *FindSection(lines, name)).values);
  }
  const auto before = FindSection(lines, section);
  const auto after = FindSection(linesAfter, section);
  FUZZ_CHECK(after.has_value());
  const Listing written = ListSection(linesAfter, *after);
  CheckReads(ini, linesAfter, section, smallBuffer);
  if (before) {
    const Listing old = ListSection(lines, *before);
    std::vector<std::string> expectedNames = old.names;
    std::vector<std::string> expectedValues = old.values;
    bool existed = false;
    for (std::size_t i = 0; i < expectedNames.size(); ++i) {
      if (EqualsIgnoringCase(expectedNames[i], key)) {
        expectedValues[i] = AsRead(value);
        existed = true;
      }
    }
    if (!existed) {
      expectedNames.emplace_back(key);
      expectedValues.push_back(AsRead(value));
    }
    FUZZ_CHECK(written.names == expectedNames);
    FUZZ_CHECK(written.values == expectedValues);
  } else {
    FUZZ_CHECK(written.names == std::vector<std::string>{std::string(key)});
  }

  // Writing the same value again changes nothing.
  ini.WriteValue(section, key, value);
  FUZZ_CHECK(ini.Bytes() == afterWrite);

  // Several entries in one pass give the bytes of the writes one after another.
  const std::string otherKey = std::string(key) + "2";
  const std::string otherValue = std::string(value) + " ";
  const std::string upperKey = Upper(key);
  const std::vector<quellar::IniEntry> entries = {
      {std::string(key), std::string(value)}, {otherKey, otherValue}, {upperKey, otherValue}};
  IniFile oneByOne(bytes);
  for (const quellar::IniEntry& entry : entries)
    oneByOne.WriteValue(section, entry.key, entry.value);
  IniFile onePass(bytes);
  onePass.WriteValues(section, entries);
  FUZZ_CHECK(onePass.Bytes() == oneByOne.Bytes());
  return 0;
}
