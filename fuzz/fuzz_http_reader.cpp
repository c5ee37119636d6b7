// The answer reader alone, without sockets, against whatever a server may send
// arriving in pieces of any size, checked against the client's promises: a body,
// or one of its messages for an answer (a line of the answer as received, up to
// a NUL byte, or "Connection Closed Gracefully."); the same end as when the
// answer arrives in one piece; and never more held than the reader's limits.
//
// Input: one byte of choices (bit 0: the peer closes after the last piece; bits
// 1-3: how many piece sizes follow, none meaning one byte a piece), the piece
// sizes (each byte one less than its piece's size, taken in turn), then the
// answer.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "net/http_answer.h"
#include "support/answer_reading.h"

namespace {

// What the reader may hold besides the body: the head, and a chunk-size line.
constexpr std::size_t kHeadLimit = std::size_t{100} << 10;
constexpr std::size_t kChunkSizeLineLimit = 4096;

void CheckLimits(const quellar::HttpAnswerReader& reader) {
  const quellar::HttpAnswerReader::Held held = reader.held();
  FUZZ_CHECK(held.head <= kHeadLimit);
  FUZZ_CHECK(held.chunkLine <= kChunkSizeLineLimit);
}

// A line of the answer as the client quotes it: without its line feed and a
// carriage return before that, up to a NUL byte, and with something visible.
// Only an answer longer than the head may be has a line the reader stopped
// reading inside; that one is quoted as far as it was read.
bool IsQuotedLine(const std::string& message, std::string_view answer) {
  if (message.find_first_not_of(" \t\r") == std::string::npos)
    return false;
  const bool mayBeCut = answer.size() > kHeadLimit;
  for (;;) {
    const auto end = answer.find('\n');
    const std::string_view raw = answer.substr(0, answer.substr(0, end).find('\0'));
    std::string_view line = answer.substr(0, end);
    if (end != std::string_view::npos && line.ends_with('\r'))
      line.remove_suffix(1);
    line = line.substr(0, line.find('\0'));
    if (message == line || (mayBeCut && raw.starts_with(message)))
      return true;
    if (end == std::string_view::npos)
      return false;
    answer.remove_prefix(end + 1);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1)
    return 0;
  const bool closes = (data[0] & 1) != 0;
  const std::size_t sizeCount = (data[0] >> 1) & 7;
  if (size < 1 + sizeCount)
    return 0;
  const std::uint8_t* sizes = data + 1;
  const std::string_view answer(reinterpret_cast<const char*>(data + 1 + sizeCount),
                                size - 1 - sizeCount);

  std::vector<std::string_view> pieces;
  for (std::size_t at = 0, next = 0; at < answer.size(); ++next) {
    const std::size_t length = sizeCount == 0 ? 1 : sizes[next % sizeCount] + std::size_t{1};
    pieces.push_back(answer.substr(at, length));
    at += length;
  }

  const std::optional<quellar::test::ReadEnd> whole =
      quellar::test::ReadAnswer({answer}, closes, CheckLimits);
  const std::optional<quellar::test::ReadEnd> inPieces =
      quellar::test::ReadAnswer(pieces, closes, CheckLimits);
  FUZZ_CHECK(whole == inPieces);

  if (whole && whole->succeeded)
    FUZZ_CHECK(whole->text.size() <= answer.size());
  if (whole && !whole->succeeded)
    FUZZ_CHECK(whole->text == "Connection Closed Gracefully." || IsQuotedLine(whole->text, answer));
  return 0;
}
