#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/http_answer.h"

namespace quellar::test {

// What the answer reader made of an answer: the body or the failure's message,
// and whether the connection may be kept.
struct ReadEnd {
  bool succeeded = false;
  std::string text;
  bool keepConnection = false;
  friend bool operator==(const ReadEnd&, const ReadEnd&) = default;
};

// Feeds the answer reader the pieces in turn and, when closes and it still
// wants bytes, the peer's close; nothing when it still wants bytes then. Bytes
// after a whole answer are fed too, as they came with it; a failure ends the
// feeding. check(reader) runs after every Feed and Close.
template <typename Check>
std::optional<ReadEnd> ReadAnswer(const std::vector<std::string_view>& pieces, bool closes,
                                  Check check) {
  using Progress = HttpAnswerReader::Progress;
  HttpAnswerReader reader;
  Progress progress = Progress::Reading;
  for (const std::string_view piece : pieces) {
    progress = reader.Feed(piece);
    check(reader);
    if (progress != Progress::Reading && progress != Progress::Complete)
      break;
  }
  if (progress == Progress::Reading && closes) {
    progress = reader.Close();
    check(reader);
  }
  std::optional<AnswerOutcome> outcome = Conclude(reader, progress);
  if (!outcome)
    return std::nullopt;
  return ReadEnd{outcome->succeeded,
                 outcome->succeeded ? reader.TakeBody() : std::move(outcome->failure),
                 outcome->keepConnection};
}

inline std::optional<ReadEnd> ReadAnswer(const std::vector<std::string_view>& pieces, bool closes) {
  return ReadAnswer(pieces, closes, [](const HttpAnswerReader&) {});
}

}  // namespace quellar::test
