#include "console/case_fold.h"

#include <gtest/gtest.h>

namespace {

TEST(CaseFold, OneCharacterPerBlock) {
  struct Case {
    char16_t from, to;
  };
  const Case cases[] = {
      {u'A', u'a'}, {u'Z', u'z'}, {u'a', u'a'}, {u'@', u'@'}, {u'[', u'['}, {u'1', u'1'},
      // Latin-1: the micro sign folds to Greek mu; the multiplication sign
      // between the capitals and sharp s (only a full folding) stay.
      {u'À', u'à'}, {u'Þ', u'þ'}, {u'×', u'×'}, {u'ß', u'ß'}, {u'µ', u'μ'}, {u'ÿ', u'ÿ'},
      // Latin Extended-A: pairs start on even and on odd characters; dotted
      // capital I has no simple folding, long s folds to s.
      {u'Ā', u'ā'}, {u'ā', u'ā'}, {u'Į', u'į'}, {u'İ', u'İ'}, {u'ı', u'ı'}, {u'Ĳ', u'ĳ'},
      {u'Ĺ', u'ĺ'}, {u'Ň', u'ň'}, {u'Ŋ', u'ŋ'}, {u'Ÿ', u'ÿ'}, {u'Ž', u'ž'}, {u'ſ', u's'},
      // Greek: accented capitals, final sigma and the symbol forms.
      {u'Ω', u'ω'}, {u'Ά', u'ά'}, {u'Ώ', u'ώ'}, {u'Σ', u'σ'}, {u'ς', u'σ'}, {u'ϐ', u'β'}, {u'ϴ', u'θ'},
      {u'\u0345', u'ι'}, {u'΢', u'΢'},
      // Cyrillic: both capital blocks, the historic pairs, palochka.
      {u'Ж', u'ж'}, {u'Ё', u'ё'}, {u'Џ', u'џ'}, {u'Ѡ', u'ѡ'}, {u'Ӂ', u'ӂ'}, {u'Ӏ', u'ӏ'}, {u'Ԯ', u'ԯ'},
      // Beyond: Armenian, Georgian, capital sharp s, Kelvin, full width.
      {u'Ա', u'ա'}, {u'Ⴀ', u'ⴀ'}, {u'ẞ', u'ß'}, {u'\u212A', u'k'}, {u'Ａ', u'ａ'}, {u'ｚ', u'ｚ'},
      {u'\xD83D', u'\xD83D'}, {u'\xFFFF', u'\xFFFF'},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(static_cast<int>(qcp::SimpleCaseFold(c.from)), static_cast<int>(c.to)) << std::hex << int(c.from);
  }
}

// Folding twice gives what folding once gives: no folded character is
// itself folded elsewhere, which a shifted or overlapping run would break.
TEST(CaseFold, IsStable) {
  for (char32_t c = 0; c <= 0xFFFF; ++c) {
    const char16_t once = qcp::SimpleCaseFold(static_cast<char16_t>(c));
    ASSERT_EQ(static_cast<int>(qcp::SimpleCaseFold(once)), static_cast<int>(once)) << std::hex << int(c);
  }
}

TEST(CaseFold, WholeTexts) {
  struct Case {
    std::u16string_view a, b;
    bool equal;
  };
  const Case cases[] = {
      {u"Cap Test", u"cap test", true},
      {u"CAP TEST", u"cAp tEsT", true},
      {u"Cap Test", u"Cap Test ", false},
      {u"Cap Test", u"Cap", false},
      {u"Ελληνικά ΌΣΟΣ", u"ελληνικά όσος", true},
      {u"Привет Мир", u"пРИВЕТ мИР", true},
      {u"Привет Ёж Ӂ", u"пРИВЕТ ёЖ ӂ", true},
      {u"Straße", u"STRASSE", false},  // full folding only: not equal one to one
      {u"", u"", true},
      {u"a", u"b", false},
  };
  for (const Case& c : cases) EXPECT_EQ(qcp::EqualIgnoringCase(c.a, c.b), c.equal);
  EXPECT_EQ(qcp::SimpleCaseFold(u"Übung Ĳssel ΣΟΦΊΑ"), u"übung ĳssel σοφία");
}

}  // namespace
