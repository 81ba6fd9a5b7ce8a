#include "storage/textfile.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace quillvane {

std::int64_t getcode(std::string_view tempm) {
  std::int64_t sum = 0;
  for (std::size_t i = 0; i < tempm.size(); ++i)
    sum += static_cast<unsigned char>(tempm[i]) + static_cast<std::int64_t>(i + 1);
  return sum;
}

void TextWriter::line(std::string_view text) {
  bytes_.append(text);
  bytes_ += "\r\n";
}

void TextWriter::number(std::int64_t value) {
  std::uint64_t magnitude =
      value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
  bytes_ += value < 0 ? '-' : ' ';
  bytes_ += std::to_string(magnitude);
  bytes_ += " \r\n";
}

std::size_t StringSource::read(char* buffer, std::size_t size) {
  const std::size_t count = std::min(size, bytes_.size());
  std::memcpy(buffer, bytes_.data(), count);
  bytes_.remove_prefix(count);
  return count;
}

namespace {
// How much of a file is read at a time.
constexpr std::size_t kPiece = 16384;
}  // namespace

TextReader::TextReader(ByteSource& source) : source_(source), buffer_(kPiece) {}

bool TextReader::fill() {
  if (drained_) return false;
  const std::size_t count = source_.read(buffer_.data(), buffer_.size());
  if (count == 0) {
    drained_ = true;
    return false;
  }
  begin_ = 0;
  end_ = count;
  return true;
}

bool TextReader::at_end() { return begin_ == end_ && !fill(); }

std::optional<std::string> TextReader::line() {
  if (too_long_ || at_end()) return std::nullopt;
  std::string text;
  bool ended = false;
  while (!ended && (begin_ < end_ || fill())) {
    const char* start = buffer_.data() + begin_;
    const auto* newline = static_cast<const char*>(std::memchr(start, '\n', end_ - begin_));
    const std::size_t length = newline ? static_cast<std::size_t>(newline - start) : end_ - begin_;
    // One byte past the limit may still be the CR of the line end.
    if (text.size() + length > kLongestLine + 1) {
      too_long_ = true;
      inside_long_line_ = true;
      return std::nullopt;
    }
    text.append(start, length);
    begin_ += length;
    if (newline) {
      ++begin_;
      ended = true;
    }
  }
  if (!text.empty() && text.back() == '\r') text.pop_back();
  if (text.size() > kLongestLine) {
    too_long_ = true;
    return std::nullopt;
  }
  return text;
}

void TextReader::pass_long_line() {
  while (inside_long_line_ && (begin_ < end_ || fill())) {
    const char* start = buffer_.data() + begin_;
    const auto* newline = static_cast<const char*>(std::memchr(start, '\n', end_ - begin_));
    if (newline) {
      begin_ += static_cast<std::size_t>(newline - start) + 1;
      break;
    }
    begin_ = end_;
  }
  inside_long_line_ = false;
  too_long_ = false;
}

std::optional<std::int64_t> TextReader::number(std::int64_t low, std::int64_t high) {
  auto text = line();
  if (!text) return std::nullopt;
  return parse_number(*text, low, high);
}

std::optional<std::int64_t> parse_number(std::string_view text, std::int64_t low,
                                         std::int64_t high) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && text[i] == '-') {
    negative = true;
    ++i;
  }
  std::size_t digits_start = i;
  std::uint64_t magnitude = 0;
  constexpr std::uint64_t kLimit = std::numeric_limits<std::int64_t>::max();
  while (i < text.size() && text[i] >= '0' && text[i] <= '9') {
    magnitude = magnitude * 10 + static_cast<std::uint64_t>(text[i] - '0');
    if (magnitude > kLimit) return std::nullopt;
    ++i;
  }
  if (i == digits_start) return std::nullopt;
  while (i < text.size() && text[i] == ' ') ++i;
  if (i != text.size()) return std::nullopt;
  std::int64_t value =
      negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
  if (value < low || value > high) return std::nullopt;
  return value;
}

bool is_blank(std::string_view text) {
  return text.find_first_not_of(' ') == std::string_view::npos;
}

}  // namespace quillvane
