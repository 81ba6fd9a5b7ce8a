#include "lang/catalog.h"

#include <cstdint>

#include "lang/utf8.h"

namespace quillvane::lang {
namespace {

constexpr std::uint32_t kMagic = 0x950412de;
constexpr std::uint32_t kSwappedMagic = 0xde120495;

// Reads 32-bit words of the file in its own byte order.
class Words {
 public:
  Words(std::string_view bytes, bool swapped) : bytes_(bytes), swapped_(swapped) {}
  std::optional<std::uint32_t> at(std::size_t offset) const {
    if (offset > bytes_.size() || bytes_.size() - offset < 4) return std::nullopt;
    std::uint32_t value = 0;
    for (int i = 0; i < 4; ++i) {
      const auto byte = static_cast<std::uint8_t>(bytes_[offset + static_cast<std::size_t>(i)]);
      value |= static_cast<std::uint32_t>(byte) << (swapped_ ? 8 * (3 - i) : 8 * i);
    }
    return value;
  }

 private:
  std::string_view bytes_;
  bool swapped_;
};

// The header field's value ("Plural-Forms: ..." gives "..."), if present.
std::optional<std::string_view> header_field(std::string_view header, std::string_view name) {
  for (std::size_t at = 0; at < header.size();) {
    std::size_t end = header.find('\n', at);
    if (end == std::string_view::npos) end = header.size();
    std::string_view line = header.substr(at, end - at);
    if (line.size() > name.size() && line.substr(0, name.size()) == name &&
        line[name.size()] == ':')
      return line.substr(name.size() + 1);
    at = end + 1;
  }
  return std::nullopt;
}

}  // namespace

Catalog::Catalog() = default;

std::optional<Catalog> Catalog::parse(std::string_view mo, std::string code) {
  if (mo.size() < 28) return std::nullopt;
  const auto magic = Words(mo, false).at(0);
  if (magic != kMagic && magic != kSwappedMagic) return std::nullopt;
  const Words words(mo, magic == kSwappedMagic);
  const auto count = words.at(8);
  const auto originals = words.at(12);
  const auto translations = words.at(16);
  if (!count || !originals || !translations) return std::nullopt;
  // Every string is read through its length and offset, checked against the file.
  auto string_at = [&](std::uint32_t table, std::uint32_t i) -> std::optional<std::string_view> {
    const std::size_t entry = static_cast<std::size_t>(table) + 8 * static_cast<std::size_t>(i);
    const auto length = words.at(entry);
    const auto offset = words.at(entry + 4);
    if (!length || !offset || *offset > mo.size() || mo.size() - *offset < *length)
      return std::nullopt;
    return mo.substr(*offset, *length);
  };

  Catalog catalog;
  catalog.code_ = std::move(code);
  catalog.english_ = false;
  bool header_read = false;
  for (std::uint32_t i = 0; i < *count; ++i) {
    auto original = string_at(*originals, i);
    auto translation = string_at(*translations, i);
    if (!original || !translation) return std::nullopt;
    if (original->empty()) {
      // The header: the catalog must be UTF-8, and its plural rule readable.
      auto type = header_field(*translation, "Content-Type");
      if (!type || type->find("charset=UTF-8") == std::string_view::npos) return std::nullopt;
      if (auto forms = header_field(*translation, "Plural-Forms")) {
        auto rule = PluralRule::parse(*forms);
        if (!rule) return std::nullopt;
        catalog.rule_ = std::move(*rule);
      }
      header_read = true;
      continue;
    }
    if (!valid_utf8(*translation)) return std::nullopt;
    // An empty translation is no translation.
    if (translation->empty()) continue;
    const std::size_t nul = original->find('\0');
    if (nul == std::string_view::npos)
      catalog.messages_.emplace(std::string(*original), std::string(*translation));
    else
      catalog.plurals_.emplace(std::string(original->substr(0, nul)), std::string(*translation));
  }
  if (!header_read) return std::nullopt;
  return catalog;
}

std::string_view Catalog::text(std::string_view msgid) const {
  if (english_) return msgid;
  auto found = messages_.find(std::string(msgid));
  return found == messages_.end() ? msgid : std::string_view(found->second);
}

std::string_view Catalog::text(std::string_view context, std::string_view msgid) const {
  if (english_) return msgid;
  std::string key(context);
  key += '\x04';
  key += msgid;
  auto found = messages_.find(key);
  return found == messages_.end() ? msgid : std::string_view(found->second);
}

std::string_view Catalog::plural(std::string_view singular, std::string_view plural,
                                 unsigned long n) const {
  if (!english_) {
    auto found = plurals_.find(std::string(singular));
    if (found != plurals_.end()) {
      // The forms stand one after the other, each ended by NUL but the last.
      std::string_view forms = found->second;
      int form = rule_.form(n);
      for (; form > 0; --form) {
        const std::size_t nul = forms.find('\0');
        if (nul == std::string_view::npos) {
          forms = {};
          break;
        }
        forms.remove_prefix(nul + 1);
      }
      forms = forms.substr(0, forms.find('\0'));
      if (!forms.empty()) return forms;
    }
  }
  return n == 1 ? singular : plural;
}

}  // namespace quillvane::lang
