// The item list as every window lays it out: the selection between green
// brackets, the entries in a slot in magenta, the rest in black, 15 units
// apart.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/item_layout.h"

namespace quillvane::layout {
namespace {

TEST(ItemLayout, SelectedInASlotBothAndNeither) {
  const std::vector<std::string> names{"Dirt", "Mud", "Rock", "Water"};
  // Dirt is selected and in slot 1, Mud only selected-free, Rock in slot 2,
  // Water selected elsewhere in another case.
  const std::vector<TextLine> both = item_lines({names, 1, 1, 3});
  EXPECT_EQ(both, (std::vector<TextLine>{
                      {10, 15, "[", kGreen},
                      {20, 15, "Dirt ]", kGreen},
                      {20, 15, "Dirt", kMagenta},
                      {20, 30, "Mud", kBlack},
                      {20, 45, "Rock", kMagenta},
                      {20, 60, "Water", kBlack},
                  }));
  const std::vector<TextLine> selected_only = item_lines({names, 4, 0, 0});
  EXPECT_EQ(selected_only.size(), 6u);
  EXPECT_EQ(selected_only[3], (TextLine{10, 60, "[", kGreen}));
  EXPECT_EQ(selected_only[4], (TextLine{20, 60, "Water ]", kGreen}));
  EXPECT_EQ(selected_only[5], (TextLine{20, 60, "Water", kBlack}));
  EXPECT_EQ(selected_top({names, 4, 0, 0}), 60);
  // No selection (an empty inventory, or a cursor past the list): names only.
  EXPECT_EQ(item_lines({names, 0, 2, 0}).size(), 4u);
  EXPECT_EQ(item_lines({names, 0, 2, 0})[1], (TextLine{20, 30, "Mud", kMagenta}));
  EXPECT_FALSE(selected_top({names, 9, 0, 0}).has_value());
  EXPECT_TRUE(item_lines({{}, 1, 1, 2}).empty());
}

}  // namespace
}  // namespace quillvane::layout
