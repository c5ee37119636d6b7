#include "watch/watch_output.h"

#include <QString>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "common/cp1251.h"

namespace quellar::watch {
namespace {

std::string Utf8(std::string_view cp1251) {
  return FromCp1251(cp1251).toUtf8().toStdString();
}

std::string JsonField(std::string_view key, std::string_view utf8Value) {
  return JsonString(key) + ':' + JsonString(utf8Value);
}

std::string JsonObject(const std::vector<std::string>& fields) {
  std::string object = "{";
  for (const std::string& field : fields) {
    if (object.size() > 1)
      object += ',';
    object += field;
  }
  return object + "}\n";
}

}  // namespace

std::string RosterLines(const RosterRows& rows, bool json) {
  std::string lines;
  for (const RosterRowView row : rows) {
    if (json) {
      lines +=
          JsonObject({JsonField("nick", Utf8(row.nick)), JsonField("playTime", Utf8(row.playTime)),
                      JsonField("registration", Utf8(row.registration)),
                      JsonField("profession", Utf8(row.profession))});
    } else {
      lines += Utf8(row.nick) + '\t' + Utf8(row.playTime) + '\t' + Utf8(row.registration) + '\t' +
               Utf8(row.profession) + '\n';
    }
  }
  return lines;
}

std::string ChangeLines(const RosterChanges& changes) {
  std::string lines;
  for (const std::string& nick : changes.arrived)
    lines += "+\t" + Utf8(nick) + '\n';
  for (const std::string& nick : changes.left)
    lines += "-\t" + Utf8(nick) + '\n';
  return lines;
}

std::string ChangeJsonLines(const RosterChanges& changes, const ChangeContext& context) {
  const std::string clan = JsonField("clan", Utf8(context.clan));
  const std::string server = JsonField("server", context.server);
  const std::string time = JsonField("time", IsoTimeWithOffset(context.time));
  std::string lines;
  const auto add = [&](std::string_view event, const std::vector<std::string>& nicks) {
    for (const std::string& nick : nicks) {
      lines += JsonObject(
          {JsonField("event", event), JsonField("nick", Utf8(nick)), clan, server, time});
    }
  };
  add("online", changes.arrived);
  add("offline", changes.left);
  return lines;
}

std::string MessageLines(std::string_view message) {
  std::string lines;
  while (true) {
    const std::size_t lineFeed = message.find('\n');
    std::string_view line = message.substr(0, lineFeed);
    if (line.ends_with('\r'))
      line.remove_suffix(1);
    lines += Utf8(line) + '\n';
    if (lineFeed == std::string_view::npos)
      return lines;
    message.remove_prefix(lineFeed + 1);
  }
}

std::string JsonString(std::string_view utf8) {
  std::string json = "\"";
  for (char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '"':
        json += "\\\"";
        break;
      case '\\':
        json += "\\\\";
        break;
      case '\n':
        json += "\\n";
        break;
      case '\r':
        json += "\\r";
        break;
      case '\t':
        json += "\\t";
        break;
      default:
        if (byte < 0x20) {
          char escape[16];
          std::snprintf(escape, sizeof escape, "\\u%04X", byte);
          json += escape;
        } else {
          json += c;
        }
    }
  }
  return json + '"';
}

std::string IsoTimeWithOffset(const QDateTime& time) {
  const int offsetMinutes = time.offsetFromUtc() / 60;
  char offset[32];
  std::snprintf(offset, sizeof offset, "%c%02d:%02d", offsetMinutes < 0 ? '-' : '+',
                std::abs(offsetMinutes) / 60, std::abs(offsetMinutes) % 60);
  return time.toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")).toStdString() + offset;
}

}  // namespace quellar::watch
