// Text conversion and position mapping between code page 936 controls and Qt widgets.
#include "text_codec.h"

#include <contura/os/codepage.h>

namespace contura::qt {
namespace {

bool isLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }

// Bytes of the character that starts at `i`, and how many Qt characters it shows as.
int characterBytes(std::string_view s, size_t i) {
  if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') return 2;
  if (isLead(static_cast<unsigned char>(s[i])) && i + 1 < s.size()) return 2;
  return 1;
}

}  // namespace

QString fromCp936(std::string_view cp936) { return QString::fromStdString(os::cp936ToUtf8(cp936)); }

std::string toCp936(const QString& text) { return os::utf8ToCp936(text.toStdString()); }

std::optional<unsigned> charCode(const QString& character) {
  if (character.isEmpty() || character.at(0).category() == QChar::Other_Control) return std::nullopt;
  std::string bytes = toCp936(character);
  if (bytes.size() == 1) {
    if (bytes[0] == '?' && character != "?") return std::nullopt;
    return static_cast<unsigned char>(bytes[0]);
  }
  if (bytes.size() == 2) return (static_cast<unsigned>(static_cast<unsigned char>(bytes[0])) << 8) |
                                static_cast<unsigned char>(bytes[1]);
  return std::nullopt;
}

int byteOffsetOf(std::string_view cp936, int position) {
  size_t i = 0;
  for (int shown = 0; shown < position && i < cp936.size(); ++shown) i += characterBytes(cp936, i);
  return static_cast<int>(std::min(i, cp936.size()));
}

int positionOfByte(std::string_view cp936, int byteOffset) {
  int shown = 0;
  for (size_t i = 0; i < cp936.size() && static_cast<int>(i) < byteOffset; ++shown) i += characterBytes(cp936, i);
  return shown;
}

QString shownText(std::string_view cp936) {
  QString text = fromCp936(cp936);
  text.replace("\r\n", "\n");
  text.replace('\r', '\n');
  return text;
}

}  // namespace contura::qt
