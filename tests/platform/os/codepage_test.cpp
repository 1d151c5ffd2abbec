// Code page 936 <-> UTF-8: known answers, replacement of bad input, round trips, threads.
#include "contura/os/codepage.h"

#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

using contura::os::cp936ToUtf8;
using contura::os::isValidCp936;
using contura::os::utf8ToCp936;

namespace {

// UTF-8 bytes of a u8 literal (u8 literals stay UTF-8 whatever the execution character set).
std::string u8s(const char8_t* s) { return std::string(reinterpret_cast<const char*>(s)); }

const std::string kFffd = "\xEF\xBF\xBD";

struct Pair {
  std::string cp936;
  std::string utf8;
};

}  // namespace

TEST(CodePage, ChineseTextConvertsBothWays) {
  // This file is compiled to CP936, so the plain literals are the module's own bytes.
  ASSERT_EQ(std::string("中文"), "\xD6\xD0\xCE\xC4");
  const std::vector<Pair> table = {
      {"中文", u8s(u8"中文")},
      {"没有选中构件！", u8s(u8"没有选中构件！")},
      {"异形截面 ABC 123", u8s(u8"异形截面 ABC 123")},
      {"增加\r\n[SecType]\n", u8s(u8"增加\r\n[SecType]\n")},
      {"\x80", u8s(u8"€")},                // single-byte euro of the Windows code page
      {"\x95\x5C", u8s(u8"昞")},           // trail byte equal to '\'
      {"\xA1\xA1", u8s(u8"\u3000")},       // ideographic space
      {std::string("a\0中", 4), std::string("a\0", 2) + u8s(u8"中")},
  };
  for (const auto& p : table) {
    EXPECT_EQ(cp936ToUtf8(p.cp936), p.utf8) << p.utf8;
    EXPECT_EQ(utf8ToCp936(p.utf8), p.cp936) << p.utf8;
    EXPECT_TRUE(isValidCp936(p.cp936)) << p.utf8;
  }
}

TEST(CodePage, AsciiPassesThroughUnchanged) {
  std::string all;
  for (int c = 0; c < 0x80; ++c) all += static_cast<char>(c);
  EXPECT_EQ(cp936ToUtf8(all), all);
  EXPECT_EQ(utf8ToCp936(all), all);
  EXPECT_TRUE(isValidCp936(all));
  EXPECT_EQ(cp936ToUtf8(""), "");
  EXPECT_EQ(utf8ToCp936(""), "");
  EXPECT_TRUE(isValidCp936(""));
}

TEST(CodePage, UndefinedCp936BytesBecomeOneReplacementEach) {
  const std::vector<Pair> table = {
      {"\xFF", kFffd},                                   // never a lead byte
      {"A\xAA\xA1" "B", "A" + kFffd + "B"},              // lead+trail pair with no character
      {"\x81\x30", kFffd + "0"},                         // lead byte before a non-trail byte
      {"AB\xD6", "AB" + kFffd},                          // lone lead byte at the end
      {"\xD6\xD0\xD6", u8s(u8"中") + kFffd},             // character, then lone lead byte
      {"\xA1\x7F" "x", kFffd + "\x7F" "x"},              // 0x7F is never a trail byte
      {"\xFF\xFF\xD6\xD0", kFffd + kFffd + u8s(u8"中")}, // decoding resumes after bad bytes
  };
  for (const auto& p : table) {
    EXPECT_EQ(cp936ToUtf8(p.cp936), p.utf8);
    EXPECT_FALSE(isValidCp936(p.cp936));
  }
}

TEST(CodePage, UnencodableOrMalformedUtf8BecomesQuestionMarks) {
  const std::vector<Pair> table = {
      {"a?b", u8s(u8"a😀b")},                 // outside the code page
      {"?", kFffd},                           // the replacement character itself
      {"\xA8\xA6", u8s(u8"é")},               // pinyin letter that the code page has
      {"x?", "x\xC3"},                        // truncated at the end
      {"?A", "\xE4\xB8" "A"},                 // truncated before ASCII: one '?'
      {"??", "\x80\xBF"},                     // stray continuation bytes
      {"???", "\xED\xA0\x80"},                // encoded surrogate
      {"??", "\xC0\xAF"},                     // overlong '/'
      {"中??", u8s(u8"中") + "\xF5\x80"},      // never a lead byte, then a stray continuation
  };
  for (const auto& p : table) EXPECT_EQ(utf8ToCp936(p.utf8), p.cp936) << p.cp936;
}

TEST(CodePage, EveryDefinedDoubleByteCharacterRoundTrips) {
  int defined = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      const std::string ch{static_cast<char>(lead), static_cast<char>(trail)};
      if (!isValidCp936(ch)) {
        EXPECT_EQ(cp936ToUtf8(ch), kFffd);
        continue;
      }
      ++defined;
      EXPECT_EQ(utf8ToCp936(cp936ToUtf8(ch)), ch) << std::hex << lead << ' ' << trail;
    }
  }
  // GBK defines 21886 double-byte characters.
  EXPECT_GT(defined, 21000);
}

TEST(CodePage, LongTextCrossesConversionBuffers) {
  // Several kilobytes of output, with a bad byte placed past the first buffers.
  std::string cp936, utf8;
  for (int i = 0; i < 3000; ++i) {
    cp936 += "截面a";
    utf8 += u8s(u8"截面a");
  }
  EXPECT_EQ(cp936ToUtf8(cp936), utf8);
  EXPECT_EQ(utf8ToCp936(utf8), cp936);
  EXPECT_EQ(cp936ToUtf8(cp936 + "\xFF" + cp936), utf8 + kFffd + utf8);
  EXPECT_EQ(utf8ToCp936(utf8 + "\xFF" + utf8), cp936 + "?" + cp936);
}

TEST(CodePage, ThreadsConvertIndependently) {
  const std::vector<Pair> work = {{"中文", u8s(u8"中文")},
                                  {"异形截面\xFF", u8s(u8"异形截面") + kFffd},
                                  {"没有选中构件！", u8s(u8"没有选中构件！")},
                                  {"AB\xD6", "AB" + kFffd}};
  std::vector<int> failures(work.size(), 0);
  std::vector<std::thread> threads;
  for (std::size_t t = 0; t < work.size(); ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 2000; ++i) {
        // A lone lead byte at the end leaves no state behind for the next call.
        if (cp936ToUtf8(work[t].cp936) != work[t].utf8) ++failures[t];
        if (utf8ToCp936(work[(t + 1) % work.size()].utf8).empty()) ++failures[t];
      }
    });
  }
  for (auto& th : threads) th.join();
  for (int f : failures) EXPECT_EQ(f, 0);
}
