#include "platform/item_layout.h"

namespace quillvane::layout {

std::vector<TextLine> item_lines(const ItemView& view) {
  std::vector<TextLine> lines;
  lines.reserve(view.names.size() + 2);
  for (std::size_t index = 0; index < view.names.size(); ++index) {
    const int i = static_cast<int>(index) + 1;
    const std::string& name = view.names[index];
    if (i == view.selected) {
      lines.push_back({kBracketX, kLineStep * i, "[", kGreen});
      lines.push_back({kNameX, kLineStep * i, name + " ]", kGreen});
    }
    const bool in_slot = i == view.slot1 || i == view.slot2;
    lines.push_back({kNameX, kLineStep * i, name, in_slot ? kMagenta : kBlack});
  }
  return lines;
}

std::optional<int> selected_top(const ItemView& view) {
  if (view.selected < 1 || view.selected > static_cast<int>(view.names.size())) return std::nullopt;
  return kLineStep * view.selected;
}

}  // namespace quillvane::layout
