// acutPrintf: C library formatting, bytes passed on unchanged, the installed sink.
#include <acutads.h>
#include <contura/ed/print_sink.h>

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(AcutPrintf, FormatsLikeTheCLibraryAndHandsTheBytesToTheSink) {
  std::string printed;
  contura::ed::ScopedPrintSink sink([&](std::string_view text) { printed += text; });
  EXPECT_EQ(acutPrintf("\n%s=%d, %g, %.3f|%5s|%-3c|", "n", -42, 0.1 + 0.2, 2.0 / 3, "ab", 'x'), RTNORM);
  EXPECT_EQ(printed, "\nn=-42, 0.3, 0.667|   ab|x  |");

  // Code page 936 bytes (here 截面) pass as they are, also through %s; %% is a percent sign.
  printed.clear();
  acutPrintf("\xBD\xD8%s 100%%", "\xC3\xE6");
  EXPECT_EQ(printed, "\xBD\xD8\xC3\xE6 100%");

  // Text longer than any fixed buffer arrives whole.
  printed.clear();
  std::string longText(5000, 'z');
  acutPrintf("[%s]", longText.c_str());
  EXPECT_EQ(printed, "[" + longText + "]");

  printed.clear();
  EXPECT_EQ(acutPrintf(nullptr), RTERROR);
  EXPECT_TRUE(printed.empty());
}

TEST(AcutPrintf, ScopedSinksNestAndRestore) {
  std::string outer, inner;
  contura::ed::ScopedPrintSink first([&](std::string_view t) { outer += t; });
  {
    contura::ed::ScopedPrintSink second([&](std::string_view t) { inner += t; });
    acutPrintf("in");
  }
  acutPrintf("out");
  EXPECT_EQ(inner, "in");
  EXPECT_EQ(outer, "out");
}

TEST(AcutPrintf, ASinkMayReplaceItselfWhileItRuns) {
  std::string seen;
  contura::ed::PrintSink replacement = [&](std::string_view t) { seen += std::string("2:") + std::string(t); };
  contura::ed::ScopedPrintSink scope([&](std::string_view t) {
    seen += std::string("1:") + std::string(t) + ";";
    contura::ed::setPrintSink(replacement);
  });
  acutPrintf("a");
  acutPrintf("b");
  EXPECT_EQ(seen, "1:a;2:b");
}

}  // namespace
