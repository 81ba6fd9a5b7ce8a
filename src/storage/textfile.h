// The text format every file of the game shares: single-byte text, CR LF
// after every line (the last one too), a number written as a space or "-",
// its digits and one space. Files are read a line at a time from a source
// of bytes, keeping only the line being read: a reader takes the lines it
// needs and never looks at what follows them.
#pragma once

#include <cstddef>
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

// The longest line a reader takes, without its line end: far more than any
// line the game writes (an item name, a number). A longer line is never
// read whole.
inline constexpr std::size_t kLongestLine = 4096;

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

// Where a reader's bytes come from: a file piece by piece, or bytes in memory.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Up to size bytes into buffer: how many, 0 once there are no more.
  virtual std::size_t read(char* buffer, std::size_t size) = 0;
};

// Bytes in memory, which must outlive the source.
class StringSource : public ByteSource {
 public:
  explicit StringSource(std::string_view bytes) : bytes_(bytes) {}
  std::size_t read(char* buffer, std::size_t size) override;

 private:
  std::string_view bytes_;
};

// Reads a file's lines in order. A line ends at LF, a CR before it dropped;
// the last line may lack its line end.
class TextReader {
 public:
  explicit TextReader(ByteSource& source);
  // The next whole line, without its line end; nullopt past the end, and
  // for a line longer than kLongestLine (too_long() then says so).
  std::optional<std::string> line();
  // The next line as a whole number within [low, high], spaces around it
  // ignored; nullopt when it is missing, too long, not a number or out of
  // range.
  std::optional<std::int64_t> number(std::int64_t low, std::int64_t high);
  // Whether the line just refused was longer than kLongestLine. Nothing
  // more is read until pass_long_line().
  bool too_long() const { return too_long_; }
  // Goes past the rest of the over-long line without keeping it, so that
  // the next line can be read.
  void pass_long_line();
  // True when no byte is left (a line, even an empty one, begins otherwise).
  bool at_end();

 private:
  bool fill();
  ByteSource& source_;
  std::vector<char> buffer_;
  std::size_t begin_ = 0;  // the unread bytes of the buffer: [begin_, end_)
  std::size_t end_ = 0;
  bool drained_ = false;  // the source has no more bytes
  bool too_long_ = false;
  bool inside_long_line_ = false;  // the over-long line's end is still ahead
};

// Parses " 12 ", "-1 ", "7": optional spaces, an optional "-", digits,
// optional spaces. nullopt for anything else or a value outside [low, high].
std::optional<std::int64_t> parse_number(std::string_view text, std::int64_t low,
                                         std::int64_t high);

// Whether a line is empty or spaces only: where a number may be left out,
// such a line stands for none.
bool is_blank(std::string_view text);

}  // namespace quillvane
