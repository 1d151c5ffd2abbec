// Text between the module's code page and the widgets (typed characters as WM_CHAR codes,
// byte offsets against positions with "\r\n" line breaks), and the dialogs' font: it is the
// CJK font the dialogs ask for, its base units are those the dialog templates are laid out
// with, and it has the glyphs of the captions.
#include "dialog_font.h"
#include "text_codec.h"

#include <contura/afx/ui_backend.h>

#include <QFontInfo>
#include <gtest/gtest.h>

namespace {

using namespace contura::qt;

TEST(TextCodec, TypedCharactersBecomeTheCodesTheModuleTakes) {
  EXPECT_EQ(charCode("a"), 0x61u);
  EXPECT_EQ(charCode("?"), 0x3Fu);
  EXPECT_EQ(charCode("中"), 0xD6D0u);  // lead byte high, trail byte low
  EXPECT_EQ(charCode("€"), 0x80u);     // the code page's single-byte euro
  EXPECT_EQ(charCode(QString::fromUtf8("😀")), std::nullopt);  // outside the code page
  EXPECT_EQ(charCode(QString(QChar(0x08))), std::nullopt);    // control characters are keys, not text
  EXPECT_EQ(charCode(""), std::nullopt);
}

TEST(TextCodec, PositionsAndByteOffsetsMapBothWays) {
  std::string bytes = toCp936("a中\r\nb");  // 1 + 2 + 2 + 1 bytes, shown as 4 characters
  ASSERT_EQ(bytes.size(), 6u);
  EXPECT_EQ(shownText(bytes), "a中\nb");
  const int offsets[] = {0, 1, 3, 5, 6};
  for (int position = 0; position <= 4; ++position) {
    EXPECT_EQ(byteOffsetOf(bytes, position), offsets[position]) << position;
    EXPECT_EQ(positionOfByte(bytes, offsets[position]), position) << position;
  }
  EXPECT_EQ(byteOffsetOf(bytes, 99), 6);  // past the end: the end
  EXPECT_EQ(fromCp936(bytes), "a中\r\nb");
}

TEST(DialogFont, IsTheCjkFontWithTheTemplatesBaseUnits) {
  QFont font = dialogFont();
  EXPECT_EQ(QFontInfo(font).family(), kDialogFontFamily) << "fonts-wqy-microhei is needed";
  EXPECT_EQ(measuredBaseUnits(font), QSize(contura::afx::kDialogBaseUnitX, contura::afx::kDialogBaseUnitY));
  EXPECT_EQ(missingGlyphs(font, "变量设定 截面库管理 图形选择 导出 导入 预览 上一页 确定 取消 °"), "");
  EXPECT_EQ(missingGlyphs(font, QString::fromUtf8("A😀")), QString::fromUtf8("😀"));
}

}  // namespace
