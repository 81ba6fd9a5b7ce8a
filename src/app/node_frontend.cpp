// The WebAssembly build run by node: only the headless runner (--script)
// plays there; it has no window, terminal or voice to play in.
#include <iostream>

#include "app/frontends.h"

namespace quillvane {

void say_before_leaving(const std::string&, const std::string&) {}

int run_interactive(const FrontendOptions&, Frontend) {
  std::cerr << "quillvane: this build plays only from a key script: quillvane --script FILE\n";
  return 2;
}

}  // namespace quillvane
