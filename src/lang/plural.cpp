#include "lang/plural.h"

#include <cctype>
#include <string>
#include <vector>

namespace quillvane::lang {

// A node of the expression: n, a number, or an operator on one to three
// operands.
struct PluralRule::Node {
  enum Kind { variable, number, unary_not, binary, conditional } kind = number;
  std::string op;  // the binary operator
  unsigned long value = 0;
  std::unique_ptr<Node> a, b, c;

  unsigned long evaluate(unsigned long n) const {
    switch (kind) {
      case variable:
        return n;
      case number:
        return value;
      case unary_not:
        return a->evaluate(n) == 0;
      case conditional:
        return a->evaluate(n) != 0 ? b->evaluate(n) : c->evaluate(n);
      case binary:
        break;
    }
    const unsigned long x = a->evaluate(n);
    if (op == "||") return x != 0 || b->evaluate(n) != 0;
    if (op == "&&") return x != 0 && b->evaluate(n) != 0;
    const unsigned long y = b->evaluate(n);
    if (op == "==") return x == y;
    if (op == "!=") return x != y;
    if (op == "<") return x < y;
    if (op == ">") return x > y;
    if (op == "<=") return x <= y;
    if (op == ">=") return x >= y;
    if (op == "+") return x + y;
    if (op == "-") return x - y;
    if (op == "*") return x * y;
    if (op == "/") return y == 0 ? 0 : x / y;
    if (op == "%") return y == 0 ? 0 : x % y;
    return 0;
  }
};

namespace {

using Node = PluralRule::Node;

// A recursive-descent reader of the expression, by C's precedence.
class Reader {
 public:
  explicit Reader(std::string_view text) : text_(text) {}

  std::unique_ptr<Node> whole() {
    auto node = conditional();
    skip_spaces();
    if (!node || at_ != text_.size()) return nullptr;
    return node;
  }

 private:
  void skip_spaces() {
    while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_]))) ++at_;
  }
  bool take(std::string_view token) {
    skip_spaces();
    if (text_.substr(at_, token.size()) != token) return false;
    // "<" is not the start of "<=", nor "!" of "!=".
    if (token.size() == 1 && at_ + 1 < text_.size() && text_[at_ + 1] == '=' &&
        (token == "<" || token == ">" || token == "!" || token == "="))
      return false;
    at_ += token.size();
    return true;
  }
  static std::unique_ptr<Node> join(std::string op, std::unique_ptr<Node> a,
                                    std::unique_ptr<Node> b) {
    if (!a || !b) return nullptr;
    auto node = std::make_unique<Node>();
    node->kind = Node::binary;
    node->op = std::move(op);
    node->a = std::move(a);
    node->b = std::move(b);
    return node;
  }
  // Each level: operands of the level below joined by this level's operators.
  template <typename Next>
  std::unique_ptr<Node> level(std::initializer_list<std::string_view> ops, Next next) {
    auto node = (this->*next)();
    for (;;) {
      bool found = false;
      for (std::string_view op : ops) {
        if (take(op)) {
          node = join(std::string(op), std::move(node), (this->*next)());
          found = true;
          break;
        }
      }
      if (!found || !node) return node;
    }
  }
  std::unique_ptr<Node> conditional() {
    auto test = logical_or();
    if (!test || !take("?")) return test;
    auto yes = conditional();
    if (!yes || !take(":")) return nullptr;
    auto no = conditional();
    if (!no) return nullptr;
    auto node = std::make_unique<Node>();
    node->kind = Node::conditional;
    node->a = std::move(test);
    node->b = std::move(yes);
    node->c = std::move(no);
    return node;
  }
  std::unique_ptr<Node> logical_or() { return level({"||"}, &Reader::logical_and); }
  std::unique_ptr<Node> logical_and() { return level({"&&"}, &Reader::equality); }
  std::unique_ptr<Node> equality() { return level({"==", "!="}, &Reader::relation); }
  std::unique_ptr<Node> relation() { return level({"<=", ">=", "<", ">"}, &Reader::sum); }
  std::unique_ptr<Node> sum() { return level({"+", "-"}, &Reader::product); }
  std::unique_ptr<Node> product() { return level({"*", "/", "%"}, &Reader::unary); }
  std::unique_ptr<Node> unary() {
    if (take("!")) {
      auto operand = unary();
      if (!operand) return nullptr;
      auto node = std::make_unique<Node>();
      node->kind = Node::unary_not;
      node->a = std::move(operand);
      return node;
    }
    return primary();
  }
  std::unique_ptr<Node> primary() {
    skip_spaces();
    if (take("(")) {
      auto inner = conditional();
      if (!inner || !take(")")) return nullptr;
      return inner;
    }
    if (take("n")) {
      auto node = std::make_unique<Node>();
      node->kind = Node::variable;
      return node;
    }
    if (at_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at_]))) {
      auto node = std::make_unique<Node>();
      while (at_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[at_]))) {
        if (node->value > 100000000) return nullptr;
        node->value = node->value * 10 + static_cast<unsigned long>(text_[at_++] - '0');
      }
      return node;
    }
    return nullptr;
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

// The value after "name=" in a "name=value;" list, without the semicolon.
std::optional<std::string_view> field(std::string_view text, std::string_view name) {
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find(';', at);
    if (end == std::string_view::npos) end = text.size();
    std::string_view part = text.substr(at, end - at);
    while (!part.empty() && std::isspace(static_cast<unsigned char>(part.front())))
      part.remove_prefix(1);
    if (part.substr(0, name.size()) == name) {
      part.remove_prefix(name.size());
      while (!part.empty() && std::isspace(static_cast<unsigned char>(part.front())))
        part.remove_prefix(1);
      if (!part.empty() && part.front() == '=') return part.substr(1);
    }
    at = end + 1;
  }
  return std::nullopt;
}

}  // namespace

PluralRule::PluralRule() : expression_(Reader("n != 1").whole()) {}
PluralRule::~PluralRule() = default;
PluralRule::PluralRule(PluralRule&&) noexcept = default;
PluralRule& PluralRule::operator=(PluralRule&&) noexcept = default;

std::optional<PluralRule> PluralRule::parse(std::string_view plural_forms) {
  auto count = field(plural_forms, "nplurals");
  auto expression = field(plural_forms, "plural");
  if (!count || !expression) return std::nullopt;
  int forms = 0;
  for (char c : *count) {
    if (std::isspace(static_cast<unsigned char>(c))) continue;
    if (!std::isdigit(static_cast<unsigned char>(c)) || forms > 10) return std::nullopt;
    forms = forms * 10 + (c - '0');
  }
  if (forms < 1 || forms > 10) return std::nullopt;
  auto node = Reader(*expression).whole();
  if (!node) return std::nullopt;
  PluralRule rule;
  rule.forms_ = forms;
  rule.expression_ = std::move(node);
  return rule;
}

int PluralRule::form(unsigned long n) const {
  const unsigned long value = expression_ ? expression_->evaluate(n) : (n != 1);
  return value < static_cast<unsigned long>(forms_) ? static_cast<int>(value) : 0;
}

}  // namespace quillvane::lang
