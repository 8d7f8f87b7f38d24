// The one case-folding table and what is built on it.
#include <gtest/gtest.h>

#include "platform/case_fold.h"
#include "platform/text_codec.h"

namespace norvale {
namespace {

TEST(CaseFold, TheTableIsSortedAndEachLetterFoldsOnce) {
  ASSERT_GT(kCaseFoldCount, 1000u);  // Latin, Greek, Cyrillic, Armenian, Georgian, ...
  for (size_t i = 0; i < kCaseFoldCount; ++i) {
    const CaseFold& e = kCaseFolds[i];
    const unsigned from = e.from, to = e.to;
    if (i > 0) {
      EXPECT_LT(static_cast<unsigned>(kCaseFolds[i - 1].from), from);
    }
    EXPECT_NE(from, to);
    EXPECT_EQ(to, static_cast<unsigned>(FoldCase(char32_t{to}))) << std::hex << from;
  }
  EXPECT_EQ(U'ș', FoldCase(U'Ș'));
  EXPECT_EQ(U'ǆ', FoldCase(U'ǅ'));
  EXPECT_EQ(U'ß', FoldCase(U'ẞ'));       // simple folding: one letter for one
  EXPECT_EQ(U'ı', FoldCase(U'ı'));       // the dotless i stays, as on Windows
  EXPECT_EQ(U'𐐀', FoldCase(U'𐐀'));      // above the BMP Windows folds nothing
  EXPECT_EQ(U'k', FoldCase(U'\u212A'));  // Kelvin sign
}

TEST(CaseFold, CapitalsOfSmallLettersTitleCaseAndSymbols) {
  EXPECT_EQ(U'Ș', CapitalOf(U'ș'));
  EXPECT_EQ(U'Ә', CapitalOf(U'ә'));
  EXPECT_EQ(U'Ǆ', CapitalOf(U'ǆ'));
  EXPECT_EQ(U'ǅ', CapitalOf(U'ǅ'));  // already a capital form
  EXPECT_EQ(U'Σ', CapitalOf(U'ς'));
  EXPECT_EQ(U'Μ', CapitalOf(U'µ'));  // the micro sign is a small mu
  EXPECT_EQ(U'Ι', CapitalOf(U'ι'));  // not the combining ypogegrammeni
  EXPECT_EQ(U'K', CapitalOf(U'k'));  // not the Kelvin sign
  EXPECT_EQ(U'ß', CapitalOf(U'ß'));
  EXPECT_EQ(U'日', CapitalOf(U'日'));
}

TEST(CaseFold, FindingIgnoresCaseAndGivesTheRangeInTheText) {
  const std::string text = "x <language_Group> \u212Aey";
  const auto tag = FindIgnoringCase(text, "<LANGUAGE_GROUP>");
  ASSERT_TRUE(tag);
  EXPECT_EQ(2u, tag->begin);
  EXPECT_EQ(18u, tag->end);
  const auto key = FindIgnoringCase(text, "KEY");  // a three-byte letter for "k"
  ASSERT_TRUE(key);
  EXPECT_EQ("\u212Aey", text.substr(key->begin, key->end - key->begin));
  EXPECT_FALSE(FindIgnoringCase(text, "<LANGUAGE_GROUP>", 3));
  EXPECT_FALSE(FindIgnoringCase("<LANGUAGE_GROU", "<LANGUAGE_GROUP"));
  EXPECT_EQ(1u, FindIgnoringCase("aȘCOALĂ", "școală")->begin);
  EXPECT_FALSE(FindIgnoringCase("a\xFF", "A\xFE"));
  EXPECT_EQ("școală ǆ \xFF", FoldCase("ȘCOALĂ ǅ \xFF"));
}

TEST(TextCodec, Utf8IsValidOnlyWhenWellFormedThroughout) {
  for (const char* good : {"", "abc", "\xEF\xBB\xBF<a>", "日本語", "\xF0\x9F\x98\x80", "\xEF\xBF\xBD"}) {
    EXPECT_TRUE(IsUtf8(good)) << good;
  }
  for (const char* bad : {"caf\xE9", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "x\xE6\x97",
                          "\x80"}) {
    EXPECT_FALSE(IsUtf8(bad)) << bad;
  }
  // An ill-formed piece is one replacement, however long its valid beginning.
  size_t i = 0;
  EXPECT_EQ(0xFFFDu, NextCodePoint("\xE6\x97x", i));
  EXPECT_EQ(2u, i);
}

}  // namespace
}  // namespace norvale
