// CAcUiEdit and CAcUiAngleEdit: strict number reading, validation by kind and range, the
// display form, and a box that otherwise behaves as a plain edit box.
#include <gtest/gtest.h>

#include <cmath>

#include "acui_test.h"
#include "test_backend.h"

using contura::afx::ActionStatus;
using contura::afx::DialogSession;

namespace {

TEST(AcUiEdit, ReadsOnlyWholeNumbersInTheCLocaleForm) {
  const std::pair<const char*, double> good[] = {
      {" -12.5\t", -12.5}, {"+3", 3.0}, {"2.5E-1", 0.25}, {".5", 0.5}, {"5.", 5.0}, {"1e-400", 0.0}};
  for (auto [text, expected] : good) {
    double v = -99.0;
    EXPECT_TRUE(CAcUiEdit::ReadNumber(text, v)) << text;
    EXPECT_EQ(v, expected) << text;
  }
  for (const char* text : {"", "-", ".", "1.2.3", "1e", "e3", "12a", "1 2", "1,5", "1e999", "inf", "９"}) {
    double v = -99.0;
    EXPECT_FALSE(CAcUiEdit::ReadNumber(text, v)) << text;
    EXPECT_EQ(v, -99.0) << text;  // untouched
  }
}

TEST(AcUiEdit, DisplayFormOfEachKind) {
  CAcUiAngleEdit angle;
  const std::pair<const char*, const char*> numbers[] = {
      {" 90.50 ", "90.5"}, {"1e3", "1000"}, {"-0.0000125", "-1.25e-05"}, {"89.9999974955219", "90"}};
  for (auto [in, out] : numbers) {
    CString x = in;
    EXPECT_TRUE(angle.ConvertData(x)) << in;
    EXPECT_EQ(x, out) << in;
  }
  CString bad = "四十五";
  EXPECT_FALSE(angle.ConvertData(bad));
  EXPECT_EQ(bad, "四十五");

  angle.SetRange(0.0, 360.0);
  CString outside = "400";
  EXPECT_FALSE(angle.ConvertData(outside));
  EXPECT_EQ(outside, "400");

  CAcUiEdit symbol;
  symbol.SetStyleMask(AC_ES_SYMBOL);
  CString name = "  层 A\t";
  EXPECT_TRUE(symbol.ConvertData(name));
  EXPECT_EQ(name, "层 A");

  CAcUiEdit text;
  CString any = "  任意 <文字>  ";
  EXPECT_TRUE(text.ConvertData(any));
  EXPECT_EQ(any, "  任意 <文字>  ");
}

TEST(AcUiEdit, ValidatesTheTypedTextByKindAndRange) {
  CAcUiTestDlg dlg;
  runDialog(dlg, {[&](DialogSession& s) {
    HWND angleBox = GetDlgItem(s.dialog(), IDC_ANGLE);
    auto typed = [&](HWND box, const char* text) {
      EXPECT_EQ(s.type(box, text), ActionStatus::kDone);
      return box == angleBox ? dlg.m_angle.Validate() : dlg.m_plain.Validate();
    };
    // The box takes whatever is typed; nothing is refused or rewritten while typing.
    EXPECT_FALSE(typed(angleBox, "-45°"));
    CString shown;
    dlg.m_angle.GetWindowText(shown);
    EXPECT_EQ(shown, "-45°");
    EXPECT_TRUE(typed(angleBox, "-45"));
    EXPECT_FALSE(typed(angleBox, ""));
    dlg.m_angle.SetRange(0.0, 360.0);
    EXPECT_TRUE(typed(angleBox, "360"));
    EXPECT_TRUE(typed(angleBox, "0"));
    EXPECT_FALSE(typed(angleBox, "360.5"));
    EXPECT_FALSE(typed(angleBox, "-1"));
    dlg.m_angle.SetRange(5.0, 1.0);  // an empty range is no range
    EXPECT_FALSE(dlg.m_angle.HasRange());
    EXPECT_TRUE(typed(angleBox, "-1"));

    HWND plainBox = GetDlgItem(s.dialog(), IDC_PLAIN);
    EXPECT_TRUE(typed(plainBox, ""));
    EXPECT_TRUE(typed(plainBox, "a<b>"));
    dlg.m_plain.SetStyleMask(AC_ES_SYMBOL);
    EXPECT_TRUE(typed(plainBox, "图层 1"));
    // Trail bytes that equal a refused character belong to their double-byte character.
    EXPECT_TRUE(typed(plainBox, "億嘰"));
    EXPECT_FALSE(typed(plainBox, "a|b"));
    EXPECT_FALSE(typed(plainBox, "a\\b"));
    EXPECT_FALSE(typed(plainBox, "  "));
    dlg.m_plain.SetStyleMask(AC_ES_NUMERIC);
    EXPECT_TRUE(typed(plainBox, "1e3"));
    EXPECT_FALSE(typed(plainBox, "1e"));
  }});
}

}  // namespace
