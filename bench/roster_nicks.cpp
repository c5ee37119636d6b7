// Writes the nicks of the benchmark's generated roster, one UTF-8 line each, so
// that another sorter can be timed on exactly the same names.
#include <QByteArray>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench/roster_data.h"
#include "common/cp1251.h"

int main(int argc, char** argv) {
  char* end = nullptr;
  const unsigned long long count = argc == 2 ? std::strtoull(argv[1], &end, 10) : 0;
  if (argc != 2 || end == argv[1] || *end != '\0') {
    std::fprintf(stderr, "usage: %s ROWS\n", argv[0]);
    return 2;
  }
  std::string out;
  for (const quellar::RosterRow& row : quellar::bench::GenerateRosterRows(count)) {
    out += quellar::FromCp1251(row.nick).toUtf8().toStdString();
    out += '\n';
  }
  return std::fwrite(out.data(), 1, out.size(), stdout) == out.size() ? 0 : 1;
}
