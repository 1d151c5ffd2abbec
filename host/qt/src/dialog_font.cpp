// The dialogs' font and the measurement of its base units and glyph coverage.
#include "dialog_font.h"

#include <QFontMetrics>
#include <QRawFont>

namespace contura::qt {

QFont dialogFont() {
  QFont font(kDialogFontFamily);
  font.setPixelSize(kDialogFontPixels);
  font.setStyleStrategy(QFont::NoFontMerging);
  return font;
}

QSize measuredBaseUnits(const QFont& font) {
  QFontMetrics metrics(font);
  int letters = metrics.horizontalAdvance("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  return QSize((letters / 26 + 1) / 2, metrics.height());
}

QString missingGlyphs(const QFont& font, const QString& text) {
  QRawFont raw = QRawFont::fromFont(font);
  QString missing;
  for (char32_t c : text.toUcs4()) {
    if (c == '\n' || c == '\r' || c == '\t' || c == '&') continue;
    if (!raw.isValid() || !raw.supportsCharacter(c)) missing += QString::fromUcs4(&c, 1);
  }
  return missing;
}

}  // namespace contura::qt
