// Tests of the section text helpers: splitting, record blocks, key lookup and the readers of
// numbers, points, vertices and colours, with multi-byte text and malformed values.
#include "SectionTextHelpers.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

namespace {

std::vector<std::string> items(const CStringArray& a) {
  std::vector<std::string> v;
  for (INT_PTR i = 0; i < a.GetSize(); ++i) v.emplace_back(a[i].GetString(), a[i].GetLength());
  return v;
}

std::vector<std::string> split(const char* s, char sep) {
  CStringArray out;
  out.Add("stale");  // the helper empties its output first
  splitText(out, s, sep);
  return items(out);
}

std::vector<std::string> records(const CString& text) {
  CStringArray out;
  out.Add("stale");
  splitRecords(out, text);
  return items(out);
}

using V = std::vector<std::string>;

// Double-byte characters of code page 936 whose trail byte is a separator of the format.
const char kTrailOpen[] = "\xD6\x5B";   // trail byte '['
const char kTrailClose[] = "\xD6\x5D";  // 謁, trail byte ']'

// Pieces are trimmed and there is always at least one; an empty piece ends the splitting;
// double-byte characters are never cut or trimmed.
TEST(SplitText, TableOfCases) {
  const std::string trailOpen = std::string("a") + kTrailOpen + "b[c";
  const struct {
    std::string text;
    char sep;
    V pieces;
  } cases[] = {
      {"a;b;c", ';', {"a", "b", "c"}},
      {"  a ;\tb \r\n; c  ", ';', {"a", "b", "c"}},
      {"", ';', {""}},
      {"  solo  ", ';', {"solo"}},
      {"a;", ';', {"a", ""}},
      {"a; ", ';', {"a", ""}},
      // A separator at the start: the whole text, trimmed, is the one element.
      {";a;b", ';', {";a;b"}},
      // Two separators in a row: the rest from the second one on is the last element.
      {"a;;b;c", ';', {"a", ";b;c"}},
      // An empty line ends the cutting into lines, but a carriage return before the line
      // feed does not: it trims to an empty element.
      {"x\n\ny\nz", '\n', {"x", "y\nz"}},
      {"x\r\n\r\ny", '\n', {"x", "", "y"}},
      // A trail byte equal to the separator is part of its character.
      {trailOpen, '[', {std::string("a") + kTrailOpen + "b", "c"}},
      // The double-byte space A1A1 is not white space.
      {"\xA1\xA1x\xA1\xA1; y", ';', {"\xA1\xA1x\xA1\xA1", "y"}},
      // A lead byte takes the next byte with it, even a blank: "\x81 " is one character;
      // after a whole double-byte character (an even run of lead-range bytes) blanks go.
      {"a\x81 ;b", ';', {"a\x81 ", "b"}},
      {"a\x81  \t", ';', {"a\x81 "}},
      {"a\xD6\xD0 \t", ';', {"a\xD6\xD0"}},
      {"\xD6\xD0\xCE\xC4\x81 \r\n", '\n', {"\xD6\xD0\xCE\xC4\x81 ", ""}},
      {"\xD6\xD0\xCE\xC4 \r\n", '\n', {"\xD6\xD0\xCE\xC4", ""}},
  };
  for (const auto& c : cases) EXPECT_EQ(split(c.text.c_str(), c.sep), c.pieces) << c.text;
  // The same bytes trimmed by CString agree.
  CString c("x\x81\x81\x81 \t");
  c.Trim();
  EXPECT_EQ(split("x\x81\x81\x81 \t", ';'), (V{std::string(c.GetString())}));
}

TEST(LeftRightOf, FirstOccurrenceAndAbsentSeparator) {
  EXPECT_STREQ(leftOf("12,34,56", ','), "12");
  EXPECT_STREQ(rightOf("12,34,56", ','), "34,56");
  EXPECT_STREQ(leftOf("1234", ','), "");
  EXPECT_STREQ(rightOf("1234", ','), "1234");
  EXPECT_STREQ(leftOf(",x", ','), "");
  EXPECT_STREQ(rightOf("x,", ','), "");
  std::string s = std::string(kTrailClose) + "]z";
  EXPECT_EQ(std::string(leftOf(s.c_str(), ']')), kTrailClose);
  EXPECT_STREQ(rightOf(s.c_str(), ']'), "z");
}

// Blocks begin at headers that start a line; brackets inside values stay in their block; a
// lead byte takes the line feed after it; text before the first header is a block of its own.
TEST(SplitRecords, TableOfCases) {
  const struct {
    std::string text;
    V blocks;
  } cases[] = {
      {"[Line]\nPoint=0,0;1000,0\nColor=255,0,0\nLayer=0\n\n"
       "[Circle]\nCenter=500,300\nRadius=150\nColor=255,0,0\nLayer=0\n",
       {"[Line]\nPoint=0,0;1000,0\nColor=255,0,0\nLayer=0", "[Circle]\nCenter=500,300\nRadius=150\nColor=255,0,0\nLayer=0"}},
      {"[Text]\nValue=a [b] [Line]\nHeight=2\n[Line]\nPoint=1,2;3,4\n",
       {"[Text]\nValue=a [b] [Line]\nHeight=2", "[Line]\nPoint=1,2;3,4"}},
      // A double-byte character whose trail byte is '[' at the start of a line is no header.
      {std::string("[Text]\nValue=x\n") + kTrailOpen + "Line]\n", {std::string("[Text]\nValue=x\n") + kTrailOpen + "Line]"}},
      // "\x81\n" is one character, so the '[' after it does not start a line; after a whole
      // double-byte character it does.
      {"[A]\nk=\x81\n[B]\n", {"[A]\nk=\x81\n[B]"}},
      {"[A]\nk=\xD6\xD0\n[B]\n", {"[A]\nk=\xD6\xD0", "[B]"}},
      {"[A]\nk=\xD6\xD0\xD6\n[B]\n", {"[A]\nk=\xD6\xD0\xD6\n[B]"}},
      {"[A]\r\nk=1\r\n\r\n \t[B]\r\nk=2\r\n", {"[A]\r\nk=1", "[B]\r\nk=2"}},
      // A header indented on the very first line is not a header start, but the block trims to it.
      {"  [A]\nk=1", {"[A]\nk=1"}},
      {"", {""}},
      {"[", {"["}},
      {"junk\n[A]\nk=1", {"junk", "[A]\nk=1"}},
      // The library header record begins with a line feed: an empty first block.
      {"\n[SecType]\nName=n\n[Line]\n", {"", "[SecType]\nName=n", "[Line]"}},
      {"[A][B]\n", {"[A][B]"}},  // headers on one line do not split
  };
  for (const auto& c : cases) EXPECT_EQ(records(CString(c.text.c_str())), c.blocks) << c.text;
  // The same rule for the other separators: a comma taken by a lead byte separates nothing.
  EXPECT_EQ(split("\xD6,a,b", ','), (V{"\xD6,a", "b"}));
  EXPECT_STREQ(leftOf("\xD6\xD0,x", ','), "\xD6\xD0");
}

TEST(RecordName, NameUpToTheFirstClosingBracket) {
  EXPECT_STREQ(recordName("[Line]\nPoint=1,2;3,4"), "Line");
  EXPECT_STREQ(recordName("[]"), "");
  EXPECT_STREQ(recordName("Line]"), "");
  EXPECT_STREQ(recordName(""), "");
  EXPECT_STREQ(recordName("[Line\nPoint=1,2;3,4"), "");  // no ']' at all
  std::string s = std::string("[") + kTrailClose + "]\nk=1";
  EXPECT_EQ(std::string(recordName(s.c_str())), kTrailClose);
}

TEST(KeyValues, LookupRules) {
  CStringArray lines;
  for (const char* l : {"[Text]", "", "noequals", "value=a=b", "Value=second", "Key = spaced",
                        "Remark=one", "Remark=", "REMARK=three", "\xD6\xD0=cn"})
    lines.Add(l);
  EXPECT_STREQ(getKeyValue(lines, "Value"), "a=b");        // first match, case-blind, '=' kept
  EXPECT_STREQ(getKeyValue(lines, "Key"), "");             // blanks round '=' do not match
  EXPECT_STREQ(getKeyValue(lines, "Key "), " spaced");     // the key is not trimmed
  EXPECT_STREQ(getKeyValue(lines, "Missing"), "");
  EXPECT_STREQ(getKeyValue(lines, "noequals"), "");
  EXPECT_STREQ(getKeyValue(lines, "\xD6\xD0"), "cn");
  EXPECT_STREQ(getKeyValues(lines, "Remark"), "one\n\nthree");
  EXPECT_STREQ(getKeyValues(lines, "Missing"), "");
  CStringArray none;
  EXPECT_STREQ(getKeyValue(none, "Value"), "");
}

TEST(Numbers, ReadLikeTheCRuntime) {
  std::setlocale(LC_NUMERIC, "C");
  for (const char* s : {"0", "1000", "0.5", "-0", "1.23457e+06", "1.23457e+006", "  42xyz", "+.5",
                        "-.25e2", "1e", "1e+", ".", "", "abc", "--5", "+-5", "-+5", "1,5", "inf",
                        "-infinity", "0x1p3", "-0X10", "1e999", "1e-999", "\t\n 7", "3.", "5e-1,2"}) {
    double expected = std::atof(s);
    double got = textToDouble(s);
    EXPECT_TRUE(std::memcmp(&expected, &got, sizeof got) == 0) << '"' << s << "\" " << expected << " " << got;
    EXPECT_EQ(textToLong(s), std::atol(s)) << '"' << s << '"';
  }
  EXPECT_TRUE(std::isnan(textToDouble("nan")));
  EXPECT_EQ(textToLong("99999999999999999999"), std::strtol("99999999999999999999", nullptr, 10));
  EXPECT_EQ(textToDouble(nullptr), 0.0);
}

TEST(Points, TwoNumbersSeparatedByACommaAndVerticesOfFive) {
  // A third number is ignored; numbers whose comma is missing read as 0.
  const std::pair<const char*, AcGePoint3d> points[] = {
      {"1.5,-2", {1.5, -2, 0}}, {"1234567.8,0.5,0.414214", {1234567.8, 0.5, 0}}, {" 3 , 4 ", {3, 4, 0}},
      {"5", {5, 0, 0}}, {"", {0, 0, 0}}};
  for (const auto& [text, expected] : points) {
    EXPECT_EQ(parsePoint(text), expected) << text;
    AcGePoint2d q(9, 9);
    parsePoint(q, text);
    EXPECT_EQ(q, AcGePoint2d(expected.x, expected.y)) << text;
  }
  struct Vertex { const char* text; double x, y, bulge, sw, ew; };
  for (const Vertex& v : {Vertex{"1,2,0.414214,-2,3.5", 1, 2, 0.414214, -2, 3.5}, Vertex{"1,2,0.5", 1, 2, 0.5, 0, 0},
                          Vertex{"", 0, 0, 0, 0, 0}}) {
    AcGePoint2d pt(9, 9);
    double bulge = 9, sw = 9, ew = 9;
    parseVertex(pt, bulge, sw, ew, v.text);
    EXPECT_EQ((std::vector<double>{pt.x, pt.y, bulge, sw, ew}), (std::vector<double>{v.x, v.y, v.bulge, v.sw, v.ew}))
        << v.text;
  }
}

}  // namespace
