#include "settings/ini_file.h"

#include <algorithm>
#include <utility>

#include "settings/name_case.h"

namespace quellar {
namespace {

// How many section names a file remembers the first header of.
constexpr std::size_t kRememberedSections = 4096;
constexpr std::string_view kLineEnd = "\r\n";

// A value as read: blanks around it dropped, then one pair of enclosing
// matching quotes, then cut to what the buffer holds.
std::string ValueAsRead(std::string_view raw, std::size_t bufferSize) {
  std::string_view value = TrimIniBlanks(raw);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front())
    value = value.substr(1, value.size() - 2);
  const std::size_t room = bufferSize > 0 ? bufferSize - 1 : 0;
  return std::string(value.substr(0, room));
}

void AppendKeyLine(std::string& out, std::string_view key, std::string_view value) {
  out.append(key);
  out.push_back('=');
  out.append(value);
  out.append(kLineEnd);
}

bool EndsWithLineBreak(std::string_view text) {
  return !text.empty() && (text.back() == '\r' || text.back() == '\n');
}

}  // namespace

IniFile::IniFile(std::string bytes) : bytes_(std::move(bytes)) {}

void IniFile::ReplaceBytes(std::string bytes) {
  bytes_ = std::move(bytes);
  firstHeaders_.clear();
  scanned_ = 0;
  rememberedAll_ = true;
}

std::optional<IniLine> IniFile::FindSection(std::string_view section) const {
  std::string folded;
  FoldCaseInto(section, folded);
  if (const auto known = firstHeaders_.find(folded); known != firstHeaders_.end())
    return ReadIniLine(bytes_, known->second);
  // Every header before scanned_ is remembered: go on from there. Otherwise
  // (a file of very many sections) look from the start without remembering.
  std::size_t at = rememberedAll_ ? scanned_ : 0;
  std::string name;
  while (at < bytes_.size()) {
    const IniLine line = ReadIniLine(bytes_, at);
    at = line.next;
    if (line.kind != IniLineKind::kHeader)
      continue;
    if (rememberedAll_) {
      FoldCaseInto(line.name, name);
      if (firstHeaders_.size() < kRememberedSections)
        firstHeaders_.try_emplace(name, line.begin);
      else if (!firstHeaders_.contains(name))
        rememberedAll_ = false;
      if (rememberedAll_)
        scanned_ = at;
    }
    if (EqualsIgnoringCase(line.name, section))
      return line;
  }
  if (rememberedAll_)
    scanned_ = bytes_.size();
  return std::nullopt;
}

// The key lines of a section whose names lie whole in a names buffer of
// bufferSize bytes.
std::vector<IniLine> IniFile::CollectKeyNames(std::string_view section,
                                              std::size_t bufferSize) const {
  std::vector<IniLine> whole;
  const auto header = FindSection(section);
  if (!header || bufferSize < 2)
    return whole;
  // A list that does not fit keeps its first bufferSize - 2 bytes.
  const std::size_t room = bufferSize - 2;
  std::size_t used = 0;
  std::size_t at = header->next;
  while (at < bytes_.size()) {
    const IniLine line = ReadIniLine(bytes_, at);
    if (line.kind == IniLineKind::kHeader)
      break;
    at = line.next;
    if (line.kind != IniLineKind::kKey)
      continue;
    const std::size_t need = line.name.size() + 1;
    if (used + need <= room) {
      whole.push_back(line);
      used += need;
      continue;
    }
    // A name that ends exactly where the room does is whole: the closing zero
    // bytes end it. Any other name crossing the end is cut in two, and no name.
    if (used < room && used + line.name.size() == room)
      whole.push_back(line);
    break;
  }
  return whole;
}

std::optional<std::string> IniFile::Value(std::string_view section, std::string_view key,
                                          std::size_t bufferSize) const {
  const auto header = FindSection(section);
  if (!header)
    return std::nullopt;
  for (std::size_t at = header->next; at < bytes_.size();) {
    const IniLine line = ReadIniLine(bytes_, at);
    if (line.kind == IniLineKind::kHeader)
      break;
    if (line.kind == IniLineKind::kKey && EqualsIgnoringCase(line.name, key))
      return ValueAsRead(line.value, bufferSize);
    at = line.next;
  }
  return std::nullopt;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue, std::size_t bufferSize) const {
  if (auto value = Value(section, key, bufferSize))
    return std::move(*value);
  return std::string(defaultValue);
}

