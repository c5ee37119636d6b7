#include "standin/roster_sample.h"

#include <QFile>
#include <algorithm>
#include <charconv>
#include <optional>
#include <system_error>

#include "common/cp1251.h"
#include "common/error.h"

namespace quellar::standin {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kSeparator = "|||";

std::size_t Index(Server which) {
  return static_cast<std::size_t>(ServerIndex(which));
}

[[noreturn]] void Fail(int lineNumber, const std::string& what) {
  throw Error("roster sample, line " + std::to_string(lineNumber) + ": " + what);
}

// Splits "x3 rest" into the server and the rest.
std::pair<Server, std::string_view> ServerAndRest(std::string_view text, int lineNumber) {
  const auto space = text.find(' ');
  const auto server = ServerNamed(text.substr(0, space));
  if (!server)
    Fail(lineNumber, "the server must be \"x3\" or \"x300\"");
  if (space == std::string_view::npos || space + 1 == text.size())
    Fail(lineNumber, "nothing follows the server");
  return {*server, text.substr(space + 1)};
}

// The count of a "@rotate" line: decimal digits alone, at least 1.
std::size_t RotationCount(std::string_view text, int lineNumber) {
  std::size_t count = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), count);
  if (error != std::errc() || end != text.data() + text.size() || count == 0)
    Fail(lineNumber, "@rotate needs a number of members from 1 up");
  return count;
}

std::string ToSampleBytes(std::string_view utf8, int lineNumber) {
  const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
  std::string bytes = ToCp1251(text);
  if (FromCp1251(bytes) != text)
    Fail(lineNumber, "text that Windows-1251 cannot hold");
  return bytes;
}

}  // namespace

RosterSample RosterSample::FromUtf8(std::string_view text) {
  if (text.starts_with(kUtf8Bom))
    text.remove_prefix(kUtf8Bom.size());
  RosterSample sample;
  ClanRoster* clan = nullptr;
  int lineNumber = 0;
  while (!text.empty()) {
    ++lineNumber;
    const auto lineEnd = text.find('\n');
    std::string_view utf8Line = text.substr(0, lineEnd);
    text.remove_prefix(lineEnd == std::string_view::npos ? text.size() : lineEnd + 1);
    if (utf8Line.ends_with('\r'))
      utf8Line.remove_suffix(1);
    if (utf8Line.empty() || utf8Line.starts_with('#'))
      continue;
    const std::string line = ToSampleBytes(utf8Line, lineNumber);
    const std::string_view view(line);
    if (view.starts_with("@server ")) {
      const auto [server, figure] = ServerAndRest(view.substr(8), lineNumber);
      sample.servers_[Index(server)].online = std::string(figure);
    } else if (view.starts_with("@clan ")) {
      const auto [server, name] = ServerAndRest(view.substr(6), lineNumber);
      auto& clans = sample.servers_[Index(server)].clans;
      clan =
          &clans.emplace_back(ClanRoster{std::string(name), FromCp1251(name).toCaseFolded(), {}});
    } else if (view.starts_with("@rotate ")) {
      if (clan == nullptr)
        Fail(lineNumber, "@rotate before the first @clan line");
      clan->shown = RotationCount(view.substr(8), lineNumber);
    } else if (view.starts_with('@')) {
      Fail(lineNumber, "unknown directive");
    } else if (view.find(kSeparator) == std::string_view::npos) {
      Fail(lineNumber, "a record needs fields separated by \"|||\"");
    } else if (clan == nullptr) {
      Fail(lineNumber, "a record before the first @clan line");
    } else {
      clan->records.push_back(line);
    }
  }
  return sample;
}

RosterSample RosterSample::FromFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    throw Error("cannot read the roster sample " + path.toStdString() + ": " +
                file.errorString().toStdString());
  const QByteArray bytes = file.readAll();
  return FromUtf8(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

const ServerRoster& RosterSample::server(Server which) const {
  return servers_[Index(which)];
}

std::string RosterSample::Answer(const RosterQuery& query) {
  ServerRoster& roster = servers_[Index(query.server)];
  std::string body = roster.online + "\r\n";
  const QString foldedClan =
      query.caseSensitive ? QString() : FromCp1251(query.clan).toCaseFolded();
  for (ClanRoster& clan : roster.clans) {
    const bool matches =
        query.caseSensitive ? clan.name == query.clan : clan.foldedName == foldedClan;
    if (!matches || clan.records.empty())
      continue;
    const std::size_t count = clan.records.size();
    const std::size_t shown = clan.shown == 0 ? count : std::min(clan.shown, count);
    const std::size_t first = clan.shown == 0 ? 0 : clan.answered % count;
    ++clan.answered;
    for (std::size_t i = 0; i < shown; ++i) {
      body += clan.records[(first + i) % count];
      body += "\r\n";
    }
  }
  return body;
}

}  // namespace quellar::standin
