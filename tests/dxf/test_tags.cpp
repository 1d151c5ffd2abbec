// Tag reader and writer: types, line numbers, line ends, malformed input, number formats.
#include <contura/dxf/tags.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>
#include <vector>

using namespace contura::dxf;

namespace {

struct Read {
  std::vector<Tag> tags;
  DxfError error;
};

Read readAll(const std::string& text) {
  Read r;
  TagReader reader(text);
  Tag t;
  while (reader.next(t)) r.tags.push_back(t);
  r.error = reader.error();
  return r;
}

}  // namespace

TEST(TagReader, ReadsTypedValuesWithLineNumbers) {
  const std::string text =
      "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n105\n1A2b\n  8\n layer with spaces \n"
      " 10\n  1.5e2\n 20\n-.25\n 30\n+3\n 62\n     7\n 90\n4000000000\n160\n-9000000000\n"
      "290\n1\n330\n0\n1071\n-5\n310\n00FF\n";
  Read r = readAll(text);
  ASSERT_FALSE(r.error.failed()) << r.error.text();
  ASSERT_EQ(r.tags.size(), 15u);
  EXPECT_EQ(r.tags[0].code, 0);
  EXPECT_EQ(r.tags[0].text, "SECTION");
  EXPECT_EQ(r.tags[0].line, 1u);
  EXPECT_EQ(r.tags[3].type, TagType::Handle);
  EXPECT_EQ(r.tags[3].handle, 0x1A2Bu);
  EXPECT_EQ(r.tags[3].line, 7u);
  EXPECT_EQ(r.tags[4].text, " layer with spaces ");  // strings keep their blanks
  EXPECT_EQ(r.tags[5].real, 150.0);
  EXPECT_EQ(r.tags[5].text, "1.5e2");
  EXPECT_EQ(r.tags[6].real, -0.25);
  EXPECT_EQ(r.tags[7].real, 3.0);
  EXPECT_EQ(r.tags[8].type, TagType::Int16);
  EXPECT_EQ(r.tags[8].integer, 7);
  EXPECT_EQ(r.tags[9].integer, 4000000000);  // unsigned 32-bit values are kept
  EXPECT_EQ(r.tags[10].type, TagType::Int64);
  EXPECT_EQ(r.tags[10].integer, -9000000000);
  EXPECT_EQ(r.tags[11].type, TagType::Bool);
  EXPECT_EQ(r.tags[12].handle, 0u);
  EXPECT_EQ(r.tags[13].integer, -5);
  EXPECT_EQ(r.tags[14].type, TagType::Binary);
  EXPECT_EQ(r.tags[14].line, 29u);
}

TEST(TagReader, LineEndsDoNotChangeTags) {
  const std::string lf = "  0\nTEXT\n  1\nabc \n 40\n2.5\n  0\nEOF\n";
  std::string crlf, cr;
  for (char c : lf) {
    crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    cr += c == '\n' ? '\r' : c;
  }
  cr += "\r\r";  // blank lines after the last tag are harmless
  Read a = readAll(lf), b = readAll(crlf), c = readAll(cr);
  ASSERT_FALSE(b.error.failed()) << b.error.text();
  ASSERT_FALSE(c.error.failed()) << c.error.text();
  ASSERT_EQ(a.tags.size(), 4u);
  for (const Read* other : {&b, &c}) {
    ASSERT_EQ(other->tags.size(), a.tags.size());
    for (std::size_t i = 0; i < a.tags.size(); ++i) {
      EXPECT_EQ(other->tags[i].code, a.tags[i].code);
      EXPECT_EQ(other->tags[i].text, a.tags[i].text);
      EXPECT_EQ(other->tags[i].line, a.tags[i].line);
    }
  }
}

// A tag pushed back comes again once; after an error the reader stops for good.
TEST(TagReader, PushBackAndStopAfterAnError) {
  TagReader reader("  0\nA\n  0\nB\nbad\nC\n  0\nD\n");
  Tag t;
  ASSERT_TRUE(reader.next(t));
  reader.pushBack();
  EXPECT_FALSE(reader.atEnd());
  ASSERT_TRUE(reader.next(t));
  EXPECT_EQ(t.text, "A");
  ASSERT_TRUE(reader.next(t));
  EXPECT_EQ(t.text, "B");
  EXPECT_FALSE(reader.next(t));
  EXPECT_FALSE(reader.next(t));
  EXPECT_EQ(reader.error().line, 5u);
}

