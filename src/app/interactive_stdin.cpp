// Until a window or terminal front-end is built in, an interactive run plays
// a key script read from standard input.
#include <iostream>

#include "app/frontends.h"
#include "platform/headless/headless_platform.h"

namespace quillvane {

int run_interactive(const FrontendOptions& options, Frontend) {
  HeadlessOptions headless{"-", options.data_dir, options.seed, ""};
  return run_headless(headless);
}

}  // namespace quillvane
