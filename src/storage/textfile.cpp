#include "storage/textfile.h"

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

TextReader::TextReader(const std::string& bytes) {
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    std::size_t stop = end == std::string::npos ? bytes.size() : end;
    std::size_t length = stop - start;
    if (length > 0 && bytes[stop - 1] == '\r') --length;
    lines_.emplace_back(bytes, start, length);
    if (end == std::string::npos) break;
    start = end + 1;
  }
}

std::optional<std::string> TextReader::line() {
  if (at_end()) return std::nullopt;
  return lines_[next_++];
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

}  // namespace quillvane
