#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quellar {

// Reads the answer to one GET from the bytes as they arrive, the way this
// client reads HTTP/1.x: empty lines before a status line and interim 100
// answers are skipped, the final header block must be readable, and the body
// ends by its chunks, by its Content-Length or by the close. Only the body of a
// success (2xx without Location) is kept; any other body is counted and dropped.
class HttpAnswerReader {
 public:
  enum class Progress {
    Reading,     // more bytes are wanted
    Complete,    // the whole answer has arrived
    CutShort,    // closed inside a body of announced length
    EndedEarly,  // closed before the header block or the chunked body ended
    Unreadable,  // no readable status line or header block: the status line is all there is
    BrokenBody,  // the chunked body breaks its own framing
  };

  // Takes the next bytes from the connection.
  Progress Feed(std::string_view bytes);
  // The peer closed the connection.
  Progress Close();

  bool sawAnyByte() const { return sawAnyByte_; }
  // The first line of the final answer as received, without its line end; for
  // an answer cut inside that line, what arrived of it.
  const std::string& statusLine() const { return statusLine_; }
  bool finalHeadersRead() const;
  // A 2xx answer without Location whose header block has arrived.
  bool succeeded() const;
  // The answer left the connection fit for the next request: framed, without
  // "close", and with nothing after its end.
  bool keepAlive() const;
  std::string TakeBody() { return std::move(body_); }

  // What the reader holds besides the body, which its limits bound: the head
  // (status line, header lines, and an unfinished line of them or of the
  // trailers), and an unfinished chunk-size line.
  struct Held {
    std::size_t head = 0;
    std::size_t chunkLine = 0;
  };
  Held held() const;

 private:
  enum class Phase {
    StatusLine,
    Headers,
    Body,
    UntilClose,
    ChunkSize,
    ChunkData,
    ChunkEnd,
    Trailers,
    Done
  };
  bool InChunkLine() const;
  Progress TakeLine(std::string_view& bytes);
  Progress OnStatusLine(std::string_view line);
  Progress OnHeaderLine(std::string_view line);
  Progress OnHeadersEnd();
  Progress OnChunkSizeLine(std::string_view line);
  void TakeBodyBytes(std::string_view& bytes, std::uint64_t most);

  Phase phase_ = Phase::StatusLine;
  bool sawAnyByte_ = false;
  std::string line_;
  std::size_t headerBytes_ = 0;
  std::string statusLine_;
  int status_ = 0;
  bool http10_ = false;
  std::vector<std::string> fieldLines_;
  bool location_ = false;
  bool keepAlive_ = false;
  bool excess_ = false;
  std::uint64_t remaining_ = 0;
  std::string body_;
};

// What an answer came to once the reader wanted no more bytes.
struct AnswerOutcome {
  bool succeeded = false;       // the body is the result; the reader holds it
  std::string failure;          // otherwise the client's message
  bool keepConnection = false;  // the connection may carry the next request
};

// What the answer read so far comes to, given what the reader's last Feed or
// Close returned; nothing while it wants more bytes. A failure's message is the
// status line as received, up to a NUL byte, or "Connection Closed Gracefully."
// when the connection ended before the header block or inside a chunked body,
// when a success's chunks broke their framing, or when the first line shows
// nothing before a NUL byte.
std::optional<AnswerOutcome> Conclude(const HttpAnswerReader& reader,
                                      HttpAnswerReader::Progress progress);

}  // namespace quellar
