// The plural rule of a catalog: the C expression of its Plural-Forms header
// ("nplurals=2; plural=(n != 1);"), which picks the form for a number n.
#pragma once

#include <memory>
#include <optional>
#include <string_view>

namespace quillvane::lang {

class PluralRule {
 public:
  // English's rule: one form for 1, the other for every other number.
  PluralRule();
  ~PluralRule();
  PluralRule(PluralRule&&) noexcept;
  PluralRule& operator=(PluralRule&&) noexcept;

  // The rule of a catalog header's Plural-Forms value; nullopt when it is
  // missing or cannot be read.
  static std::optional<PluralRule> parse(std::string_view plural_forms);

  int forms() const { return forms_; }
  // The form (0 to forms - 1) for n; a form out of range becomes 0.
  int form(unsigned long n) const;

  struct Node;

 private:
  int forms_ = 2;
  std::unique_ptr<Node> expression_;
};

}  // namespace quillvane::lang
