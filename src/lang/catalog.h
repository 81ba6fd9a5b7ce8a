// A language's messages: the translations of one compiled gettext catalog
// (a .mo file), or none at all for English, the game's own language, whose
// texts are the messages' ids as the code writes them.
//
// Every look-up returns the English text itself when the catalog has no
// translation for it, so a catalog that lacks a message shows the English
// line rather than nothing. Item and collection names are looked up in
// their own contexts ("item", "collection"), apart from other texts.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

#include "lang/plural.h"

namespace quillvane::lang {

// The context of the game's item names and of its collection names.
inline constexpr std::string_view kItemContext = "item";
inline constexpr std::string_view kCollectionContext = "collection";

class Catalog {
 public:
  // English: no translations; code "en".
  Catalog();

  // The catalog in the bytes of a .mo file, for the language named code
  // ("es", "de_AT"). nullopt when the bytes are no catalog the game can use:
  // not a .mo file, cut short, not UTF-8, or an unreadable plural rule.
  static std::optional<Catalog> parse(std::string_view mo, std::string code);

  // The language's code: "en" for English, else the catalog's folder name.
  const std::string& code() const { return code_; }
  // True for English: every text is its id, and names are the game's own.
  bool english() const { return english_; }

  // The translation of msgid, or msgid itself.
  std::string_view text(std::string_view msgid) const;
  // The translation of msgid in context, or msgid itself.
  std::string_view text(std::string_view context, std::string_view msgid) const;
  // The form for n of a message with a plural: the catalog's form by its
  // plural rule, or English's (singular for 1, plural for every other n).
  std::string_view plural(std::string_view singular, std::string_view plural,
                          unsigned long n) const;

  // How many messages the catalog translates.
  std::size_t size() const { return messages_.size(); }

 private:
  std::string code_ = "en";
  bool english_ = true;
  PluralRule rule_;
  // Keyed by the .mo file's original string: "context\x04msgid" for a
  // message in a context, "msgid\0msgid_plural" for one with a plural. A
  // plural translation holds its forms separated by NUL.
  std::unordered_map<std::string, std::string> messages_;
  std::unordered_map<std::string, std::string> plurals_;  // keyed by the singular msgid alone
};

}  // namespace quillvane::lang
