// The C runtime's multi-byte functions and the generic-text names mapped onto them.
#include <gtest/gtest.h>
#include <tchar.h>

namespace {

const unsigned char* u(const char* s) { return reinterpret_cast<const unsigned char*>(s); }
std::ptrdiff_t at(const unsigned char* found, const char* s) { return found ? found - u(s) : -1; }

TEST(MbcsClassify, LeadAndTrailRangesOfCodePage936) {
  struct Case {
    unsigned int c;
    int lead;
    int trail;
  } cases[] = {
      {0x00, 0, 0}, {0x3F, 0, 0}, {0x40, 0, 1}, {0x5B, 0, 1}, {0x7E, 0, 1}, {0x7F, 0, 0},
      {0x80, 0, 1}, {0x81, 1, 1}, {0xA1, 1, 1}, {0xFE, 1, 1}, {0xFF, 0, 0}, {0x181, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(_ismbblead(c.c), c.lead) << std::hex << c.c;
    EXPECT_EQ(_ismbbtrail(c.c), c.trail) << std::hex << c.c;
  }
}

TEST(MbcsSearch, SingleBytesNeverMatchTrailBytes) {
  const char s[] = "\x81\x5B" "a\x81\x5D" "]\x81\x5C";
  EXPECT_EQ(at(_mbschr(u(s), '['), s), -1);
  EXPECT_EQ(at(_mbschr(u(s), ']'), s), 5);
  EXPECT_EQ(at(_mbschr(u(s), '\\'), s), -1);
  EXPECT_EQ(at(_mbschr(u(s), 0x815D), s), 3);
  EXPECT_EQ(at(_mbschr(u(s), 0x5D81), s), -1);
  EXPECT_EQ(at(_mbschr(u(s), 0), s), 8);  // the terminating zero is found
  EXPECT_EQ(at(_mbsrchr(u(s), ']'), s), 5);
  EXPECT_EQ(at(_mbsrchr(u(s), '['), s), -1);
  EXPECT_EQ(at(_mbsrchr(u(s), 0x815B), s), 0);
  EXPECT_EQ(at(_mbsrchr(u(s), 0), s), 8);

  const char t[] = "x]y]";
  EXPECT_EQ(at(_mbsrchr(u(t), ']'), t), 3);
  EXPECT_EQ(at(_mbschr(u(t), ']'), t), 1);

  // 0x80 is a single byte: it does not swallow the byte after it.
  const char euro[] = "\x80" "a\x80";
  EXPECT_EQ(at(_mbschr(u(euro), 'a'), euro), 1);
  EXPECT_EQ(at(_mbsrchr(u(euro), 0x80), euro), 2);

  // A lead byte right before the end is a broken character: not found.
  EXPECT_EQ(_mbschr(u("ab\x81"), 'z'), nullptr);
  EXPECT_EQ(_mbschr(u("ab\x81"), 0), nullptr);
}

TEST(MbcsSearch, SubstringsStartOnlyAtCharacterStarts) {
  const char s[] = "\x81\x5B" "[\x81\x5D" "]";
  EXPECT_EQ(at(_mbsstr(u(s), u("[")), s), 2);
  EXPECT_EQ(at(_mbsstr(u(s), u("]")), s), 5);
  EXPECT_EQ(at(_mbsstr(u(s), u("[\x81")), s), 2);
  EXPECT_EQ(at(_mbsstr(u(s), u("\x5B\x5B")), s), -1);  // begins on a trail byte
  EXPECT_EQ(at(_mbsstr(u(s), u("")), s), 0);
  EXPECT_EQ(at(_mbsstr(u(s), u("\x81\x5D]")), s), 3);
  EXPECT_EQ(at(_mbsstr(u(s), u("]]")), s), -1);
}

TEST(MbcsCompare, CharacterValuesAndCaseOfSingleBytes) {
  struct Case {
    const char* a;
    const char* b;
    int cmp;
    int icmp;
  } cases[] = {
      {"abc", "abc", 0, 0},
      {"abc", "ABC", 1, 0},
      {"ab", "abc", -1, -1},
      {"_", "A", 1, -1},                    // '_' sorts below letters once they are lowered
      {"\x81\x40", "\xFF", 1, 1},           // 0x8140 > 0xFF, unlike a byte compare
      {"\x81\x41", "\x81\x61", -1, -1},     // trail bytes are not case-folded
      {"\xA3\xC1", "\xA3\xE1", -1, -1},     // full-width letters compare as they are
      {"\xD6\xD0" "A", "\xD6\xD0" "a", -1, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(_mbscmp(u(c.a), u(c.b)), c.cmp) << c.a << " " << c.b;
    EXPECT_EQ(_mbscmp(u(c.b), u(c.a)), -c.cmp) << c.b << " " << c.a;
    EXPECT_EQ(_mbsicmp(u(c.a), u(c.b)), c.icmp) << c.a << " " << c.b;
    EXPECT_EQ(_mbsicmp(u(c.b), u(c.a)), -c.icmp) << c.b << " " << c.a;
  }
}

TEST(MbcsWalk, IncrementAndLength) {
  const char s[] = "a\xD6\xD0" "b\x80" "c";
  EXPECT_EQ(_mbsinc(u(s)) - u(s), 1);
  EXPECT_EQ(_mbsinc(u(s + 1)) - u(s), 3);
  EXPECT_EQ(_mbsinc(u(s + 4)) - u(s), 5);  // 0x80 is a single byte
  EXPECT_EQ(_mbslen(u(s)), 5u);
  EXPECT_EQ(_mbslen(u("")), 0u);
  // A lone lead byte at the end counts once and is never stepped over into the zero.
  const char lone[] = "ab\x81";
  EXPECT_EQ(_mbsinc(u(lone + 2)) - u(lone), 3);
  EXPECT_EQ(_mbslen(u(lone)), 3u);
}

TEST(MbcsGenericText, TcsNamesUseTheMultiByteFunctions) {
  const char s[] = "\x81\x5C" "a\\b";
  EXPECT_EQ(_tcschr(s, '\\') - s, 3);
  EXPECT_EQ(_tcsrchr(s, '\\') - s, 3);
  EXPECT_EQ(_tcsstr(s, "\\b") - s, 3);
  EXPECT_EQ(_tcsclen(s), 4u);
}

}  // namespace
