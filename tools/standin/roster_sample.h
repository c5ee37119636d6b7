#pragma once

#include <QString>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "standin/roster_query.h"

namespace quellar::standin {

// One clan's members who are online: record lines "nick|||playTime|||registration|||
// profession" in Windows-1251, without line ends, in the order the service lists them.
//
// A rotating clan has only `shown` of its members online at a time, so that a
// watcher sees members come and go: the answer lists `shown` records in a row,
// beginning one record later at each answer that lists the clan (and wrapping
// round), so each answer after the first has exactly one arrival and one
// departure as long as the clan has more members than it shows. The count of
// answers belongs to the process: every stand-in starts with the first window.
struct ClanRoster {
  std::string name;
  QString foldedName;  // for matching without regard to letter case
  std::vector<std::string> records;
  std::size_t shown = 0;     // members online at a time; 0 lists them all
  std::size_t answered = 0;  // answers that listed the clan so far
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
//   @rotate 4                  the last clan started rotates, 4 of its members online
//                              at a time (see ClanRoster); a number from 1 up
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
  // A clan nobody matches gives the online line alone. Each rotating clan listed
  // moves on by one member for the next answer.
  std::string Answer(const RosterQuery& query);

 private:
  std::array<ServerRoster, 2> servers_;
};

}  // namespace quellar::standin
