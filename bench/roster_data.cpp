#include "bench/roster_data.h"

#include <QString>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <utility>

#include "bench/bench_random.h"
#include "common/cp1251.h"
#include "roster/fetch_step.h"
#include "roster/roster_model.h"

namespace quellar::bench {
namespace {

struct Alphabet {
  std::string consonants;
  std::string vowels;
  std::string upperConsonants;
  std::string upperVowels;
};

Alphabet MakeAlphabet(const char16_t* consonants, const char16_t* vowels) {
  const QString c = QString::fromUtf16(consonants);
  const QString v = QString::fromUtf16(vowels);
  return Alphabet{ToCp1251(c), ToCp1251(v), ToCp1251(c.toUpper()), ToCp1251(v.toUpper())};
}

const Alphabet& Cyrillic() {
  static const Alphabet alphabet = MakeAlphabet(u"бвгджзклмнпрстфхцчшщ", u"аеёиоуыэюя");
  return alphabet;
}

const Alphabet& Latin() {
  static const Alphabet alphabet = MakeAlphabet(u"bcdfghjklmnprstvwxz", u"aeiouy");
  return alphabet;
}

const std::vector<std::string>& Professions() {
  static const std::vector<std::string> professions = [] {
    std::vector<std::string> list;
    for (const char16_t* name : {u"Воин", u"Маг", u"Охотник", u"Лекарь", u"Кузнец", u"Алхимик",
                                 u"Рыбак", u"Торговец", u"Шахтёр", u"Травник"})
      list.push_back(ToCp1251(QString::fromUtf16(name)));
    return list;
  }();
  return professions;
}

char Pick(Random& random, const std::string& letters) {
  return letters[random.Below(letters.size())];
}

// One word of two to four syllables, capitalised most of the time.
std::string Word(Random& random, const Alphabet& alphabet, bool capitalised) {
  std::string word;
  const std::size_t syllables = 2 + random.Below(3);
  for (std::size_t i = 0; i < syllables; ++i) {
    const bool first = i == 0 && capitalised;
    word += Pick(random, first ? alphabet.upperConsonants : alphabet.consonants);
    word += Pick(random, alphabet.vowels);
    if (random.Chance(20))
      word += Pick(random, alphabet.consonants);
  }
  if (random.Chance(5))
    word[word.size() - 1] = Pick(random, alphabet.upperVowels);
  return word;
}

std::string Nick(Random& random) {
  const Alphabet& alphabet = random.Chance(55) ? Cyrillic() : Latin();
  std::string nick = Word(random, alphabet, random.Chance(80));
  const std::size_t kind = random.Below(100);
  if (kind < 10) {
    nick += '-';
    nick += Word(random, alphabet, random.Chance(50));
  } else if (kind < 15) {
    nick.insert(1 + random.Below(nick.size() - 1), 1, '\'');
  } else if (kind < 27) {
    nick += std::to_string(random.Below(2000));
  }
  return nick;
}

std::string TwoDigits(std::size_t value) {
  return {static_cast<char>('0' + value / 10), static_cast<char>('0' + value % 10)};
}

// Six characters (a time and a space), then the registration date.
std::string Registration(Random& random) {
  return TwoDigits(random.Below(24)) + ':' + TwoDigits(random.Below(60)) + ' ' +
         TwoDigits(1 + random.Below(28)) + '.' + TwoDigits(1 + random.Below(12)) + '.' +
         std::to_string(2003 + random.Below(20));
}

}  // namespace

std::vector<RosterRow> GenerateRosterRows(std::size_t count) {
  Random random(0x51A7E5EEDull);
  std::vector<RosterRow> rows;
  rows.reserve(count);
  const auto& professions = Professions();
  for (std::size_t i = 0; i < count; ++i) {
    RosterRow row;
    row.nick = Nick(random);
    row.playTime = std::to_string(random.Below(500000));
    row.registration = Registration(random);
    row.profession = professions[random.Below(professions.size())];
    rows.push_back(std::move(row));
  }
  return rows;
}

std::string RosterBody(const std::vector<RosterRow>& rows) {
  std::string body = std::to_string(rows.size() * 7 + 1234) + "\r\n";
  body.reserve(rows.size() * 64);
  for (const RosterRow& row : rows) {
    body += row.nick;
    body += "|||";
    body += row.playTime;
    body += "|||";
    body += row.registration;
    body += "|||";
    body += row.profession;
    body += "\r\n";
  }
  return body;
}

void FetchInto(HttpClient& http, const std::string& host, const std::string& clan,
               RosterModel& table) {
  FetchRequest request;
  request.rosterHost = host;
  request.query.clan = clan;
  request.locale = table.locale();
  FetchOutcome outcome = FetchRoster(http, request);
  if (!outcome.fetched) {
    std::fprintf(stderr, "fetch failed: %s\n", outcome.failure.c_str());
    std::exit(1);
  }
  table.Show(std::move(outcome.fetched->filled));
}

}  // namespace quellar::bench
