#include "standin/http_exchange.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace quellar::standin {
namespace {

constexpr std::string_view kRosterPath = "/xml.php";

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
    text.remove_suffix(1);
  return text;
}

bool IsHeaderNameChar(char c) {
  const auto u = static_cast<unsigned char>(c);
  return u > 0x20 && u < 0x7F && c != ':' && c != '(' && c != ')' && c != ',' && c != ';' &&
         c != '"' && c != '/' && c != '[' && c != ']' && c != '?' && c != '=' && c != '{' &&
         c != '}' && c != '\\' && c != '<' && c != '>' && c != '@';
}

// The end of the head (just past its empty line), or npos when it has not arrived.
std::size_t HeadEnd(std::string_view buffer) {
  for (auto lf = buffer.find('\n'); lf != std::string_view::npos; lf = buffer.find('\n', lf + 1)) {
    if (lf + 1 < buffer.size() && buffer[lf + 1] == '\n')
      return lf + 2;
    if (lf + 2 < buffer.size() && buffer[lf + 1] == '\r' && buffer[lf + 2] == '\n')
      return lf + 3;
  }
  return std::string_view::npos;
}

std::optional<std::size_t> ParseContentLength(std::string_view value) {
  if (value.empty() || value.size() > 12)
    return std::nullopt;
  std::size_t length = 0;
  for (char c : value) {
    if (c < '0' || c > '9')
      return std::nullopt;
    length = length * 10 + static_cast<std::size_t>(c - '0');
  }
  return length;
}

struct ConnectionTokens {
  bool close = false;
  bool keepAlive = false;
};

void AddConnectionTokens(std::string_view value, ConnectionTokens& tokens) {
  while (true) {
    const auto comma = value.find(',');
    const std::string_view token = TrimBlanks(value.substr(0, comma));
    if (EqualsNoCase(token, "close"))
      tokens.close = true;
    else if (EqualsNoCase(token, "keep-alive"))
      tokens.keepAlive = true;
    if (comma == std::string_view::npos)
      return;
    value.remove_prefix(comma + 1);
  }
}

std::string RequestLineText(const RequestLine& line) {
  return line.method + " " + line.target + " " + line.version;
}

HttpReply MakeReply(int status, std::string_view reason, std::string_view contentType,
                    std::string_view body, bool keepAlive, bool withBody,
                    std::string_view extraHeaders = {}) {
  HttpReply reply;
  reply.status = status;
  reply.close = !keepAlive;
  std::string& out = reply.bytes;
  out += "HTTP/1.1 " + std::to_string(status) + " ";
  out += reason;
  out += "\r\nServer: quellar-standin\r\nContent-Type: ";
  out += contentType;
  out += "\r\nContent-Length: " + std::to_string(body.size()) + "\r\n";
  out += extraHeaders;
  out += keepAlive ? "Connection: keep-alive\r\n" : "Connection: close\r\n";
  out += "\r\n";
  if (withBody)
    out += body;
  return reply;
}

}  // namespace

void RequestReader::Feed(std::string_view bytes) {
  if (!bad_)
    buffer_.append(bytes);
}

RequestReader::Status RequestReader::Fail() {
  bad_ = true;
  buffer_.clear();
  return Status::kBad;
}

