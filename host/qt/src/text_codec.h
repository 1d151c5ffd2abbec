// Text between the module (code page 936 bytes) and Qt (QString).
#pragma once
#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace contura::qt {

QString fromCp936(std::string_view cp936);
// Characters code page 936 cannot hold become '?'.
std::string toCp936(const QString& text);
// One typed character as the WM_CHAR code the module's windows take: the byte for a
// single-byte character, (lead << 8) | trail for a double-byte one. Nothing for a character
// the code page cannot hold or for a control character.
std::optional<unsigned> charCode(const QString& character);

// Positions in a control's text: the byte offset in the code page 936 text that comes before
// Qt character `position` of the same text shown with "\r\n" as one line break, and back.
int byteOffsetOf(std::string_view cp936, int position);
int positionOfByte(std::string_view cp936, int byteOffset);
// The text as shown: "\r\n" (and a lone '\r') become '\n'.
QString shownText(std::string_view cp936);

}  // namespace contura::qt
