// The log: every line appended to log.txt, the file opened and closed per line.
#include "game/form1.h"

namespace quillvane {

void Form1::logit(const std::string& tempm) {
  // The game does not depend on its log: a failed write is ignored.
  platform_.append_file(datapath("log.txt"), tempm + "\r\n");
}

}  // namespace quillvane
