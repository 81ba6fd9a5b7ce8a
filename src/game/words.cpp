// The player's language: the game's texts and names as the player hears them.
#include "game/form1.h"
#include "lang/utf8.h"

namespace quillvane {

std::string Form1::tr(std::string_view msgid) const { return std::string(language().text(msgid)); }

std::string Form1::trn(std::string_view singular, std::string_view plural, long n) const {
  return std::string(
      language().plural(singular, plural, n < 0 ? 0UL : static_cast<unsigned long>(n)));
}

std::string Form1::heard(const std::string& name) const {
  if (language().english()) return name;
  const std::string_view found = language().text(lang::kItemContext, name);
  // A name the catalog does not know (a custom item) is said as it stands,
  // in the UTF-8 of the language's lines.
  return found.data() == name.data() ? lang::to_utf8(name) : std::string(found);
}

std::string Form1::heardcollection(const std::string& name) const {
  if (language().english()) return name;
  const std::string_view found = language().text(lang::kCollectionContext, name);
  return found.data() == name.data() ? lang::to_utf8(name) : std::string(found);
}

}  // namespace quillvane
