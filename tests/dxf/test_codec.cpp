// DXF versions and string encoding: code pages, \U+XXXX and \M+nXXXX escapes, carets.
#include <contura/dxf/codec.h>

#include <gtest/gtest.h>

using namespace contura::dxf;

namespace {
// 中文 in code page 936 and in UTF-8; Thai ก (U+0E01) is not in code page 936.
const std::string kZhongWenGbk = "\xD6\xD0\xCE\xC4";
const std::string kZhongWenUtf8 = "\xE4\xB8\xAD\xE6\x96\x87";
const std::string kThaiUtf8 = "\xE0\xB8\x81";
// U+1F600 (outside the basic plane).
const std::string kSmileUtf8 = "\xF0\x9F\x98\x80";

TextCodec codecFor(DxfVersion v, const char* codePage) {
  TextCodec c;
  EXPECT_TRUE(c.setFileEncoding(v, codePage)) << codePage;
  return c;
}
}  // namespace

TEST(DxfVersions, NamesAndAcadVerAgree) {
  const std::pair<const char*, DxfVersion> table[] = {
      {"AC1009", DxfVersion::R12},   {"AC1012", DxfVersion::R13},   {"AC1014", DxfVersion::R14},
      {"AC1015", DxfVersion::R2000}, {"AC1018", DxfVersion::R2004}, {"AC1021", DxfVersion::R2007},
      {"AC1024", DxfVersion::R2010}, {"AC1027", DxfVersion::R2013}, {"AC1032", DxfVersion::R2018},
  };
  for (auto [acad, version] : table) {
    DxfVersion v{};
    ASSERT_TRUE(versionFromAcadVer(acad, v));
    EXPECT_EQ(v, version);
    EXPECT_STREQ(acadVerOf(version), acad);
    ASSERT_TRUE(versionFromName(nameOf(version), v));
    EXPECT_EQ(v, version);
  }
  DxfVersion v{};
  EXPECT_TRUE(versionFromAcadVer("AC1006", v));  // R10 reads as R12
  EXPECT_EQ(v, DxfVersion::R12);
  EXPECT_TRUE(versionFromAcadVer("AC1040", v));  // newer than known reads as R2018
  EXPECT_EQ(v, DxfVersion::R2018);
  EXPECT_TRUE(versionFromName("2007", v));
  EXPECT_EQ(v, DxfVersion::R2007);
  EXPECT_TRUE(versionFromName("r2000", v));
  EXPECT_EQ(v, DxfVersion::R2000);
  EXPECT_FALSE(versionFromName("R2005", v));
  EXPECT_FALSE(versionFromName("AC1016", v));
  EXPECT_FALSE(versionFromAcadVer("hello!", v));
  EXPECT_FALSE(isUtf8Version(DxfVersion::R2004));
  EXPECT_TRUE(isUtf8Version(DxfVersion::R2007));
}

TEST(TextCodec, Cp936FilesKeepBytesAndResolveEscapes) {
  TextCodec c = codecFor(DxfVersion::R2004, "ANSI_936");
  EXPECT_EQ(c.decode(kZhongWenGbk + " abc"), kZhongWenGbk + " abc");
  EXPECT_EQ(c.decode("\\U+4E2D\\u+6587"), kZhongWenGbk);
  EXPECT_EQ(c.decode("x\\U+0E01y"), "x\\U+0E01y");  // no such character in code page 936
  EXPECT_EQ(c.decode("x\\u+0e01y"), "x\\U+0E01y");  // kept in one spelling
  EXPECT_EQ(c.decode("\\M+5D6D0"), "\xD6\xD0");
  EXPECT_EQ(c.decode("a^Jb^ c^Id"), "a\nb^c\td");
  // 0x955C is one double-byte character whose second byte is a backslash; what follows it
  // is plain text, not an escape.
  EXPECT_EQ(c.decode("\x95\x5CU+4E2D"), "\x95\x5CU+4E2D");
  EXPECT_EQ(c.decode("\x95^J"), "\x95^J");
  EXPECT_EQ(c.encode(kZhongWenGbk + "\\U+0E01"), kZhongWenGbk + "\\U+0E01");
}

TEST(TextCodec, Utf8FilesMapToCp936WithEscapesForTheRest) {
  TextCodec c = codecFor(DxfVersion::R2018, "ANSI_936");
  EXPECT_EQ(c.decode(kZhongWenUtf8), kZhongWenGbk);
  EXPECT_EQ(c.decode(kThaiUtf8), "\\U+0E01");
  EXPECT_EQ(c.decode(kSmileUtf8), "\\U+D83D\\U+DE00");
  EXPECT_EQ(c.decode("\\U+4E2D"), "\xD6\xD0");
  EXPECT_EQ(c.encode(kZhongWenGbk), kZhongWenUtf8);
  EXPECT_EQ(c.encode("\\U+0E01"), kThaiUtf8);
  EXPECT_EQ(c.encode("\\U+D83D\\U+DE00"), kSmileUtf8);
  EXPECT_EQ(c.decode("\xFF\xFE"), "??");  // broken UTF-8 gives replacement marks, no crash
}

TEST(TextCodec, OtherCodePagesGoThroughUnicode) {
  TextCodec latin = codecFor(DxfVersion::R2000, "ANSI_1252");
  std::string eAcute = latin.decode("caf\xE9");
  EXPECT_EQ(latin.encode(eAcute), "caf\xE9");
  EXPECT_EQ(latin.decode("\\U+4E2D"), "\xD6\xD0");
  EXPECT_EQ(latin.encode(kZhongWenGbk), "\\U+4E2D\\U+6587");

  TextCodec big5 = codecFor(DxfVersion::R14, "ANSI_950");
  // 中 in Big5 is A4A4.
  EXPECT_EQ(big5.decode("\xA4\xA4"), "\xD6\xD0");
  EXPECT_EQ(big5.encode("\xD6\xD0"), "\xA4\xA4");

  TextCodec unknown;
  EXPECT_FALSE(unknown.setFileEncoding(DxfVersion::R2000, "NO_SUCH_PAGE"));
  EXPECT_EQ(unknown.decode("abc"), "abc");
}

TEST(TextCodec, EncodeThenDecodeGivesTheDrawingTextBack) {
  const std::string texts[] = {
      "plain", kZhongWenGbk, "a\nb\r\tc", "x^J literal", "^", "a^", "^^", "^\n", "tab\tend^ ",
      "\\U+0E01" + kZhongWenGbk, "\\U+D83D\\U+DE00", "back\\slash", "\x95\x5C" "after",
  };
  const std::pair<DxfVersion, const char*> encodings[] = {
      {DxfVersion::R2004, "ANSI_936"}, {DxfVersion::R2018, ""}, {DxfVersion::R2000, "ANSI_1252"},
      {DxfVersion::R12, "ANSI_932"},
  };
  for (auto [version, page] : encodings) {
    TextCodec c = codecFor(version, page);
    for (const std::string& t : texts) {
      std::string file = c.encode(t);
      EXPECT_EQ(file.find('\n'), std::string::npos) << page;
      EXPECT_EQ(file.find('\r'), std::string::npos) << page;
      EXPECT_EQ(c.decode(file), t) << page << " '" << t << "' as '" << file << "'";
    }
  }
}
