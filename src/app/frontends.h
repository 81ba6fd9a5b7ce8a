// The interactive front-ends and how the program picks one.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "quillvane/version.h"

namespace quillvane {

struct FrontendOptions {
  std::string data_dir;
  std::optional<std::uint32_t> seed;
};

enum class Frontend { automatic, window, terminal };

// Runs the game in a window or the terminal; returns the exit status.
int run_interactive(const FrontendOptions& options, Frontend choice);

}  // namespace quillvane
