// The log: log.txt, one line appended per message.
#include "storage/files.h"

namespace quillvane {

std::string log_line(std::string_view text) {
  TextWriter line;
  line.line(text);
  return line.bytes();
}

}  // namespace quillvane
