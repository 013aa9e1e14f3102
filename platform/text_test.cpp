#include "platform/text.h"

#include <gtest/gtest.h>

namespace platform {
namespace {

TEST(Text, DecodesSwedishLettersFromEachCodePage) {
  struct Case {
    CodePage codePage;
    std::string bytes;
  };
  // "Åsa Öberg är här" in each code page.
  const Case cases[] = {
      {CodePage::Windows1252, "\xC5sa \xD6" "berg \xE4r h\xE4r"},
      {CodePage::Cp850, "\x8Fsa \x99" "berg \x84r h\x84r"},
      {CodePage::Cp437, "\x8Fsa \x99" "berg \x84r h\x84r"},
      {CodePage::Cp865, "\x8Fsa \x99" "berg \x84r h\x84r"},
  };
  for (const auto& c : cases) {
    const std::string utf8 = DecodeToUtf8(c.bytes, c.codePage);
    EXPECT_EQ(utf8, "Åsa Öberg är här");
    EXPECT_EQ(EncodeFromUtf8(utf8, c.codePage), c.bytes);
  }
  EXPECT_EQ(DecodeToUtf8("\x80", CodePage::Windows1252), "€");
  EXPECT_EQ(EncodeFromUtf8("a€b", CodePage::Cp437), "a?b");
  // Where the Nordic page parts from 437.
  EXPECT_EQ(DecodeToUtf8("\x9B\x9D\xAF", CodePage::Cp865), "øØ¤");
  EXPECT_EQ(DecodeToUtf8("\x9B\x9D\xAF", CodePage::Cp437), "¢¥»");
}

TEST(Text, CountsAndCutsCharactersNotBytes) {
  EXPECT_EQ(Utf8Length("Åsa"), 3u);
  EXPECT_EQ(Utf8Truncate("Åsa Öberg", 5), "Åsa Ö");
  EXPECT_EQ(Utf8Truncate("ÅÄÖ", 2), "ÅÄ");
  EXPECT_EQ(Utf8Truncate("ab", 5), "ab");
  EXPECT_EQ(Utf8Truncate("ab", 0), "");
}

TEST(Text, CaseKnowsSwedishLetters) {
  EXPECT_EQ(ToLower("ÅÄÖ ÉÜ Abc"), "åäö éü abc");
  EXPECT_EQ(ToUpper("åäö éü abc"), "ÅÄÖ ÉÜ ABC");
  EXPECT_TRUE(EqualsNoCase("Företag", "FÖRETAG"));
  EXPECT_FALSE(EqualsNoCase("Företag", "Foretag"));
  EXPECT_FALSE(EqualsNoCase("ab", "abc"));
}

TEST(Text, ValidatesUtf8AndFallsBackToWindows1252) {
  EXPECT_TRUE(IsValidUtf8("Åsa"));
  EXPECT_FALSE(IsValidUtf8("\xC5sa"));
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));  // a lone surrogate
  EXPECT_FALSE(IsValidUtf8("\xC3"));          // cut short
  EXPECT_EQ(Utf8OrWindows1252("\xEF\xBB\xBF" "Åsa"), "Åsa");
  EXPECT_EQ(Utf8OrWindows1252("\xC5sa"), "Åsa");
}

TEST(Text, Utf16RoundTrip) {
  const std::string text = "Åsa 😀 €";
  EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(text)), text);
  EXPECT_EQ(Utf8ToUtf16("Å").size(), 1u);
}

TEST(Text, Utf16ToUtf8PairsSurrogatesAndReplacesLoneOnes) {
  const struct {
    std::u16string utf16;
    std::string utf8;
  } cases[] = {
      {u"", ""},
      {u"Räksmörgås ÅÄÖ é", "Räksmörgås ÅÄÖ é"},
      {u"\u20AC\uFFFF", "\xE2\x82\xAC\xEF\xBF\xBF"},           // three-byte ends of the BMP
      {u"\u007F\u0080\u07FF\u0800", "\x7F\xC2\x80\xDF\xBF\xE0\xA0\x80"},  // each length's edges
      {u"a\xD83D\xDE00" u"b", "a😀b"},                                // a pair is one character
      {u"\xDBFF\xDFFF", "\xF4\x8F\xBF\xBF"},                       // the last character
      {u"a\xD83D" u"b", "a\uFFFDb"},                                  // a high surrogate alone
      {u"a\xDE00" u"b", "a\uFFFDb"},                                  // a low surrogate alone
      {u"\xDE00\xD83D", "\uFFFD\uFFFD"},                          // a pair the wrong way round
      {u"x\xD83D", "x\uFFFD"},                                    // a high surrogate at the end
  };
  std::string reused = "a longer text left from the last call";
  for (const auto& c : cases) {
    EXPECT_EQ(Utf16ToUtf8(c.utf16), c.utf8);
    Utf16ToUtf8(c.utf16, reused);
    EXPECT_EQ(reused, c.utf8);
    EXPECT_TRUE(IsValidUtf8(reused));
  }
}

TEST(Text, TrimsWhiteSpace) {
  EXPECT_EQ(Trim(" \t\r\n\v\fx y \n"), "x y");
  EXPECT_EQ(TrimLeft("  x "), "x ");
  EXPECT_EQ(TrimRight("  x "), "  x");
}

}  // namespace
}  // namespace platform
