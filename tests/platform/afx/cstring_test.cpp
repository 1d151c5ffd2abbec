// CString over code page 936: searches, trims, extraction, formatting, comparison, buffers.
#include <afx.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

namespace {

// Every double-byte character here has a trail byte equal to an ASCII bracket or backslash:
// 81 5B, 81 5D, 81 5C. Each is followed by the real single-byte character.
const char kTrails[] = "\x81\x5B" "[" "\x81\x5D" "]" "\x81\x5C" "\\";
// Only double-byte characters: no '[', ']' or '\\' character in it at all.
const char kOnlyTrails[] = "\x81\x5B\x81\x5D\x81\x5C";

std::string bytes(const CString& s) { return s.str(); }

TEST(CStringSearch, TrailBytesAreNeverTakenForSingleCharacters) {
  CString s(kTrails);
  ASSERT_EQ(s.GetLength(), 9);
  EXPECT_EQ(s.Find('['), 2);
  EXPECT_EQ(s.Find(']'), 5);
  EXPECT_EQ(s.Find('\\'), 8);
  EXPECT_EQ(s.ReverseFind('['), 2);
  EXPECT_EQ(s.ReverseFind(']'), 5);
  EXPECT_EQ(s.ReverseFind('\\'), 8);
  EXPECT_EQ(s.Find("["), 2);
  EXPECT_EQ(s.Find("]"), 5);
  EXPECT_EQ(s.Find("\\"), 8);
  EXPECT_EQ(s.FindOneOf("]\\"), 5);
  EXPECT_EQ(s.Find("\x81\x5D"), 3);

  CString only(kOnlyTrails);
  for (char c : {'[', ']', '\\'}) {
    EXPECT_EQ(only.Find(c), -1) << c;
    EXPECT_EQ(only.ReverseFind(c), -1) << c;
    EXPECT_EQ(only.Find(CString(c)), -1) << c;
  }
  EXPECT_EQ(only.FindOneOf("[]\\"), -1);
  // "[\x81" occurs at byte 1 but starts inside a character.
  EXPECT_EQ(only.Find("[\x81"), -1);
}

TEST(CStringSearch, StartIndexIsInclusiveAndBounded) {
  CString s("a,b,c");
  EXPECT_EQ(s.Find(',', 0), 1);
  EXPECT_EQ(s.Find(',', 1), 1);
  EXPECT_EQ(s.Find(',', 2), 3);
  EXPECT_EQ(s.Find(',', 4), -1);
  EXPECT_EQ(s.Find('c', 4), 4);
  EXPECT_EQ(s.Find('c', 5), -1);  // start at the length
  EXPECT_EQ(s.Find(',', -1), -1);
  EXPECT_EQ(s.Find("b,", 2), 2);
  EXPECT_EQ(s.Find("c", 5), -1);
  EXPECT_EQ(s.Find("", 5), 5);    // the string form allows start == length
  EXPECT_EQ(s.Find("", 6), -1);
  EXPECT_EQ(s.Find(",", -1), -1);
  EXPECT_EQ(CString().Find('a'), -1);
  EXPECT_EQ(CString().Find(""), 0);

  // A start inside a double-byte character looks from the next character on.
  CString t("\x81\x5B" "[x");
  EXPECT_EQ(t.Find('[', 1), 2);
  EXPECT_EQ(t.Find("[", 1), 2);
}

TEST(CStringExtract, OutOfRangeArgumentsAreClamped) {
  CString s("\xD6\xD0" "abc");  // a double-byte character, then three letters: 5 bytes
  struct Case {
    CString got;
    const char* want;
  } cases[] = {
      {s.Mid(2), "abc"},      {s.Mid(-3), "\xD6\xD0" "abc"}, {s.Mid(5), ""},   {s.Mid(9), ""},
      {s.Mid(1, 2), "\xD0" "a"}, {s.Mid(3, 99), "bc"},       {s.Mid(2, -1), ""}, {s.Mid(-2, 3), "\xD6\xD0" "a"},
      {s.Left(2), "\xD6\xD0"}, {s.Left(9), "\xD6\xD0" "abc"}, {s.Left(-1), ""},
      {s.Right(3), "abc"},     {s.Right(9), "\xD6\xD0" "abc"}, {s.Right(-1), ""}, {s.Right(0), ""},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) EXPECT_EQ(bytes(cases[i].got), cases[i].want) << "case " << i;

  EXPECT_EQ(bytes(CString("123abc").SpanIncluding("0123456789")), "123");
  EXPECT_EQ(bytes(CString("ab=cd").SpanExcluding("=;")), "ab");
  // The set's double-byte character stops the span; its trail byte ']' alone does not.
  EXPECT_EQ(bytes(CString("ab\x81\x5D]").SpanExcluding("\x81\x5D")), "ab");
  EXPECT_EQ(bytes(CString("ab\x81\x5D]").SpanExcluding("]")), "ab\x81\x5D");
}

TEST(CStringTrim, WhiteSpaceIsTheCSetAndDoubleByteCharactersStayWhole) {
  struct Case {
    const char* in;
    const char* both;
    const char* left;
    const char* right;
  } cases[] = {
      {" \t\xD6\xD0\xCE\xC4 \r\n", "\xD6\xD0\xCE\xC4", "\xD6\xD0\xCE\xC4 \r\n", " \t\xD6\xD0\xCE\xC4"},
      {"\v\fx\v\f", "x", "x\v\f", "\v\fx"},
      // The double-byte space A1A1 is not white space.
      {"\xA1\xA1" "a\xA1\xA1", "\xA1\xA1" "a\xA1\xA1", "\xA1\xA1" "a\xA1\xA1", "\xA1\xA1" "a\xA1\xA1"},
      {" \xA1\xA1 ", "\xA1\xA1", "\xA1\xA1 ", " \xA1\xA1"},
      {"   ", "", "", ""},
      {"", "", "", ""},
  };
  for (const Case& c : cases) {
    CString both(c.in), left(c.in), right(c.in);
    EXPECT_EQ(bytes(both.Trim()), c.both) << c.in;
    EXPECT_EQ(bytes(left.TrimLeft()), c.left) << c.in;
    EXPECT_EQ(bytes(right.TrimRight()), c.right) << c.in;
  }
}

TEST(CStringTrim, CharacterAndSetFormsMatchSingleBytesOnly) {
  // Trail byte 0x40 is '@': the double-byte character must survive trimming '@'.
  CString a("@@x\x81\x40@@");
  EXPECT_EQ(bytes(a.Trim('@')), "x\x81\x40");
  CString b("ab\x81\x40");
  EXPECT_EQ(bytes(b.TrimRight('@')), "ab\x81\x40");
  CString c("[x\x81\x5D]]");
  EXPECT_EQ(bytes(c.Trim("[]")), "x\x81\x5D");
  CString d("--==ab=-");
  EXPECT_EQ(bytes(d.TrimLeft("-=")), "ab=-");
  EXPECT_EQ(bytes(d.TrimRight("-=")), "ab");
  // Trimming removes runs of characters of the set, not the set as a substring.
  CString e("xyyx-zz");
  EXPECT_EQ(bytes(e.Trim("xy")), "-zz");
}

TEST(CStringFormat, PrintsAsTheCLibrary) {
  struct Case {
    double value;
    const char* want;
  } cases[] = {
      {1000, "1000"},     {0.5, "0.5"},       {1234567.8, "1.23457e+06"}, {1e-05, "1e-05"},
      {0.0001, "0.0001"}, {100000, "100000"}, {1e+06, "1e+06"},          {-0.0, "-0"},
      {1234565, "1.23456e+06"}, {1.015625, "1.01562"},
  };
  for (const Case& c : cases) {
    CString s;
    s.Format("%g", c.value);
    EXPECT_EQ(bytes(s), c.want) << c.value;
  }
  CString n;
  n.Format("%g|%g", std::nan(""), -HUGE_VAL);
  EXPECT_EQ(bytes(n), "nan|-inf");

  CString s;
  s.Format("%d,%5.2f,%s,%c,%x", -12, 3.14159, "\xD6\xD0", 'Z', 255);
  EXPECT_EQ(bytes(s), "-12, 3.14,\xD6\xD0,Z,ff");
  // The arguments may be the string being formatted.
  s = "ab";
  s.Format("%s-%s", (const char*)s, s.GetString());
  EXPECT_EQ(bytes(s), "ab-ab");
  s.AppendFormat("+%03d", 7);
  EXPECT_EQ(bytes(s), "ab-ab+007");
  std::string longText(5000, 'x');
  s.Format("%s!", longText.c_str());
  EXPECT_EQ(s.GetLength(), 5001);
}

TEST(CStringCompare, ByCharacterValueAndCaseFoldingOfSingleBytes) {
  EXPECT_EQ(CString("ABC").CompareNoCase("abc"), 0);
  EXPECT_LT(CString("a").CompareNoCase("B"), 0);
  EXPECT_GT(CString("abd").CompareNoCase("ABC"), 0);
  // '_' lies between 'Z' and 'a': below letters without case, above capitals with it.
  EXPECT_LT(CString("_").CompareNoCase("A"), 0);
  EXPECT_GT(CString("_").Compare("A"), 0);
  // Trail bytes in the letter range are part of the character, never case-folded.
  EXPECT_NE(CString("\x81\x41").CompareNoCase("\x81\x61"), 0);
  // A double-byte character (0x8140) is above every single byte, even 0xFF.
  EXPECT_EQ(CString("\x81\x40").Compare("\xFF"), 1);
  EXPECT_EQ(CString("\xFF").Compare("\x81\x40"), -1);
  EXPECT_EQ(CString("ab").Compare("abc"), -1);
  EXPECT_EQ(CString("abc").Compare("abc"), 0);

  EXPECT_TRUE(CString("\x81\x40") > CString("\xFF"));
}

TEST(CStringEdit, EditsRespectCharacterBoundaries) {
  CString s("a\x81\x5B[[b");
  EXPECT_EQ(s.Replace('[', '('), 2);
  EXPECT_EQ(bytes(s), "a\x81\x5B((b");
  EXPECT_EQ(s.Replace('(', '('), 0);

  CString t("x\x81\x5B[y[");
  EXPECT_EQ(t.Replace("[", "<>"), 2);
  EXPECT_EQ(bytes(t), "x\x81\x5B<>y<>");
  EXPECT_EQ(t.Replace("", "z"), 0);
  CString u("aaa");
  EXPECT_EQ(u.Replace("aa", "a"), 1);  // non-overlapping, left to right
  EXPECT_EQ(bytes(u), "aa");

  CString r("\x81\x5C\\a\\");
  EXPECT_EQ(r.Remove('\\'), 2);
  EXPECT_EQ(bytes(r), "\x81\x5C" "a");

  CString up("a\x81\x61z");
  EXPECT_EQ(bytes(up.MakeUpper()), "A\x81\x61Z");
  EXPECT_EQ(bytes(up.MakeLower()), "a\x81\x61z");
  CString rev("ab\xD6\xD0" "c");
  EXPECT_EQ(bytes(rev.MakeReverse()), "c\xD6\xD0" "ba");

  CString ins("ac");
  EXPECT_EQ(ins.Insert(99, "d") + ins.Insert(-5, "_"), 3 + 4);  // clamped to the ends
  EXPECT_EQ(bytes(ins), "_acd");
  EXPECT_EQ(ins.Delete(2, 99), 2);
  EXPECT_EQ(ins.Delete(-1, 1), 1);
  EXPECT_EQ(bytes(ins), "a");
}

TEST(CStringBuffer, GetBufferAndReleaseBuffer) {
  CString s;
  char* p = s.GetBuffer(16);
  std::strcpy(p, "hello");
  s.ReleaseBuffer();
  EXPECT_EQ(bytes(s), "hello");
  EXPECT_EQ(s.GetLength(), 5);

  p = s.GetBuffer(0);  // the current text, writable in place
  EXPECT_STREQ(p, "hello");
  p[0] = 'j';
  s.ReleaseBuffer(3);
  EXPECT_EQ(bytes(s), "jel");

  p = s.GetBufferSetLength(5);
  std::memcpy(p, "a\0bcd", 5);
  s.ReleaseBuffer(5);
  EXPECT_EQ(s.GetLength(), 5);
  s.ReleaseBuffer();  // up to the first zero byte
  EXPECT_EQ(bytes(s), "a");
}

TEST(CStringBasics, ZeroBytesAndPiecesOfItself) {
  EXPECT_EQ(CString("a\0b", 3).GetLength(), 3);
  CString s("abcde");
  s += s.GetString() + 3;  // appending a piece of itself
  EXPECT_EQ(bytes(s), "abcdede");
  s = s.GetString() + 1;  // assigning a piece of itself
  EXPECT_EQ(bytes(s), "bcdede");
  EXPECT_EQ(s[99], '\0');
}

// Long texts are shared between copies: every editing member must leave the other copies as
// they were, and pieces of a shared text handed back to it must still read correctly.
TEST(CStringSharing, EveryEditLeavesOtherCopiesAlone) {
  const std::string original = std::string(CString::kShareFrom, 'x') + " \x81\x5B tail ";
  using Edit = void (*)(CString&);
  const Edit edits[] = {
      [](CString& s) { s.SetAt(0, 'Q'); },
      [](CString& s) { s += "more"; },
      [](CString& s) { s += 'c'; },
      [](CString& s) { s.MakeUpper(); },
      [](CString& s) { s.MakeLower(); s.SetAt(1, 'z'); },
      [](CString& s) { s.MakeReverse(); },
      [](CString& s) { s.TrimRight(); },
      [](CString& s) { s.TrimLeft('x'); },
      [](CString& s) { s.Replace('x', 'y'); },
      [](CString& s) { s.Replace("xx", "y"); },
      [](CString& s) { s.Remove('x'); },
      [](CString& s) { s.Insert(3, "in"); },
      [](CString& s) { s.Delete(0, 10); },
      [](CString& s) { s.GetBuffer(0)[0] = 'B'; s.ReleaseBuffer(); },
      [](CString& s) { s.GetBufferSetLength(4)[0] = 'B'; s.ReleaseBuffer(); },
      [](CString& s) { s.Format("%s!", s.GetString()); },
      [](CString& s) { s.AppendFormat("%d", 7); },
      [](CString& s) { s.Empty(); },
  };
  for (std::size_t i = 0; i < std::size(edits); ++i) {
    CString a(original.c_str());
    CString b(a);
    CString c;
    c = b;
    edits[i](b);
    EXPECT_EQ(bytes(a), original) << "edit " << i;
    EXPECT_EQ(bytes(c), original) << "edit " << i;
    EXPECT_NE(bytes(b), original) << "edit " << i;
  }
}

TEST(CStringSharing, PiecesOfASharedTextAndCopiesOnOtherThreads) {
  const std::string original(CString::kShareFrom * 2, 'a');
  CString s(original.c_str());
  CString keep(s);
  s = s.GetString() + 10;  // a piece of its own shared bytes
  EXPECT_EQ(bytes(s), original.substr(10));
  s += s.GetString();  // itself, appended
  EXPECT_EQ(s.GetLength(), 2 * (static_cast<int>(original.size()) - 10));
  EXPECT_EQ(bytes(keep), original);

  // Copies made, changed and dropped on several threads at once; the source never changes.
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&keep, t] {
      for (int i = 0; i < 2000; ++i) {
        CString mine(keep);
        if (i % 2) mine.SetAt(0, static_cast<char>('0' + t));
        CString other = mine;
      }
    });
  for (auto& th : threads) th.join();
  EXPECT_EQ(bytes(keep), original);
}

}  // namespace
