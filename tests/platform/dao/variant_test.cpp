// COleVariant values: conversions between numbers and text, failures, owned text bytes.
#include <afxdisp.h>
#include <gtest/gtest.h>

namespace {

// The SCODE ChangeType throws, or S_OK.
SCODE changeError(COleVariant& v, VARTYPE to) {
  try {
    v.ChangeType(to);
  } catch (COleException* e) {
    SCODE sc = e->m_sc;
    e->Delete();
    return sc;
  }
  return S_OK;
}

}  // namespace

TEST(OleVariant, TextAndNumbersConvert) {
  struct ToLong {
    const char* text;
    LONG value;
  };
  for (const ToLong& c : {ToLong{"42", 42}, ToLong{"  -7 ", -7}, ToLong{"4.5", 4}, ToLong{"5.5", 6},
                          ToLong{"1e3", 1000}, ToLong{"+12", 12}}) {
    COleVariant v(c.text);
    ASSERT_EQ(changeError(v, VT_I4), S_OK) << c.text;
    EXPECT_EQ(v.vt, VT_I4);
    EXPECT_EQ(v.lVal, c.value) << c.text;
  }
  struct ToText {
    COleVariant value;
    const char* text;
  };
  for (const ToText& c : {ToText{COleVariant(-17L), "-17"}, ToText{COleVariant(0.1), "0.1"},
                          ToText{COleVariant(2.5e20), "2.5e+20"}, ToText{COleVariant(short(1), VT_BOOL), "-1"}}) {
    COleVariant v = c.value;
    ASSERT_EQ(changeError(v, VT_BSTR), S_OK);
    EXPECT_STREQ(v.bstrVal, c.text);
  }
  COleVariant r(3.0);
  r.ChangeType(VT_I2);
  EXPECT_EQ(r.iVal, 3);
}

TEST(OleVariant, ImpossibleConversionsThrowAndKeepTheValue) {
  struct Case {
    COleVariant value;
    VARTYPE to;
    SCODE sc;
  };
  COleVariant null;
  null.vt = VT_NULL;
  for (const Case& c : {Case{COleVariant("abc"), VT_I4, DISP_E_TYPEMISMATCH},
                        Case{COleVariant(""), VT_R8, DISP_E_TYPEMISMATCH},
                        Case{COleVariant("inf"), VT_R8, DISP_E_TYPEMISMATCH},
                        Case{COleVariant("12abc"), VT_I4, DISP_E_TYPEMISMATCH},
                        Case{null, VT_I4, DISP_E_TYPEMISMATCH},
                        Case{null, VT_BSTR, DISP_E_TYPEMISMATCH},
                        Case{COleVariant(3e10), VT_I4, DISP_E_OVERFLOW},
                        Case{COleVariant(40000L), VT_I2, DISP_E_OVERFLOW},
                        Case{COleVariant(1L), VT_NULL, DISP_E_TYPEMISMATCH}}) {
    COleVariant v = c.value;
    EXPECT_EQ(changeError(v, c.to), c.sc);
    EXPECT_TRUE(v == c.value);
  }
}

TEST(OleVariant, TextKeepsItsBytesThroughCopies) {
  const CString bytes("a\0\xD6\xD0", 4);
  COleVariant v(bytes);
  ASSERT_EQ(v.vt, VT_BSTR);
  EXPECT_EQ(SysStringByteLen(v.bstrVal), 4u);
  COleVariant copy = v;
  EXPECT_NE(copy.bstrVal, v.bstrVal);
  EXPECT_TRUE(copy == v);
  COleVariant moved = std::move(copy);
  EXPECT_EQ(copy.vt, VT_EMPTY);
  EXPECT_TRUE(moved == v);
  moved = 5L;
  EXPECT_FALSE(moved == v);
  EXPECT_TRUE(COleVariant(static_cast<LPCTSTR>(nullptr)).vt == VT_NULL);
}
