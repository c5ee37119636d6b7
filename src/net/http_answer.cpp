#include "net/http_answer.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "common/ascii.h"
#include "net/socket_error.h"

namespace quellar {
namespace {

// No honest answer needs more for its status line and headers; a server that
// sends more is not read further.
constexpr std::size_t kMaxHeaderBytes = std::size_t{100} << 10;
constexpr std::size_t kMaxChunkSizeLine = 4096;
// Sizes and lengths stay well inside 64 bits; no body that large fits in memory.
constexpr std::size_t kMaxChunkSizeDigits = 15;
constexpr std::size_t kMaxLengthDigits = 18;

// The most room a Content-Length makes the body take before it arrives. Beyond
// it the body grows as it comes, so a length that lies costs no more than this
// much address space.
constexpr std::size_t kMaxBodyReserve = std::size_t{256} << 20;

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

// A byte that may appear in a header name.
bool IsTokenByte(char c) {
  if (IsAsciiDigit(c) || IsAsciiLetter(c))
    return true;
  return std::string_view("!#$%&'*+-.^_`|~").find(c) != std::string_view::npos;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return AsciiLower(x) == AsciiLower(y);
         });
}

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && IsBlank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back()))
    text.remove_suffix(1);
  return text;
}

// Calls take with each trimmed element of a comma-separated list, empty ones
// included; stops and gives false as soon as take does.
template <typename Take>
bool EachListElement(std::string_view list, Take take) {
  for (;;) {
    const auto comma = list.find(',');
    if (!take(Trimmed(list.substr(0, comma))))
      return false;
    if (comma == std::string_view::npos)
      return true;
    list.remove_prefix(comma + 1);
  }
}

// "HTTP/1.", a digit, blanks, three digits, then a blank or the end.
bool ReadStatusLine(std::string_view line, int& status, bool& http10) {
  constexpr std::string_view kProtocol = "HTTP/1.";
  if (!line.starts_with(kProtocol) || line.size() < kProtocol.size() + 2 ||
      !IsAsciiDigit(line[kProtocol.size()]) || !IsBlank(line[kProtocol.size() + 1]))
    return false;
  http10 = line[kProtocol.size()] == '0';
  std::size_t at = kProtocol.size() + 1;
  while (at < line.size() && IsBlank(line[at]))
    ++at;
  if (line.size() - at < 3 || !IsAsciiDigit(line[at]) || !IsAsciiDigit(line[at + 1]) ||
      !IsAsciiDigit(line[at + 2]))
    return false;
  if (line.size() > at + 3 && !IsBlank(line[at + 3]))
    return false;
  status = (line[at] - '0') * 100 + (line[at + 1] - '0') * 10 + (line[at + 2] - '0');
  return status >= 100;
}

// A line that holds nothing a status line could be made of.
bool IsBlankLine(std::string_view line) {
  return std::all_of(line.begin(), line.end(), [](char c) { return IsBlank(c) || c == '\r'; });
}

// The status line as the error box can show it: up to a NUL byte, which would
// end the text there anyway. A line with nothing visible before that is no
// status line the user could read; the connection is reported as closed.
std::string StatusLineMessage(const std::string& statusLine) {
  std::string message = statusLine.substr(0, statusLine.find('\0'));
  if (message.find_first_not_of(" \t\r") == std::string::npos)
    return std::string(kClosedGracefullyMessage);
  return message;
}

AnswerOutcome Failure(std::string message) {
  return {false, std::move(message), false};
}

}  // namespace

std::optional<AnswerOutcome> Conclude(const HttpAnswerReader& reader,
                                      HttpAnswerReader::Progress progress) {
  using Progress = HttpAnswerReader::Progress;
  const bool failing = reader.finalHeadersRead() && !reader.succeeded();
  switch (progress) {
    case Progress::Reading:
      break;
    case Progress::Complete:
      if (reader.succeeded())
        return AnswerOutcome{true, {}, reader.keepAlive()};
      return AnswerOutcome{false, reader.statusLine(), reader.keepAlive()};
    case Progress::CutShort:
      // A body of announced length is the result as far as it arrived.
      if (reader.succeeded())
        return AnswerOutcome{true, {}, false};
      return Failure(reader.statusLine());
    case Progress::EndedEarly:
      return Failure(failing ? reader.statusLine() : std::string(kClosedGracefullyMessage));
    case Progress::Unreadable:
      return Failure(StatusLineMessage(reader.statusLine()));
    case Progress::BrokenBody:
      // A success whose chunks cannot be followed is given up like a lost
      // connection; a failing answer still fails with its status line.
      return Failure(reader.succeeded() ? std::string(kClosedGracefullyMessage)
                                        : reader.statusLine());
  }
  return std::nullopt;
}

bool HttpAnswerReader::finalHeadersRead() const {
  return phase_ != Phase::StatusLine && phase_ != Phase::Headers;
}

