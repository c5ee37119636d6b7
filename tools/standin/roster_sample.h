#pragma once

#include <QString>
#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "standin/roster_query.h"

namespace quellar::standin {

// One clan's members who are online: record lines "nick|||playTime|||registration|||
// profession" in Windows-1251, without line ends, in the order the service lists them.
struct ClanRoster {
  std::string name;
  QString foldedName;  // for matching without regard to letter case
  std::vector<std::string> records;
};

struct ServerRoster {
  std::string online = "0";  // the server's online figure, the first line of every answer
  std::vector<ClanRoster> clans;
};

// The data the stand-in serves. The sample text is UTF-8 (a byte-order mark is
// skipped) and is converted to Windows-1251 as it is read. Its lines:
//   # comment                  (and blank lines) ignored
//   @server x3 1342            the online figure of a server ("x3" or "x300")
//   @clan x300 Белые Волки     starts a clan of a server; the name runs to the line end
//   nick|||time|||reg|||prof   a member of the last clan started
class RosterSample {
 public:
  // Throws quellar::Error naming the first line that does not fit.
  static RosterSample FromUtf8(std::string_view text);
  // Throws quellar::Error when the file cannot be read or does not fit.
  static RosterSample FromFile(const QString& path);

  const ServerRoster& server(Server which) const;

  // The answer body: the server's online figure, then the records of every clan of
  // that server whose name matches, each line ended by CR LF. Matching is byte for
  // byte with case=1 and otherwise without regard to letter case, Cyrillic included.
  // A clan nobody matches gives the online line alone.
  std::string Answer(const RosterQuery& query) const;

 private:
  std::array<ServerRoster, 2> servers_;
};

}  // namespace quellar::standin
