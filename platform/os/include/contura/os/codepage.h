// Conversion between code page 936 (the module's multi-byte text) and UTF-8 (Linux text).
#pragma once
#include <string>
#include <string_view>

namespace contura::os {

// A UTF-8 literal (u8"...") as text for Linux, whatever narrow execution character set the
// calling library is compiled with (the platform's libraries make "..." code page 936).
inline std::string utf8Literal(std::u8string_view text) { return std::string(text.begin(), text.end()); }

// Code page 936 byte classes: a lead byte (0x81-0xFE) starts a double-byte character; its
// trail byte is 0x40-0xFE except 0x7F.
inline bool isLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
inline bool isTrailByte(unsigned char b) { return b >= 0x40 && b <= 0xFE && b != 0x7F; }

// Code page 936 bytes to UTF-8.
// - Bytes below 0x80 are ASCII and copied as they are (a string made only of them is returned
//   without calling the converter).
// - 0x80 is the euro sign, as in the Windows code page.
// - A byte or pair the code page does not define becomes U+FFFD: a lead byte (0x81-0xFE)
//   followed by a trail byte (0x40-0xFE except 0x7F) is one character and gives one U+FFFD;
//   any other undefined byte, including a lead byte at the very end, gives one U+FFFD and
//   the next byte is decoded afresh.
// Never fails. Safe to call from several threads at once.
// Throws std::runtime_error only when the C library has no CP936 converter installed.
std::string cp936ToUtf8(std::string_view cp936);

// UTF-8 to code page 936 bytes.
// - ASCII is copied as it is (fast path without the converter for pure ASCII).
// - A well-formed character that code page 936 cannot hold becomes one '?'.
// - Malformed UTF-8 becomes one '?' per maximal ill-formed subsequence (a truncated
//   sequence is one '?', a stray continuation byte is one '?').
// Never fails. Safe to call from several threads at once.
// Throws std::runtime_error only when the C library has no CP936 converter installed.
std::string utf8ToCp936(std::string_view utf8);

// True when every byte of the text decodes as a defined code page 936 character (the empty
// string and pure ASCII are valid).
bool isValidCp936(std::string_view cp936);

// What the bytes of a text that does not say its encoding most likely are:
// - kAscii: no byte above 0x7F;
// - kUtf8: every byte above 0x7F belongs to a well-formed UTF-8 sequence;
// - kGbk: otherwise, when the bytes above 0x7F come in pairs of a lead byte 0x81-0xFE and a
//   trail byte 0xA1-0xFE (Chinese text in code page 936): single-byte Western text has its
//   accented letters one by one between ASCII letters, which this rules out;
// - kOther: anything else (a single-byte code page).
enum class EncodingGuess { kAscii, kUtf8, kGbk, kOther };
EncodingGuess guessEncoding(std::string_view text);

}  // namespace contura::os