std::vector<std::string> IniFile::SectionValues(std::string_view section,
                                                std::size_t namesBufferSize,
                                                std::size_t valueBufferSize) const {
  const std::vector<IniLine> lines = CollectKeyNames(section, namesBufferSize);
  // A name's first key line comes no later than the line that listed it, so the
  // listed lines hold every value asked for.
  std::unordered_map<std::string, std::string_view> firstValues;
  std::vector<std::string> values;
  values.reserve(lines.size());
  std::string folded;
  for (const IniLine& line : lines) {
    FoldCaseInto(line.name, folded);
    const std::string_view first = firstValues.try_emplace(folded, line.value).first->second;
    values.push_back(ValueAsRead(first, valueBufferSize));
  }
  return values;
}

void IniFile::WriteValue(std::string_view section, std::string_view key, std::string_view value) {
  const IniEntry entry{std::string(key), std::string(value)};
  WriteValues(section, std::span<const IniEntry>(&entry, 1));
}

void IniFile::WriteValues(std::string_view section, std::span<const IniEntry> entries) {
  if (entries.empty())
    return;

  // Writing a key twice rewrites the line the first write made: one line per
  // name, spelled as first written, holding the last value.
  struct Pending {
    std::string_view key;
    std::string_view value;
    bool inFile = false;
  };
  std::vector<Pending> pending;
  std::unordered_map<std::string, std::size_t> byName;
  std::string folded;
  for (const IniEntry& entry : entries) {
    FoldCaseInto(entry.key, folded);
    const auto [known, added] = byName.try_emplace(folded, pending.size());
    if (added)
      pending.push_back({entry.key, entry.value});
    else
      pending[known->second].value = entry.value;
  }

  const auto header = FindSection(section);
  std::string out;
  if (!header) {
    out.reserve(bytes_.size() + 2 + section.size() + 4 + entries.size() * 32);
    out = bytes_;
    if (!out.empty() && !EndsWithLineBreak(out))
      out.append(kLineEnd);
    out.push_back('[');
    out.append(section);
    out.push_back(']');
    out.append(kLineEnd);
    for (const Pending& entry : pending)
      AppendKeyLine(out, entry.key, entry.value);
    ReplaceBytes(std::move(out));
    return;
  }

  // The key lines to replace, in file order, and the end of the section's last
  // key line (or of its header), where new keys go.
  struct Replacement {
    std::size_t begin;
    std::size_t next;
    std::string_view spelled;
    std::size_t entry;
  };
  std::vector<Replacement> replacements;
  std::size_t insertAt = header->next;
  bool insertNeedsBreak = !header->HasLineEnd();
  std::size_t unmatched = pending.size();
  for (std::size_t at = header->next; at < bytes_.size();) {
    const IniLine line = ReadIniLine(bytes_, at);
    if (line.kind == IniLineKind::kHeader)
      break;
    at = line.next;
    if (line.kind != IniLineKind::kKey)
      continue;
    insertAt = line.next;
    insertNeedsBreak = !line.HasLineEnd();
    if (unmatched == 0)
      continue;
    FoldCaseInto(line.name, folded);
    const auto known = byName.find(folded);
    if (known == byName.end() || pending[known->second].inFile)
      continue;
    pending[known->second].inFile = true;
    --unmatched;
    replacements.push_back({line.begin, line.next, line.name, known->second});
  }

  std::size_t added = 0;
  for (const Pending& entry : pending)
    added += entry.key.size() + entry.value.size() + 3;
  out.reserve(bytes_.size() + added + 2);
  std::size_t copied = 0;
  for (const Replacement& line : replacements) {
    out.append(bytes_, copied, line.begin - copied);
    AppendKeyLine(out, line.spelled, pending[line.entry].value);
    copied = line.next;
  }
  if (unmatched > 0) {
    const bool lastKeyReplaced = !replacements.empty() && replacements.back().next == insertAt;
    out.append(bytes_, copied, insertAt - copied);
    copied = insertAt;
    if (insertNeedsBreak && !lastKeyReplaced)
      out.append(kLineEnd);
    for (const Pending& entry : pending) {
      if (!entry.inFile)
        AppendKeyLine(out, entry.key, entry.value);
    }
  }
  out.append(bytes_, copied);
  ReplaceBytes(std::move(out));
}

void IniFile::DeleteEverySection(std::string_view section) {
  const auto first = FindSection(section);
  if (!first)
    return;
  std::string out;
  out.reserve(bytes_.size());
  out.append(bytes_, 0, first->begin);
  std::size_t copied = first->begin;
  bool inside = false;
  for (std::size_t at = first->begin; at < bytes_.size();) {
    const IniLine line = ReadIniLine(bytes_, at);
    at = line.next;
    if (line.kind == IniLineKind::kHeader)
      inside = EqualsIgnoringCase(line.name, section);
    if (!inside || (line.kind != IniLineKind::kHeader && line.kind != IniLineKind::kKey))
      continue;
    out.append(bytes_, copied, line.begin - copied);
    copied = line.next;
  }
  out.append(bytes_, copied);
  ReplaceBytes(std::move(out));
}

}  // namespace quellar
