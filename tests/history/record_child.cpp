// Records fetches of one clan into a history file, one a minute of fake time, and
// prints "ready" once it runs and "recorded <n>" after each recording returns: COUNT of them, or
// for ever with 0. A failure prints its message on standard error and ends with status 1.
//   history_record_child FILE CLAN COUNT
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "common/error.h"
#include "history/history_fetches.h"
#include "history/history_recorder.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: history_record_child FILE CLAN COUNT\n";
    return 2;
  }
  std::cout << "ready" << std::endl;
  quellar::HistoryFile history{std::filesystem::path(argv[1])};
  const quellar::RosterQuery query{argv[2], quellar::Server::kX3, false};
  const long count = std::strtol(argv[3], nullptr, 10);
  // 150 of 200 members, a few others each fetch.
  for (long fetch = 0; count == 0 || fetch < count; ++fetch) {
    std::vector<std::string> nicks;
    for (long member = fetch; member < fetch + 150; ++member)
      nicks.push_back("member" + std::to_string(member % 200));
    try {
      quellar::RecordFetch(history, quellar::test::Fetched(query, nicks),
                           quellar::test::AtMinute(static_cast<int>(fetch)));
    } catch (const std::exception& error) {
      std::cerr << error.what() << std::endl;
      return 1;
    }
    std::cout << "recorded " << fetch + 1 << std::endl;
  }
}