bool HttpAnswerReader::succeeded() const {
  return finalHeadersRead() && status_ >= 200 && status_ <= 299 && !location_;
}

bool HttpAnswerReader::keepAlive() const {
  return phase_ == Phase::Done && keepAlive_ && !excess_;
}

bool HttpAnswerReader::InChunkLine() const {
  return phase_ == Phase::ChunkSize || phase_ == Phase::ChunkEnd;
}

HttpAnswerReader::Held HttpAnswerReader::held() const {
  Held held;
  held.head = statusLine_.size();
  for (const std::string& field : fieldLines_)
    held.head += field.size();
  (InChunkLine() ? held.chunkLine : held.head) += line_.size();
  return held;
}

HttpAnswerReader::Progress HttpAnswerReader::Feed(std::string_view bytes) {
  if (!bytes.empty())
    sawAnyByte_ = true;
  while (!bytes.empty()) {
    Progress progress = Progress::Reading;
    switch (phase_) {
      case Phase::StatusLine:
      case Phase::Headers:
      case Phase::ChunkSize:
      case Phase::ChunkEnd:
      case Phase::Trailers:
        progress = TakeLine(bytes);
        break;
      case Phase::Body:
        TakeBodyBytes(bytes, remaining_);
        if (remaining_ == 0)
          phase_ = Phase::Done;
        break;
      case Phase::UntilClose:
        TakeBodyBytes(bytes, bytes.size());
        break;
      case Phase::ChunkData:
        TakeBodyBytes(bytes, remaining_);
        if (remaining_ == 0)
          phase_ = Phase::ChunkEnd;
        break;
      case Phase::Done:
        // Whatever follows the answer's end belongs to no request of ours.
        excess_ = true;
        bytes = {};
        break;
    }
    if (progress != Progress::Reading)
      return progress;
  }
  return phase_ == Phase::Done ? Progress::Complete : Progress::Reading;
}

HttpAnswerReader::Progress HttpAnswerReader::Close() {
  keepAlive_ = false;
  switch (phase_) {
    case Phase::UntilClose:
    case Phase::Done:
      phase_ = Phase::Done;
      return Progress::Complete;
    case Phase::Trailers:
      // The last chunk has arrived, so the body is whole; only trailers were cut.
      phase_ = Phase::Done;
      return Progress::Complete;
    case Phase::Body:
      return Progress::CutShort;
    default:
      return Progress::EndedEarly;
  }
}

void HttpAnswerReader::TakeBodyBytes(std::string_view& bytes, std::uint64_t most) {
  const auto taken = static_cast<std::size_t>(std::min<std::uint64_t>(most, bytes.size()));
  if (succeeded())
    body_.append(bytes.substr(0, taken));
  bytes.remove_prefix(taken);
  if (phase_ != Phase::UntilClose)
    remaining_ -= taken;
}

HttpAnswerReader::Progress HttpAnswerReader::TakeLine(std::string_view& bytes) {
  // A line is taken only as far as its limit leaves room, and one whose end
  // lies beyond that is not read further, so the reader never holds more and
  // comes to the same end however the bytes arrive.
  const bool chunkLine = InChunkLine();
  const std::size_t room =
      chunkLine ? kMaxChunkSizeLine - line_.size() : kMaxHeaderBytes - headerBytes_;
  const auto lineFeed = bytes.substr(0, room).find('\n');
  const bool overLimit = lineFeed == std::string_view::npos && bytes.size() > room;
  const std::size_t taken =
      lineFeed == std::string_view::npos ? std::min(bytes.size(), room) : lineFeed + 1;
  line_.append(bytes.substr(0, taken));
  bytes.remove_prefix(taken);
  if (!chunkLine)
    headerBytes_ += taken;
  if (overLimit) {
    if (phase_ == Phase::StatusLine) {
      statusLine_ = std::move(line_);
      line_.clear();
    }
    return finalHeadersRead() ? Progress::BrokenBody : Progress::Unreadable;
  }
  if (lineFeed == std::string_view::npos)
    return Progress::Reading;

  std::string line = std::move(line_);
  line_.clear();
  line.pop_back();
  if (!line.empty() && line.back() == '\r')
    line.pop_back();
  switch (phase_) {
    case Phase::StatusLine:
      return OnStatusLine(line);
    case Phase::Headers:
      return OnHeaderLine(line);
    case Phase::ChunkSize:
      return OnChunkSizeLine(line);
    case Phase::ChunkEnd:
      if (!line.empty())
        return Progress::BrokenBody;
      phase_ = Phase::ChunkSize;
      return Progress::Reading;
    case Phase::Trailers:
      // Trailers are not read: the answer was decided by its header block.
      if (line.empty())
        phase_ = Phase::Done;
      return Progress::Reading;
    default:
      return Progress::Reading;
  }
}

