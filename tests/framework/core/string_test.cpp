#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "core/fccollection.h"
#include "core/fcstring.h"
#include "core/fcstrings.h"

namespace {

TEST(FCStringGrowth, GrowsInStepsOfTenIncludingWhenFull) {
  FCString s;
  EXPECT_EQ(0, s.GetLength());
  EXPECT_EQ(0, s.GetCapacity());
  s.Append(twobyte('a'));
  EXPECT_EQ(10, s.GetCapacity());
  for (int i = 2; i <= 9; ++i)
    s.Append(twobyte('a'));
  EXPECT_EQ(10, s.GetCapacity());
  s.Append(twobyte('a')); // the tenth unit: needed 10 == capacity 10
  EXPECT_EQ(20, s.GetCapacity());
  EXPECT_EQ(10, s.GetLength());

  FCString t;
  t.SetCString("abcdefghijklmnopqrstuvwxy"); // 25 characters
  EXPECT_EQ(30, t.GetCapacity());
  t.SetCString("");
  EXPECT_EQ(0, t.GetLength());
  EXPECT_EQ(0, t.GetCapacity());
}

TEST(FCStringBytes, WidenBySignExtensionAndNarrowBack) {
  FCString s;
  EXPECT_STREQ("", s.GetCString()); // never null, even before any text
  s.SetCString("\xE9z");
  EXPECT_EQ(twobyte(0xFFE9), s.GetItemAt(0));
  EXPECT_EQ(twobyte('z'), s.GetItemAt(1));
  EXPECT_EQ(0, s.GetItemAt(-1));
  EXPECT_EQ(0, s.GetItemAt(2));
  EXPECT_STREQ("\xE9z", s.GetCString());
  s.Append(twobyte(0x1241)); // a unit above 0xFF loses its high byte in the 8-bit view
  EXPECT_STREQ("\xE9zA", s.GetCString());
  twobyte units[4];
  s.GetUnicodeString(units);
  EXPECT_EQ(twobyte(0x1241), units[2]);
  EXPECT_EQ(0, units[3]);
}

TEST(FCStringCompare, EqualityIsExactAndNullSafe) {
  FCString s("ABC");
  EXPECT_FALSE(s.IsEqual(static_cast<const char*>(nullptr)));
  EXPECT_FALSE(s.IsEqual("abc"));
  EXPECT_TRUE(s.IsEqual("ABC"));
  FCString copy;
  copy.SetString(&s);
  EXPECT_TRUE(copy.IsEqual(&s));
  copy.SetString(&copy); // copying onto itself keeps the text
  EXPECT_TRUE(copy.IsEqual("ABC"));
  EXPECT_TRUE(s.IsCharacter(1, "xB"));
  EXPECT_FALSE(s.IsCharacter(1, ""));
  EXPECT_FALSE(s.IsCharacter(3, "ABC"));
  EXPECT_TRUE(s.StartsWith("AB"));
  EXPECT_TRUE(s.EndsWith("BC"));
  EXPECT_FALSE(s.EndsWith("ABCD"));
}

TEST(FCStringEdit, DeletingStaysInsideTheString) {
  FCString s("abcdef");
  EXPECT_FALSE(s.DeleteCharactersAt(2, 0));
  EXPECT_FALSE(s.DeleteCharactersAt(-1, 1));
  EXPECT_FALSE(s.DeleteCharactersAt(4, 3)); // would reach past the end: refused, unchanged
  EXPECT_TRUE(s.IsEqual("abcdef"));
  EXPECT_TRUE(s.DeleteCharactersAt(1, 2));
  EXPECT_TRUE(s.IsEqual("adef"));
  EXPECT_FALSE(s.DeleteCharacterAt(4));
  EXPECT_TRUE(s.DeleteCharactersAt(0, s.GetLength()));
  EXPECT_EQ(0, s.GetLength());
}

TEST(FCStringEdit, TrimKeepsInnerSpacesAndOtherControls) {
  FCString s(" \tkey = value\r\n");
  s.TrimWhitespace();
  EXPECT_TRUE(s.IsEqual("key = value"));
  FCString blank(" \t\r\n");
  blank.TrimWhitespace();
  EXPECT_EQ(0, blank.GetLength());
  FCString control("\x01x\x01");
  control.TrimWhitespace();
  EXPECT_EQ(3, control.GetLength());
}

TEST(FCStringEdit, InsertAndReplaceAlwaysEnd) {
  FCString s("abc");
  s.Insert("XY", 1);
  EXPECT_TRUE(s.IsEqual("aXYbc"));
  s.Insert("Z", 99); // beyond the end: nothing changes
  EXPECT_TRUE(s.IsEqual("aXYbc"));
  s.Insert("Z", 5);
  EXPECT_TRUE(s.IsEqual("aXYbcZ"));

  FCString r("a-b-c");
  EXPECT_TRUE(r.Replace("-", "+"));
  EXPECT_TRUE(r.IsEqual("a+b+c"));
  FCString grow("aXa");
  EXPECT_TRUE(grow.Replace("a", "aa")); // the replacement holds the pattern: one pass, no loop
  EXPECT_TRUE(grow.IsEqual("aaXaa"));
  EXPECT_FALSE(grow.Replace("", "x"));
  FCString chain("abb"); // the pattern forms again at the junction and is replaced again
  EXPECT_TRUE(chain.Replace("ab", "a"));
  EXPECT_TRUE(chain.IsEqual("a"));
}

// Replace walks the text once; the result is that of searching from the start after every
// replacement (searching on after the replacement when it holds the pattern), here checked
// against that plain reading over short texts, patterns and replacements of a few letters. The
// plain reading rebuilds the text each time: cases that grow past 1,000 replacements are left
// to the one below.
bool ReplacedAsRead(std::string* s, const std::string& from, const std::string& to,
                    bool* replaced) {
  bool searchOn = to.find(from) != std::string::npos;
  size_t resume = 0;
  *replaced = false;
  for (int n = 0; n < 1000; ++n) {
    size_t found = s->find(from, searchOn ? resume : 0);
    if (found == std::string::npos) return true;
    *s = s->substr(0, found) + to + s->substr(found + from.size());
    resume = found + to.size();
    *replaced = true;
  }
  return false;
}

TEST(FCStringEdit, ReplaceAgreesWithSearchingFromTheStartEachTime) {
  unsigned seed = 1;
  auto word = [&seed](int most) {
    seed = seed * 1103515245 + 12345;
    std::string w;
    for (int n = static_cast<int>(seed >> 16) % (most + 1); n > 0; --n) {
      seed = seed * 1103515245 + 12345;
      w += "aab"[(seed >> 16) % 3];
    }
    return w;
  };
  for (int i = 0; i < 20000; ++i) {
    std::string text = word(9), from = word(3), to = word(4);
    if (from.empty()) continue;
    bool expected = false;
    std::string result = text;
    if (!ReplacedAsRead(&result, from, to, &expected)) continue;
    FCString s(text.c_str());
    ASSERT_EQ(expected, s.Replace(from.c_str(), to.c_str())) << text << " " << from << " " << to;
    ASSERT_TRUE(s.IsEqual(result.c_str())) << text << " " << from << " " << to;
    if (expected) {
      EXPECT_EQ(result.empty() ? 0 : (static_cast<int>(result.size()) + 10) / 10 * 10,
                s.GetCapacity());
    }
  }
  // A pattern that forms again and again, each time longer: the 65,536 replacements allowed are
  // made at once instead of rebuilding a growing text each time.
  FCString grows("aaaaaaaaaaaaaaaaaaaab"); // "ab" -> "bba" doubles the b's for every a
  EXPECT_TRUE(grows.Replace("ab", "bba"));
  EXPECT_EQ(21 + 65536, grows.GetLength());
}

TEST(FCStringNumbers, ConversionsStayInsideTheText) {
  FCString s;
  s.SetInteger(-42);
  EXPECT_TRUE(s.IsEqual("-42"));
  s.AppendInteger(7);
  EXPECT_EQ(-427, s.GetInteger(0));
  EXPECT_EQ(27, s.GetInteger(2));
  EXPECT_EQ(0, s.GetInteger(9));
  EXPECT_EQ(0, s.GetInteger(-3));
  FCString f("x2.5");
  EXPECT_FLOAT_EQ(2.5f, f.GetFloat(1));
  EXPECT_TRUE(FCString("0123").IsAllDigits());
  EXPECT_TRUE(FCString().IsAllDigits());
  FCString accent("\xA0");
  EXPECT_FALSE(accent.IsWhitespace(0)); // a widened byte above 0x7F is not classified
  FCString sub;
  EXPECT_TRUE(FCString("abcdef").MakeSubString(2, 3, &sub));
  EXPECT_TRUE(sub.IsEqual("cde"));
  EXPECT_FALSE(FCString("abc").MakeSubString(3, 1, &sub));
}

TEST(FCStringSplit, RowsAtLineFeeds) {
  FCString text("a\n\nb");
  FCStrings* rows = text.CreateStringRows();
  ASSERT_EQ(3, rows->GetCount());
  EXPECT_TRUE(rows->GetItemAt(0)->IsEqual("a"));
  EXPECT_EQ(0, rows->GetItemAt(1)->GetLength());
  EXPECT_TRUE(rows->GetItemAt(2)->IsEqual("b"));
  delete rows;

  FCString one("a\n");
  rows = one.CreateStringRows();
  EXPECT_EQ(1, rows->GetCount());
  delete rows;
  FCString lf("\n");
  rows = lf.CreateStringRows();
  ASSERT_EQ(1, rows->GetCount());
  EXPECT_EQ(0, rows->GetItemAt(0)->GetLength());
  delete rows;
  rows = FCString().CreateStringRows();
  EXPECT_EQ(0, rows->GetCount());
  delete rows;
}

TEST(FCStringSplit, TokensAtSeparatorRuns) {
  FCString text(" a, b;;c ");
  FCStrings* tokens = text.CreateParsedStrings(",; ");
  ASSERT_EQ(3, tokens->GetCount());
  EXPECT_TRUE(tokens->GetItemAt(0)->IsEqual("a"));
  EXPECT_TRUE(tokens->GetItemAt(1)->IsEqual("b"));
  EXPECT_TRUE(tokens->GetItemAt(2)->IsEqual("c"));
  delete tokens;
  tokens = FCString(",,,").CreateParsedStrings(",");
  EXPECT_EQ(0, tokens->GetCount());
  delete tokens;
}

TEST(FCStringResource, MissingResourceSaysSo) {
  FCString s("x");
  EXPECT_FALSE(s.LoadResource(9999, nullptr));
  EXPECT_TRUE(s.IsEqual("Resource String Error"));
}

} // namespace
