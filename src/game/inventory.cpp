// The inventory: one entry per copy of an item, in entries 1..itemcount.
#include <algorithm>
#include <cctype>
#include <vector>

#include "game/form1.h"
#include "lang/collate.h"

namespace quillvane {
namespace {

// The inventory's order: names compared without regard to case, character
// by character, a space before any letter and a prefix before the longer
// name. Names that differ only in case keep ordinal order (capitals first),
// so the order is total and copies of one name stand together.
bool sorts_before(const std::string& a, const std::string& b) {
  std::size_t n = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < n; ++i) {
    int ca = std::toupper(static_cast<unsigned char>(a[i]));
    int cb = std::toupper(static_cast<unsigned char>(b[i]));
    if (ca != cb) return ca < cb;
  }
  if (a.size() != b.size()) return a.size() < b.size();
  return a < b;
}

}  // namespace

void Form1::newitem(const std::string& tempm) {
  for (int i = 1; i <= itemcount; ++i) {
    if (items[i].empty()) {
      items[i] = tempm;
      return;
    }
  }
  // The inventory never grows past its last entry.
  if (itemcount >= kLastEntry) return;
  ++itemcount;
  items[itemcount] = tempm;
}

void Form1::deleteitem(int temp) {
  if (temp <= 0 || itemcount <= 0) return;
  // Copied, not moved: the last entry keeps its old name, which a save of
  // a shorter list writes out.
  for (int i = temp + 1; i <= itemcount; ++i) items[i - 1] = items[i];
  --itemcount;
}

int Form1::howmany(const std::string& tempm) const {
  int count = 0;
  for (int i = 1; i <= itemcount; ++i)
    if (items[i] == tempm) ++count;
  return count;
}

void Form1::sortitems() {
  if (language().english()) {
    std::stable_sort(items.begin() + 1, items.begin() + 1 + itemcount, sorts_before);
    return;
  }
  // In another language the list follows the names the player hears, case-
  // and accent-blind for the language; names heard alike keep ordinal order
  // of what is heard, then of the game's own names, so copies stand together.
  struct Entry {
    std::u32string key;
    std::string heard;
    std::string name;
  };
  const int count = std::clamp(itemcount, 0, kLastEntry);
  std::vector<Entry> entries;
  entries.reserve(static_cast<std::size_t>(count));
  for (int i = 1; i <= count; ++i) {
    std::string name = heard(items[i]);
    entries.push_back({lang::sort_key(name, language().code()), std::move(name), items[i]});
  }
  std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
    if (a.key != b.key) return a.key < b.key;
    if (a.heard != b.heard) return a.heard < b.heard;
    return a.name < b.name;
  });
  for (int i = 1; i <= count; ++i)
    items[i] = std::move(entries[static_cast<std::size_t>(i - 1)].name);
}

std::string Form1::selectedname() const {
  return selected >= 1 && selected <= itemcount ? items[selected] : std::string();
}

void Form1::drawitems() {
  // The entries in use, with the selection and the slots; the front-end
  // lays them out.
  const int count = std::clamp(itemcount, 0, kLastEntry);
  if (language().english()) {
    platform_.show_items(
        {std::span<const std::string>(items.data() + 1, count), selected, slot1, slot2});
    return;
  }
  // The names as the player hears them.
  std::vector<std::string> names;
  names.reserve(static_cast<std::size_t>(count));
  for (int i = 1; i <= count; ++i) names.push_back(heard(items[i]));
  platform_.show_items({std::span<const std::string>(names), selected, slot1, slot2});
}

}  // namespace quillvane
