// The text format every file of the game shares: single-byte text, CR LF
// after every line (the last one too), a number written as a space or "-",
// its digits and one space. Readers are strict: a missing line, or a
// non-number where a number belongs, makes the whole file damaged.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quillvane {

// The ranges a number line may hold: a field of the game fits 32 bits, a
// checksum 64.
inline constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
inline constexpr std::int64_t kInt32Max = std::numeric_limits<std::int32_t>::max();
inline constexpr std::int64_t kInt64Min = std::numeric_limits<std::int64_t>::min();
inline constexpr std::int64_t kInt64Max = std::numeric_limits<std::int64_t>::max();

// The string checksum of the progress and achievements files: the sum over
// every character position i (from 1) of the character's code plus i.
std::int64_t getcode(std::string_view tempm);

// Builds a file's bytes line by line.
class TextWriter {
 public:
  void line(std::string_view text);
  void number(std::int64_t value);
  const std::string& bytes() const { return bytes_; }

 private:
  std::string bytes_;
};

// Reads a file's lines in order.
class TextReader {
 public:
  explicit TextReader(const std::string& bytes);
  std::size_t line_count() const { return lines_.size(); }
  bool at_end() const { return next_ >= lines_.size(); }
  // The next whole line, without its line end; nullopt past the end.
  std::optional<std::string> line();
  // The next line as a whole number within [low, high], spaces around it
  // ignored; nullopt when it is missing, not a number or out of range.
  std::optional<std::int64_t> number(std::int64_t low, std::int64_t high);

 private:
  std::vector<std::string> lines_;
  std::size_t next_ = 0;
};

// Parses " 12 ", "-1 ", "7": optional spaces, an optional "-", digits,
// optional spaces. nullopt for anything else or a value outside [low, high].
std::optional<std::int64_t> parse_number(std::string_view text, std::int64_t low,
                                         std::int64_t high);

}  // namespace quillvane
