// The roster answer's parse and the table fill from it, as a fetch makes them, on
// arbitrary bytes, checked against an independent split of the lines and a
// direct collation of the nicks in the Russian locale.
//
// Input: the answer's body. (Rosters long enough for the bucketed sort, 4096
// rows and more, cost too much per input under the sanitizers; the unit tests
// check those against direct collation.)

#include <QCollator>
#include <QLocale>
#include <QString>
#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/cp1251.h"
#include "fuzz_check.h"
#include "roster/roster_model.h"
#include "roster/roster_parse.h"

namespace {

using quellar::RosterRow;

const QLocale& Russian() {
  static const QLocale locale(QLocale::Russian, QLocale::Russia);
  return locale;
}

const QCollator& Collator() {
  static const QCollator collator = [] {
    QCollator made(Russian());
    made.setCaseSensitivity(Qt::CaseSensitive);
    return made;
  }();
  return collator;
}

// The body split at every CR LF: the first piece is the server line, the last
// (what follows the last CR LF) is no line.
struct Split {
  bool hasLineEnd = false;
  std::string serverLine;
  std::vector<std::string> lines;  // every line after the server line, empty ones too
};

Split SplitLines(std::string_view body) {
  Split split;
  std::string current;
  bool first = true;
  for (std::size_t i = 0; i < body.size(); ++i) {
    if (body[i] == '\r' && i + 1 < body.size() && body[i + 1] == '\n') {
      if (first)
        split.serverLine = current;
      else
        split.lines.push_back(current);
      split.hasLineEnd = true;
      first = false;
      current.clear();
      ++i;
    } else {
      current.push_back(body[i]);
    }
  }
  return split;
}

// One record line: fields separated by "|||"; nick, play time, registration and
// profession, a short line repeating its last field, a line without any
// separator being a nick alone.
RosterRow Record(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t i = 0; i + 3 <= line.size();) {
    if (line.compare(i, 3, "|||") == 0) {
      fields.push_back(line.substr(start, i - start));
      i += 3;
      start = i;
    } else {
      ++i;
    }
  }
  fields.push_back(line.substr(start));
  if (fields.size() == 1)
    return RosterRow{fields[0], "", "", ""};
  while (fields.size() < 4)
    fields.push_back(fields.back());
  return RosterRow{fields[0], fields[1], fields[2], fields[3]};
}

std::string WithoutLightPunctuation(const std::string& nick) {
  std::string words;
  for (char c : nick) {
    if (c != '-' && c != '\'')
      words.push_back(c);
  }
  return words;
}

// A nick as the reference collates it, whole or without hyphens and apostrophes.
// QCollator::compare puts an empty text before any other without asking the
// collator, which holds a text of ignorable characters only (NUL, other
// controls) equal to the empty one, as the sort keys do; a common first
// character keeps every comparison with the collator.
QString Collatable(const std::string& nick) {
  return quellar::FromCp1251("0" + nick);
}

struct CollatableNick {
  QString words;
  QString text;
};

// Whether row a stands before row b (positions in arrival order) in nick order.
bool Before(const std::vector<CollatableNick>& nicks, std::size_t a, std::size_t b) {
  const int byWords = Collator().compare(nicks[a].words, nicks[b].words);
  if (byWords != 0)
    return byWords < 0;
  const int byText = Collator().compare(nicks[a].text, nicks[b].text);
  if (byText != 0)
    return byText < 0;
  return a < b;
}

// Where each filled row came from: the earliest arrival position, not yet taken,
// of a row with the same four texts. Rows that agree in every text cannot be
// told apart, so taking them in arrival order checks all that can be seen.
class ArrivalPositions {
 public:
  explicit ArrivalPositions(const std::vector<RosterRow>& rows) {
    for (std::size_t i = 0; i < rows.size(); ++i)
      positions_[Texts(rows[i])].push_back(i);
  }

  // The position of row, or none when no such row is left.
  std::optional<std::size_t> Take(const RosterRow& row) {
    const auto found = positions_.find(Texts(row));
    if (found == positions_.end() || found->second.empty())
      return std::nullopt;
    const std::size_t position = found->second.front();
    found->second.pop_front();
    return position;
  }

 private:
  using Key = std::array<std::string, 4>;
  static Key Texts(const RosterRow& row) {
    return {row.nick, row.playTime, row.registration, row.profession};
  }

  std::map<Key, std::deque<std::size_t>> positions_;
};

void Check(std::string_view body) {
  // The parse against the independent split.
  const Split split = SplitLines(body);
  std::vector<RosterRow> rows;
  for (const std::string& line : split.lines) {
    if (!line.empty())
      rows.push_back(Record(line));
  }
  const quellar::RosterAnswer answer = quellar::ParseAnswer(std::string(body));
  FUZZ_CHECK(answer.serverLine == split.serverLine);
  FUZZ_CHECK(answer.rows == rows);

  // The fill, as a fetch makes it: each whole row where the nick order puts it.
  quellar::RosterModel model(Russian());
  model.Show(quellar::FillRoster(std::string(body), model.locale()));
  FUZZ_CHECK(model.rows().size() == rows.size());
  ArrivalPositions arrival(rows);
  std::vector<std::size_t> order;
  for (const quellar::RosterRowView filled : model.rows()) {
    const std::optional<std::size_t> position = arrival.Take(filled.ToRow());
    FUZZ_CHECK(position.has_value());
    order.push_back(*position);
  }

  // Every row up to the last one with a nick is sorted; the rest stay where they came.
  std::size_t sorted = rows.size();
  while (sorted > 0 && rows[sorted - 1].nick.empty())
    --sorted;
  for (std::size_t i = sorted; i < rows.size(); ++i)
    FUZZ_CHECK(order[i] == i);
  std::vector<CollatableNick> nicks;
  nicks.reserve(sorted);
  for (std::size_t i = 0; i < sorted; ++i)
    nicks.push_back({Collatable(WithoutLightPunctuation(rows[i].nick)), Collatable(rows[i].nick)});
  for (std::size_t i = 0; i + 1 < sorted; ++i)
    FUZZ_CHECK(Before(nicks, order[i], order[i + 1]));

  FUZZ_CHECK(model.rowCount() == static_cast<int>(rows.size()));
  FUZZ_CHECK(model.clanStatusText() ==
             QStringLiteral("Онлайн клана: ") + QString::number(rows.size()));
  FUZZ_CHECK(model.serverStatusText() ==
             QStringLiteral("Онлайн сервера: ") + quellar::FromCp1251(split.serverLine));
  for (int row = 0; row < model.rowCount() && row < 4; ++row) {
    const quellar::RosterRowView filled = model.rows()[static_cast<std::size_t>(row)];
    const std::string_view fields[] = {filled.nick, filled.playTime, filled.registration,
                                       filled.profession};
    for (int column = 0; column < 4; ++column) {
      FUZZ_CHECK(model.data(model.index(row, column)).toString() ==
                 quellar::FromCp1251(fields[column]));
    }
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  Check(input);
  return 0;
}
