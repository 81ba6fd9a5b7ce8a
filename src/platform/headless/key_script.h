// Key scripts for the headless runner: one key press per line,
//   [@SECONDS ][MODIFIER+]...KEY
// read lazily so that a run reports a bad line only when it reaches it.
#pragma once

#include <istream>
#include <optional>
#include <string>

namespace quillvane {

struct ScriptKey {
  bool timed = false;      // has an @SECONDS prefix
  double at = 0;           // virtual seconds since start-up
  int keycode = 0;         // Windows virtual-key code; 0 for a typed character
  char32_t character = 0;  // a letter beyond A to Z ("ñ"), typed as itself
  int shift = 0;           // 1 Shift, 2 Ctrl, 4 Alt
  std::string name;        // the line without its @ prefix, modifiers as Shift, Ctrl, Alt
  int line = 0;            // line number in the script
  std::string error;       // why the line is unusable; empty for a good key
};

// A script line that cannot be understood.
struct ScriptError {
  int line;
  std::string message;
};

// The key code of a key name of the script ("Enter", "A", "Num5", "VK13"), or 0.
int script_key_code(const std::string& name);

// The character of a key name that is one character beyond ASCII, written
// in UTF-8 ("ñ", "ß", "Ä"): such a key types that letter and has no key
// code of its own. 0 for any other name.
char32_t script_key_character(const std::string& name);

// Parses one line. Returns nullopt for a blank or comment line; throws
// ScriptError for a line that is neither.
std::optional<ScriptKey> parse_script_line(const std::string& text, int line_number);

class KeyScript {
 public:
  explicit KeyScript(std::istream& in) : in_(in) {}
  // The next key, or nullptr when the script has no more. An unusable line
  // comes back as an untimed key with its error set, so that the run stops
  // there only once every key before it has been played.
  const ScriptKey* peek();
  void pop() { next_.reset(); }

 private:
  std::istream& in_;
  std::optional<ScriptKey> next_;
  int line_number_ = 0;
  bool ended_ = false;
};

}  // namespace quillvane
