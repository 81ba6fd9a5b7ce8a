// The four help pages, each spoken whole. Two spaces follow every sentence
// but the last; no page holds a line break.
#include "content/content.h"
#include "lang/format.h"

namespace quillvane::content {

// Each page is one message for the translators.
// clang-format off
constexpr std::array<std::string_view, 4> kHelpPages{
    // Introduction
    N_("Quillvane is a puzzle game of discovery and efficiency.  "
       "You are armed with 36 items, and you match pairs of them together to create something new.  "
       "You begin with no knowledge of what you can create or how to create it; you discover the "
       "combinations that work through experimentation, intuition and research.  "
       "Every item you discover shows up in the achievements list, together with the number of turns "
       "it took you to create it.  "
       "As you learn more recipes, you will find ways to create items faster."),

    // How to play
    N_("Pressing a letter on the keyboard will jump you to the first item you have which begins with "
       "that letter.  "
       "Home says the last line again, Page Up and Page Down step back and forward through the last "
       "100 lines, End tells you where you are, Control stops the voice, and F12 sets the volume of "
       "the sounds.  "
       "In a terminal, where Shift and Enter or Shift and Backspace may not get through, Control and "
       "J combines and Control and H undoes, as do Alt and Enter and Alt and Backspace.  "
       "Pressing the letter again while you are on an item with that letter jumps to the next one.  "
       "The arrow keys also move through your items.  "
       "Press Enter to choose the selected item, once for each of the two item slots.  "
       "Delete cancels your choice and clears the slots, and Shift and Enter combines the two items "
       "in them.  "
       "You will be told when the items cannot form anything; otherwise the old items are "
       "transformed into the new ones.  "
       "The order of the items in the two slots does not matter.  "
       "The total number of your items never goes up or down, since every recipe takes two items in "
       "and gives two items out.  "
       "Some recipes need the same type of item in both slots.  "
       "A combination that unlocked nothing new can be undone with Shift and Backspace."),

    // Helpful keys
    N_("Pressing 1 will say how many steps you have taken since starting from the beginning.  "
       "To beat a previous record, start a new game so that your steps return to zero.  "
       "Pressing 2 lists all the recipes you have discovered.  "
       "Pressing 3 lists only the recipes you can do with the items in hand, and while that list is "
       "open, Enter fills the crafting slots with the ingredients of the selected recipe.  "
       "Pressing 4 lists the known recipes that need the selected item as an ingredient.  "
       "Pressing 5 lists the known recipes that produce the selected item.  "
       "Tab cycles between the screen readers.  "
       "Plus and minus adjust the speech rate of the Sapi voice."),

    // Achievements
    N_("Looking through the achevements menu will quickly reveal that there are many, many items to "
       "unlock in Quillvane.  "
       "The collection names hint at what sorts of items to try to create, though considering the "
       "items you have on hand is often more successful.  "
       "You are encouraged to share online the items you have discovered, as something for others to "
       "strive for.  "
       "There are hundreds of recipes and items, kept hidden so that discovering them feels like an "
       "accomplishment.  "
       "Please do not share the recipes themselves in public, since that may spoil the fun of players "
       "who do not want to be told."),
};
// clang-format on

}  // namespace quillvane::content
