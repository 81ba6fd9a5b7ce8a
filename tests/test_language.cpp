// The language machinery: compiled catalogs, plural rules, templates with
// numbered arguments, the order and letters of names heard in a language,
// and the codes the player and the environment ask for.
#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "lang/catalog.h"
#include "lang/choose.h"
#include "lang/collate.h"
#include "lang/format.h"
#include "lang/plural.h"
#include "lang/utf8.h"

namespace quillvane::testing {
namespace {

using namespace std::string_literals;

// The bytes of a .mo file holding these messages (original, translation),
// in the given byte order, as msgfmt writes them.
std::string mo_file(std::vector<std::pair<std::string, std::string>> messages,
                    bool big_endian = false) {
  std::sort(messages.begin(), messages.end());
  std::string out;
  auto word = [&](std::uint32_t value) {
    for (int i = 0; i < 4; ++i)
      out += static_cast<char>(value >> (big_endian ? 8 * (3 - i) : 8 * i));
  };
  const auto count = static_cast<std::uint32_t>(messages.size());
  const std::uint32_t originals = 28, translations = originals + 8 * count;
  std::uint32_t offset = translations + 8 * count;
  word(0x950412de);
  word(0);
  word(count);
  word(originals);
  word(translations);
  word(0);
  word(0);
  std::string strings;
  std::vector<std::pair<std::uint32_t, std::uint32_t>> table[2];
  for (int column = 0; column < 2; ++column) {
    for (const auto& message : messages) {
      const std::string& text = column == 0 ? message.first : message.second;
      table[column].push_back({static_cast<std::uint32_t>(text.size()), offset});
      strings += text;
      strings += '\0';
      offset += static_cast<std::uint32_t>(text.size() + 1);
    }
  }
  for (const auto& column : table)
    for (const auto& [length, at] : column) {
      word(length);
      word(at);
    }
  return out + strings;
}

const std::string kHeader =
    "Content-Type: text/plain; charset=UTF-8\n"
    "Plural-Forms: nplurals=3; plural=(n%10==1 && n%100!=11 ? 0 : n%10>=2 && n%10<=4 && "
    "(n%100<10 || n%100>=20) ? 1 : 2);\n";

TEST(Catalog, FindsTextsNamesAndPluralFormsInEitherByteOrder) {
  const std::vector<std::pair<std::string, std::string>> messages{
      {"", kHeader},
      {"Menu", "Menú"},
      {"item\x04" "Dirt", "Tierra"},
      {"collection\x04General collection", "colección General"},
      {"%1$d step\0%1$d steps"s, "%1$d paso\0%1$d pasos\0%1$d pasitos"s},
      {"Untranslated", ""}};
  for (bool big_endian : {false, true}) {
    SCOPED_TRACE(big_endian);
    auto catalog = lang::Catalog::parse(mo_file(messages, big_endian), "xx");
    ASSERT_TRUE(catalog);
    EXPECT_FALSE(catalog->english());
    EXPECT_EQ(catalog->code(), "xx");
    EXPECT_EQ(catalog->text("Menu"), "Menú");
    EXPECT_EQ(catalog->text("Exit the game"), "Exit the game");  // missing: the English
    EXPECT_EQ(catalog->text("Untranslated"), "Untranslated");    // empty: no translation
    EXPECT_EQ(catalog->text("item", "Dirt"), "Tierra");
    EXPECT_EQ(catalog->text("Dirt"), "Dirt");  // the context is part of the key
    EXPECT_EQ(catalog->text("collection", "General collection"), "colección General");
    // The three forms of the rule above: 1, 21 -> 0; 2, 3, 24 -> 1; 5, 11, 0 -> 2.
    const std::map<unsigned long, std::string> forms{
        {1, "%1$d paso"},    {21, "%1$d paso"},    {2, "%1$d pasos"},   {24, "%1$d pasos"},
        {5, "%1$d pasitos"}, {11, "%1$d pasitos"}, {0, "%1$d pasitos"}, {111, "%1$d pasitos"}};
    for (const auto& [n, form] : forms)
      EXPECT_EQ(catalog->plural("%1$d step", "%1$d steps", n), form) << n;
    EXPECT_EQ(catalog->plural("%1$d item", "%1$d items", 1), "%1$d item");
    EXPECT_EQ(catalog->plural("%1$d item", "%1$d items", 4), "%1$d items");
  }
}

TEST(Catalog, EnglishIsTheTextsThemselves) {
  const lang::Catalog english;
  EXPECT_TRUE(english.english());
  EXPECT_EQ(english.code(), "en");
  EXPECT_EQ(english.text("Main manu"), "Main manu");
  EXPECT_EQ(english.text("item", "Dirt"), "Dirt");
  EXPECT_EQ(english.plural("%1$d step", "%1$d steps", 1), "%1$d step");
  EXPECT_EQ(english.plural("%1$d step", "%1$d steps", 0), "%1$d steps");
}

TEST(Catalog, RefusesWhatIsNoUsableCatalog) {
  const std::string good = mo_file({{"", kHeader}, {"Menu", "Menú"}});
  ASSERT_TRUE(lang::Catalog::parse(good, "xx"));
  std::string bad_magic = good;
  bad_magic[0] = 'x';
  std::string cut = good.substr(0, good.size() - 10);
  const std::vector<std::string> refused{
      "",
      "not a catalog at all, just some words",
      bad_magic,
      cut,
      mo_file({{"", "Content-Type: text/plain; charset=ISO-8859-1\n"}, {"Menu", "Men\xfa"}}),
      mo_file({{"",
                "Content-Type: text/plain; charset=UTF-8\nPlural-Forms: nplurals=2; "
                "plural=n +;\n"}}),
      mo_file({{"", kHeader}, {"Menu", "Men\xfa"}}),  // not UTF-8
      mo_file({{"Menu", "Menú"}})};                   // no header
  for (const std::string& bytes : refused) EXPECT_FALSE(lang::Catalog::parse(bytes, "xx"));
}

TEST(PluralRule, ReadsTheExpressionsCatalogsUse) {
  struct Case {
    const char* forms;
    std::vector<std::pair<unsigned long, int>> expected;
  };
  const std::vector<Case> cases{
      {"nplurals=2; plural=(n != 1);", {{0, 1}, {1, 0}, {2, 1}}},
      {"nplurals=2; plural=n>1;", {{0, 0}, {1, 0}, {2, 1}}},
      {"nplurals=1; plural=0;", {{0, 0}, {7, 0}}},
      {"nplurals=3; plural=n==1 ? 0 : (n==0 || (n%100 > 0 && n%100 < 20)) ? 1 : 2;",
       {{1, 0}, {0, 1}, {19, 1}, {101, 1}, {20, 2}, {120, 2}}},
      {" nplurals = 4 ; plural = n%100==1 ? 0 : n%100==2 ? 1 : n%100==3 || n%100==4 ? 2 : 3 ;",
       {{1, 0}, {102, 1}, {4, 2}, {5, 3}}},
      {"nplurals=2; plural=!(n==1);", {{1, 0}, {3, 1}}},
      {"nplurals=2; plural=n/0;", {{3, 0}}},            // no division by zero
      {"nplurals=2; plural=n*2-1;", {{1, 1}, {3, 0}}},  // a form out of range is 0
  };
  for (const Case& c : cases) {
    auto rule = lang::PluralRule::parse(c.forms);
    ASSERT_TRUE(rule) << c.forms;
    for (const auto& [n, form] : c.expected)
      EXPECT_EQ(rule->form(n), form) << c.forms << " n=" << n;
  }
  for (const char* bad :
       {"", "nplurals=2;", "plural=n;", "nplurals=0; plural=0;", "nplurals=2; plural=(n;",
        "nplurals=2; plural=n ? 1;", "nplurals=2; plural=x;", "nplurals=2; plural=n != 1 junk;"})
    EXPECT_FALSE(lang::PluralRule::parse(bad)) << bad;
}

TEST(Format, FillsNumberedAndPlainDirectives) {
  const std::vector<std::tuple<std::string, std::vector<std::string>, std::string>> cases{
      {"%1$s in slot 1.", {"Dirt"}, "Dirt in slot 1."},
      {"%2$s y %1$s", {"A", "B"}, "B y A"},
      {"%1$s, %1$s", {"x"}, "x, x"},
      {"%s and %d", {"a", "7"}, "a and 7"},
      {"100%% sure, %1$d%%", {"5"}, "100% sure, 5%"},
      {"%3$s missing", {"a"}, "%3$s missing"},
      {"a lone % sign, %x, %1$q, %0$s", {"a"}, "a lone % sign, %x, %1$q, %0$s"},
      {"ends with %", {}, "ends with %"},
      {"Welcome to Quillvane, version (%1$s), by Orlick",
       {"0.7 beta"},
       "Welcome to Quillvane, version (0.7 beta), by Orlick"}};
  for (const auto& [pattern, args, expected] : cases) {
    std::vector<std::string_view> views(args.begin(), args.end());
    std::string result;
    switch (views.size()) {
      case 0:
        result = lang::format(pattern, {});
        break;
      case 1:
        result = lang::format(pattern, {views[0]});
        break;
      case 2:
        result = lang::format(pattern, {views[0], views[1]});
        break;
    }
    EXPECT_EQ(result, expected) << pattern;
  }
}

TEST(Collate, OrdersNamesAsTheLanguageHearsThem) {
  auto sorted = [](std::vector<std::string> names, const std::string& language) {
    std::stable_sort(names.begin(), names.end(), [&](const std::string& a, const std::string& b) {
      return lang::sort_key(a, language) < lang::sort_key(b, language);
    });
    return names;
  };
  // Spanish: accents ignored, ñ a letter of its own after n, case ignored.
  EXPECT_EQ(
      sorted({"ñu", "Oveja", "nube", "Árbol", "abeja", "Nuez", "Éter", "zorro"}, "es"),
      (std::vector<std::string>{"abeja", "Árbol", "Éter", "nube", "Nuez", "ñu", "Oveja", "zorro"}));
  // German: umlauts as their vowels, ß as ss.
  EXPECT_EQ(sorted({"Zucker", "Öl", "Ofen", "Straße", "Strasse", "Äpfel", "Apfel", "Ast"}, "de"),
            (std::vector<std::string>{"Äpfel", "Apfel", "Ast", "Ofen", "Öl", "Straße", "Strasse",
                                      "Zucker"}));
  // A space before every letter, a name before its longer neighbours, and
  // punctuation (the pseudo-language's brackets) weighs nothing.
  EXPECT_EQ(
      sorted({"[Pine tree]", "[Pine cone]", "[Iron ore]", "[Iron]", "Pinecone"}, "qps"),
      (std::vector<std::string>{"[Iron]", "[Iron ore]", "[Pine cone]", "[Pine tree]", "Pinecone"}));
  // A name in the game's code page reads as Windows-1252.
  EXPECT_EQ(lang::sort_key("\xC1rbol", "es"), lang::sort_key("arbol", "es"));
}

TEST(Collate, ALetterReachesTheNamesThatStartWithIt) {
  const std::vector<std::tuple<std::string, std::string, char32_t, bool>> cases{
      {"Árbol", "es", U'a', true},   {"Árbol", "es", U'Á', true},  {"árbol", "es", U'A', true},
      {"Ñame", "es", U'ñ', true},    {"Ñame", "es", U'n', false},  {"Nube", "es", U'ñ', false},
      {"Äpfel", "de", U'ä', true},   {"Apfel", "de", U'ä', true},  {"Äpfel", "de", U'a', true},
      {"Straße", "de", U'ß', true},  {"Öl", "de", U'o', true},     {"Über", "de", U'U', true},
      {"[Dírt]", "qps", U'd', true}, {"¡Hola!", "es", U'h', true}, {"Єва", "uk", U'є', true},
      {"Хліб", "uk", U'х', true},    {"Dirt", "de", U'e', false}};
  for (const auto& [name, language, typed, reaches] : cases)
    EXPECT_EQ(lang::first_letter(name, language) == lang::letter_weight(typed, language), reaches)
        << name << " " << language << " " << static_cast<std::uint32_t>(typed);
  EXPECT_EQ(lang::letter_weight(U'!', "es"), 0u);
  EXPECT_EQ(lang::letter_weight(U' ', "es"), 0u);
  EXPECT_EQ(lang::first_letter("...", "es"), 0u);
}

TEST(LanguageCodes, NormalizeFallBackAndReadTheEnvironment) {
  const std::map<std::string, std::string> codes{{"es", "es"},
                                                 {"ES", "es"},
                                                 {"de_AT.UTF-8@euro", "de_AT"},
                                                 {"pt-br", "pt_BR"},
                                                 {"C", ""},
                                                 {"POSIX", ""},
                                                 {"C.UTF-8", ""},
                                                 {"../../etc", ""},
                                                 {"es/../de", ""},
                                                 {"", ""},
                                                 {"e", ""},
                                                 {"de_", ""},
                                                 {"qps", "qps"},
                                                 {"sr_RS@latin", "sr_RS"}};
  for (const auto& [raw, code] : codes) EXPECT_EQ(lang::normalize_code(raw), code) << raw;
  EXPECT_EQ(lang::fallbacks("de_AT"), (std::vector<std::string>{"de_AT", "de"}));
  EXPECT_EQ(lang::fallbacks("es"), (std::vector<std::string>{"es"}));
  EXPECT_TRUE(lang::is_english("en"));
  EXPECT_TRUE(lang::is_english("en_GB"));
  EXPECT_FALSE(lang::is_english("es"));

  using Environment = std::map<std::string, std::string>;
  auto read = [](const Environment& environment) {
    return lang::environment_languages([&](const char* name) -> std::optional<std::string> {
      auto found = environment.find(name);
      if (found == environment.end()) return std::nullopt;
      return found->second;
    });
  };
  using Codes = std::vector<std::string>;
  EXPECT_EQ(read({}), Codes{});
  EXPECT_EQ(read({{"LANG", "de_DE.UTF-8"}}), Codes{"de_DE"});
  EXPECT_EQ(read({{"LANG", "de_DE.UTF-8"}, {"LC_MESSAGES", "es_ES.UTF-8"}}), Codes{"es_ES"});
  EXPECT_EQ(read({{"LANG", "de_DE.UTF-8"}, {"LC_ALL", "C"}}), Codes{});
  EXPECT_EQ(read({{"LANGUAGE", "fr:es_MX::de"}, {"LANG", "C.UTF-8"}}),
            (Codes{"fr", "es_MX", "de"}));
  EXPECT_EQ(read({{"LANGUAGE", ""}, {"LC_ALL", ""}, {"LANG", "es_ES"}}), Codes{"es_ES"});
}

TEST(Utf8, KeepsUtf8AndReadsTheCodePage) {
  EXPECT_EQ(lang::to_utf8("Dirt"), "Dirt");
  EXPECT_EQ(lang::to_utf8("Árbol"), "Árbol");
  EXPECT_EQ(lang::to_utf8("\xC1rbol \x80"), "Árbol €");
  EXPECT_TRUE(lang::valid_utf8("ñäöüß"));
  EXPECT_FALSE(lang::valid_utf8("\xF1"));
}

}  // namespace
}  // namespace quillvane::testing