HttpAnswerReader::Progress HttpAnswerReader::OnStatusLine(std::string_view line) {
  if (IsBlankLine(line))
    return Progress::Reading;
  statusLine_ = line;
  fieldLines_.clear();
  if (line.find('\0') != std::string_view::npos || !ReadStatusLine(line, status_, http10_))
    return Progress::Unreadable;
  phase_ = Phase::Headers;
  return Progress::Reading;
}

HttpAnswerReader::Progress HttpAnswerReader::OnHeaderLine(std::string_view line) {
  if (line.empty())
    return OnHeadersEnd();
  if (line.find('\0') != std::string_view::npos)
    return Progress::Unreadable;
  if (IsBlank(line.front())) {
    // A folded line continues the header before it.
    if (fieldLines_.empty())
      return Progress::Unreadable;
    fieldLines_.back() += ' ';
    fieldLines_.back() += Trimmed(line);
    return Progress::Reading;
  }
  const auto colon = line.find(':');
  if (colon == 0 || colon == std::string_view::npos ||
      !std::all_of(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(colon), IsTokenByte))
    return Progress::Unreadable;
  fieldLines_.emplace_back(line);
  return Progress::Reading;
}

HttpAnswerReader::Progress HttpAnswerReader::OnHeadersEnd() {
  if (status_ == 100) {
    phase_ = Phase::StatusLine;
    return Progress::Reading;
  }
  // Any other interim answer says the connection now speaks something else.
  if (status_ < 200)
    return Progress::Unreadable;

  bool hasLength = false;
  std::uint64_t length = 0;
  bool hasCoding = false;
  bool chunked = false;
  bool close = false;
  bool keepAliveToken = false;
  for (const std::string& field : fieldLines_) {
    const std::string_view text(field);
    const auto colon = text.find(':');
    const std::string_view name = text.substr(0, colon);
    const std::string_view value = Trimmed(text.substr(colon + 1));
    if (EqualsNoCase(name, "Location")) {
      location_ = true;
    } else if (EqualsNoCase(name, "Content-Length")) {
      // Every length given must be the same number, or the body's end is unknown.
      const bool readable = EachListElement(value, [&](std::string_view digits) {
        if (digits.empty() || digits.size() > kMaxLengthDigits ||
            !std::all_of(digits.begin(), digits.end(), IsAsciiDigit))
          return false;
        std::uint64_t number = 0;
        for (char c : digits)
          number = number * 10 + static_cast<std::uint64_t>(c - '0');
        if (hasLength && number != length)
          return false;
        hasLength = true;
        length = number;
        return true;
      });
      if (!readable)
        return Progress::Unreadable;
    } else if (EqualsNoCase(name, "Transfer-Encoding")) {
      // Only chunked is understood, and the client asked for nothing else.
      const bool readable = EachListElement(value, [&](std::string_view coding) {
        if (hasCoding || !EqualsNoCase(coding, "chunked"))
          return false;
        hasCoding = chunked = true;
        return true;
      });
      if (!readable)
        return Progress::Unreadable;
    } else if (EqualsNoCase(name, "Connection")) {
      EachListElement(value, [&](std::string_view token) {
        close = close || EqualsNoCase(token, "close");
        keepAliveToken = keepAliveToken || EqualsNoCase(token, "keep-alive");
        return true;
      });
    }
  }
  fieldLines_.clear();

  keepAlive_ = !close && (!http10_ || keepAliveToken) && !(chunked && hasLength);
  if (succeeded() && hasLength && !chunked)
    body_.reserve(static_cast<std::size_t>(std::min<std::uint64_t>(length, kMaxBodyReserve)));
  if (status_ == 204 || status_ == 304) {
    phase_ = Phase::Done;
  } else if (chunked) {
    phase_ = Phase::ChunkSize;
  } else if (hasLength) {
    remaining_ = length;
    phase_ = length == 0 ? Phase::Done : Phase::Body;
  } else {
    keepAlive_ = false;
    phase_ = Phase::UntilClose;
  }
  // Feed goes on with the bytes after the block, so that any there count as excess.
  return Progress::Reading;
}

HttpAnswerReader::Progress HttpAnswerReader::OnChunkSizeLine(std::string_view line) {
  std::size_t digits = 0;
  std::uint64_t size = 0;
  while (digits < line.size() && HexDigitValue(line[digits]) >= 0) {
    size = size * 16 + static_cast<std::uint64_t>(HexDigitValue(line[digits]));
    ++digits;
  }
  if (digits == 0 || digits > kMaxChunkSizeDigits)
    return Progress::BrokenBody;
  const std::string_view rest = Trimmed(line.substr(digits));
  if (!rest.empty() && rest.front() != ';')
    return Progress::BrokenBody;
  remaining_ = size;
  phase_ = size == 0 ? Phase::Trailers : Phase::ChunkData;
  return Progress::Reading;
}

}  // namespace quellar
