// The dialogs' font on Linux and the base units it gives: the templates ask for
// "MS Shell Dlg" 8; WenQuanYi Micro Hei at 8 points (11 pixels) has the same base units,
// 6 x 13 pixels, and holds the Chinese captions.
#pragma once
#include <QFont>
#include <QSize>
#include <QString>

namespace contura::qt {

inline constexpr const char* kDialogFontFamily = "WenQuanYi Micro Hei";
inline constexpr int kDialogFontPixels = 11;

QFont dialogFont();
// The base units of a font as Windows measures them: the average advance of the 52 Latin
// letters, rounded ((sum / 26 + 1) / 2), and the font's height.
QSize measuredBaseUnits(const QFont& font);
// The characters of `text` the font itself has no glyph for (a fallback font would draw
// them, or a missing-glyph box would).
QString missingGlyphs(const QFont& font, const QString& text);

}  // namespace contura::qt
