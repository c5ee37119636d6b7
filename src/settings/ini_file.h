#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "settings/ini_lines.h"

namespace quellar {

// The buffer sizes the settings are read through: the key names of a section
// (each ended by a zero byte, the list by one more) and one value.
inline constexpr std::size_t kKeyNamesBufferSize = 16384;
inline constexpr std::size_t kValueBufferSize = 2048;

// One entry to write.
struct IniEntry {
  std::string key;
  std::string value;
};

// The bytes of an initialization file, read and changed line by line the way the
// Windows profile functions do it: names are matched without letter case, only
// the first section of a name is seen, a change keeps every byte it does not
// touch, and lines are written with CR LF. Texts are Windows-1251 bytes.
//
// The file is scanned for section headers at most once between changes: the
// first header of every name passed is remembered, so reading many keys and
// sections of one file does not scan it again.
class IniFile {
 public:
  IniFile() = default;
  explicit IniFile(std::string bytes);

  const std::string& Bytes() const { return bytes_; }

  // The value of the first key called key in the first section called section:
  // spaces and tabs around it dropped, then one pair of enclosing matching
  // quotes, then cut to bufferSize - 1 bytes. Nothing when there is no such key.
  std::optional<std::string> Value(std::string_view section, std::string_view key,
                                   std::size_t bufferSize = kValueBufferSize) const;

  // Value, or defaultValue when there is no such key.
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue,
                         std::size_t bufferSize = kValueBufferSize) const;

  // The values of the key names of the first section called section, as the
  // platform lists them into a names buffer: the names in file order, each as
  // spelled, duplicates kept (lines without "=" and comments are not keys;
  // "name=" is), each ended by a zero byte and the list by another; when the
  // list does not fit, only its first namesBufferSize - 2 bytes. For each name
  // that lies whole in those bytes, in turn, its Value (empty if none): the value
  // of the first key of that name. A name cut in two by the end of the buffer is
  // no name of the file and gives nothing. One pass over the section.
  std::vector<std::string> SectionValues(std::string_view section,
                                         std::size_t namesBufferSize = kKeyNamesBufferSize,
                                         std::size_t valueBufferSize = kValueBufferSize) const;

  // Writes one value exactly as given: the first key line of that name in the
  // section is replaced by "<key as spelled in the file>=<value>" CR LF; a new
  // key goes straight after the section's last key line; a new section goes at
  // the end of the file as "[section]" CR LF "key=value" CR LF.
  void WriteValue(std::string_view section, std::string_view key, std::string_view value);

  // The same result as WriteValue for each entry in turn, in one pass.
  void WriteValues(std::string_view section, std::span<const IniEntry> entries);

  // Removes the header line and the key lines of every section called section,
  // in one pass: once the first is gone a later one of the same name would be
  // the one read. Other lines stay. No such section: nothing changes.
  void DeleteEverySection(std::string_view section);

 private:
  std::optional<IniLine> FindSection(std::string_view section) const;
  std::vector<IniLine> CollectKeyNames(std::string_view section, std::size_t bufferSize) const;
  void ReplaceBytes(std::string bytes);

  std::string bytes_;
  // Folded name -> position of the first header line of that name, for every
  // header before scanned_ (unless there were too many names to remember).
  mutable std::unordered_map<std::string, std::size_t> firstHeaders_;
  mutable std::size_t scanned_ = 0;
  mutable bool rememberedAll_ = true;
};

}  // namespace quellar