RequestReader::Status RequestReader::Next(HttpRequest& request) {
  if (bad_)
    return Status::kBad;
  if (bodyToSkip_ > 0) {
    const std::size_t skipped = std::min(bodyToSkip_, buffer_.size());
    buffer_.erase(0, skipped);
    bodyToSkip_ -= skipped;
    if (bodyToSkip_ > 0)
      return Status::kNeedMore;
  }
  // Empty lines before a request line are skipped.
  while (buffer_.starts_with('\n') || buffer_.starts_with("\r\n"))
    buffer_.erase(0, buffer_.front() == '\n' ? 1 : 2);

  const std::size_t headEnd = HeadEnd(buffer_);
  if (headEnd == std::string_view::npos)
    return buffer_.size() > kMaxHeadSize ? Fail() : Status::kNeedMore;
  if (headEnd > kMaxHeadSize)
    return Fail();

  std::string_view head(buffer_.data(), headEnd);
  std::optional<RequestLine> line;
  ConnectionTokens connection;
  std::optional<std::size_t> contentLength;
  bool firstLine = true;
  while (!head.empty()) {
    const auto lf = head.find('\n');
    std::string_view text = head.substr(0, lf);
    head.remove_prefix(lf + 1);
    if (text.ends_with('\r'))
      text.remove_suffix(1);
    if (text.find('\r') != std::string_view::npos)
      return Fail();
    if (firstLine) {
      firstLine = false;
      line = ParseRequestLine(text);
      if (!line)
        return Fail();
      continue;
    }
    if (text.empty())
      break;
    const auto colon = text.find(':');
    if (colon == 0 || colon == std::string_view::npos)
      return Fail();
    const std::string_view name = text.substr(0, colon);
    if (!std::all_of(name.begin(), name.end(), IsHeaderNameChar))
      return Fail();
    const std::string_view value = TrimBlanks(text.substr(colon + 1));
    if (EqualsNoCase(name, "Connection")) {
      AddConnectionTokens(value, connection);
    } else if (EqualsNoCase(name, "Content-Length")) {
      const auto length = ParseContentLength(value);
      if (!length || (contentLength && *contentLength != *length))
        return Fail();
      contentLength = length;
    } else if (EqualsNoCase(name, "Transfer-Encoding")) {
      return Fail();  // a GET has no body worth decoding
    }
  }

  buffer_.erase(0, headEnd);
  bodyToSkip_ = contentLength.value_or(0);
  const bool http11 =
      line->version[5] > '1' || (line->version[5] == '1' && line->version[7] >= '1');
  request.keepAlive = !connection.close && (http11 || connection.keepAlive);
  request.line = std::move(*line);
  return Status::kRequest;
}

HttpReply Respond(RosterSample& sample, const HttpRequest& request) {
  const std::string& method = request.line.method;
  const bool head = method == "HEAD";
  if (method != "GET" && !head) {
    return MakeReply(405, "Method Not Allowed", "text/plain", "Method Not Allowed\r\n",
                     request.keepAlive, true, "Allow: GET, HEAD\r\n");
  }
  const std::optional<Target> target = SplitTarget(request.line.target);
  if (!target)
    return MakeReply(400, "Bad Request", "text/plain", "Bad Request\r\n", false, !head);
  if (target->path != kRosterPath)
    return MakeReply(404, "Not Found", "text/plain", "Not Found\r\n", request.keepAlive, !head);
  const std::string body = sample.Answer(ParseRosterQuery(target->query));
  return MakeReply(200, "OK", "text/plain; charset=windows-1251", body, request.keepAlive, !head);
}

HttpReply BadRequest() {
  return MakeReply(400, "Bad Request", "text/plain", "Bad Request\r\n", false, true);
}

Exchange::Exchange(RosterSample& sample, Observer observer)
    : sample_(sample), observer_(std::move(observer)) {}

std::string Exchange::Receive(std::string_view bytes) {
  std::string out;
  if (closing_)
    return out;
  reader_.Feed(bytes);
  while (!closing_) {
    HttpRequest request;
    const RequestReader::Status status = reader_.Next(request);
    if (status == RequestReader::Status::kNeedMore)
      break;
    const HttpReply reply =
        status == RequestReader::Status::kBad ? BadRequest() : Respond(sample_, request);
    if (observer_) {
      observer_(
          status == RequestReader::Status::kBad ? std::string() : RequestLineText(request.line),
          reply.status);
    }
    out += reply.bytes;
    closing_ = reply.close;
  }
  return out;
}

}  // namespace quellar::standin