// (A bad group code, a tag without its value and a huge number are also files of the
// malformed corpus.)
TEST(TagReader, MalformedInputNamesTheLine) {
  struct Case {
    const char* text;
    std::uint32_t line;
    const char* words;
  };
  const Case cases[] = {
      {"  0\nLINE\n 1 0\nx\n", 3, "expected a group code"},
      {"  0\nLINE\n5000\nx\n", 3, "group code 5000 is out of range"},
      {"  0\nLINE\n-3\nx\n", 3, "out of range"},
      {"  0\nLINE\n 10\n1.0.0\n", 4, "bad number '1.0.0' for group code 10"},
      {"  0\nLINE\n 40\nnan\n", 4, "bad number"},
      {"  0\nLINE\n 40\n\n", 4, "bad number"},
      {"  0\nLINE\n 62\n99999\n", 4, "out of range for group code 62"},
      {"  0\nLINE\n 90\n99999999999\n", 4, "out of range for group code 90"},
      {"  0\nLINE\n160\n999999999999999999999999\n", 4, "bad integer"},
      {"  0\nLINE\n 70\n1.5\n", 4, "bad integer"},
      {"  0\nLINE\n105\nXYZ\n", 4, "bad handle 'XYZ' for group code 105"},
      {"  0\nLINE\n330\n12345678901234567\n", 4, "bad handle"},
      {"  0\nLINE\n\n  8\n0\n", 3, "expected a group code"},
  };
  for (const Case& c : cases) {
    Read r = readAll(c.text);
    EXPECT_TRUE(r.error.failed()) << c.text;
    EXPECT_EQ(r.error.line, c.line) << c.text;
    EXPECT_NE(r.error.message.find(c.words), std::string::npos) << r.error.text();
  }
}

// (Binary DXF, NUL bytes and missing files are cases of the drawing tests.)
TEST(DxfText, AByteOrderMarkIsDropped) {
  DxfError e;
  std::string bom = "\xEF\xBB\xBF  0\nEOF\n";
  EXPECT_TRUE(checkDxfText(bom, e));
  EXPECT_EQ(bom, "  0\nEOF\n");
}

TEST(TagFormat, ShortestRealsReadBackExactly) {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> mant(-1.0, 1.0);
  std::uniform_int_distribution<int> expo(-300, 300);
  for (int i = 0; i < 20000; ++i) {
    double v = std::ldexp(mant(rng), expo(rng) / 3);
    if (i % 3 == 0) v = std::round(v * 1000) / 1000;  // values people type
    std::string s = formatReal(v);
    double back = 0;
    ASSERT_TRUE(parseReal(s, back)) << s;
    ASSERT_EQ(back, v) << s;
    ASSERT_LE(s.size(), 24u);
  }
  EXPECT_EQ(formatReal(0.1), "0.1");
  EXPECT_EQ(formatReal(100.0), "100");
  EXPECT_EQ(formatReal(1e22), "1e+22");
  EXPECT_EQ(formatHandle(0x2AFull), "2AF");
  EXPECT_EQ(formatHandle(0xFFFFFFFFFFFFFFFFull), "FFFFFFFFFFFFFFFF");
  std::uint64_t h = 0;
  EXPECT_TRUE(parseHandle("ffffffffffffffff", h));
  EXPECT_EQ(h, 0xFFFFFFFFFFFFFFFFull);
}

TEST(TagWriter, FormatsGroupCodesAndReadsBack) {
  TagWriter w;
  w.string(0, "LINE");
  w.handle(105, 0xABC);
  w.integer(62, -7);
  w.point(10, 1.25, -2, 1e-9);
  w.real(40, 1.0 / 3.0);
  w.integer(1071, 123456);
  ASSERT_TRUE(w.finish());
  EXPECT_EQ(w.text().substr(0, 24), "  0\r\nLINE\r\n105\r\nABC\r\n 62");
  EXPECT_NE(w.text().find("\r\n1071\r\n123456\r\n"), std::string::npos);
  Read r = readAll(w.text());
  ASSERT_FALSE(r.error.failed()) << r.error.text();
  ASSERT_EQ(r.tags.size(), 8u);
  EXPECT_EQ(r.tags[1].handle, 0xABCu);
  EXPECT_EQ(r.tags[2].integer, -7);
  EXPECT_EQ(r.tags[3].real, 1.25);
  EXPECT_EQ(r.tags[4].code, 20);
  EXPECT_EQ(r.tags[5].code, 30);
  EXPECT_EQ(r.tags[5].real, 1e-9);
  EXPECT_EQ(r.tags[6].real, 1.0 / 3.0);
  EXPECT_EQ(r.tags[7].integer, 123456);
}

TEST(TagWriter, FileOutputMatchesCollectedText) {
  std::FILE* f = std::tmpfile();
  ASSERT_NE(f, nullptr);
  TagWriter toFile(f), toText;
  for (int i = 0; i < 20000; ++i) {  // several flush blocks
    toFile.real(10, i * 0.5);
    toText.real(10, i * 0.5);
  }
  ASSERT_TRUE(toFile.finish());
  ASSERT_TRUE(toText.finish());
  std::string written(static_cast<std::size_t>(std::ftell(f)), '\0');
  std::rewind(f);
  ASSERT_EQ(std::fread(written.data(), 1, written.size(), f), written.size());
  std::fclose(f);
  EXPECT_EQ(written, toText.text());
}
