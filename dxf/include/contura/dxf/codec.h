// DXF versions and the text encoding of a DXF file: code pages, \U+XXXX escapes, carets.
#pragma once
#include <memory>
#include <string>
#include <string_view>

namespace contura::dxf {

// The DXF versions read and written, oldest first; compare with < and >=.
enum class DxfVersion { R12, R13, R14, R2000, R2004, R2007, R2010, R2013, R2018 };

constexpr DxfVersion kDefaultWriteVersion = DxfVersion::R2004;
constexpr const char* kDefaultCodePage = "ANSI_936";

// "AC1018" for R2004.
const char* acadVerOf(DxfVersion version);
// "R2004".
const char* nameOf(DxfVersion version);
// The version of an $ACADVER value; versions older than R12 read as R12 and unknown newer
// ones (AC1033 and up) as R2018. False for text that is no $ACADVER value.
bool versionFromAcadVer(std::string_view acadVer, DxfVersion& version);
// A version asked for by a person: "R2004", "2004", "r12", "AC1018". False when unknown.
bool versionFromName(std::string_view name, DxfVersion& version);
// From R2007 (AC1021) on the whole file is UTF-8.
inline bool isUtf8Version(DxfVersion version) { return version >= DxfVersion::R2007; }

// Converts string values between a DXF file and the drawing's own text, which is code page
// 936 bytes. Reading decodes the file's code page ($DWGCODEPAGE before R2007, UTF-8 after),
// the \U+XXXX and \M+nXXXX character escapes and the caret form of control characters
// ("^J" is a line feed, "^ " a caret). A character that code page 936 cannot hold stays in
// the drawing as its \U+XXXX escape, so nothing is lost; writing a UTF-8 file turns such
// escapes back into characters, and writing a code page that lacks a character writes its
// escape. Not thread-safe (one codec per reader or writer).
class TextCodec {
 public:
  // Identity codec: code page 936 file text.
  TextCodec();
  ~TextCodec();
  TextCodec(TextCodec&&) noexcept;
  TextCodec& operator=(TextCodec&&) noexcept;

  // Sets the encoding of the file: UTF-8 for R2007 and later, otherwise the code page named
  // by $DWGCODEPAGE ("ANSI_936", "ANSI_1252", "DOS850", "BIG5"...). An empty name means the
  // DXF default, ANSI_1252. False for a name this system cannot convert (then the codec
  // keeps reading ANSI_1252).
  bool setFileEncoding(DxfVersion version, std::string_view dwgCodePage);

  // File text to drawing text (code page 936), appended to `out`.
  void decode(std::string_view fileText, std::string& out) const;
  std::string decode(std::string_view fileText) const;
  // Drawing text to file text, appended to `out`. Never produces a line end.
  void encode(std::string_view drawingText, std::string& out) const;
  std::string encode(std::string_view drawingText) const;

  // True when decode() of plain ASCII text without escapes or carets returns it unchanged
  // (every supported encoding); lets callers skip the codec for such text.
  static bool isPlain(std::string_view text);

 private:
  struct Impl;
  std::unique_ptr<Impl> m_impl;
};

// Converts bytes between two iconv code-page names; characters that cannot be converted
// become '?'. For the code pages the DXF layer needs beyond 936 and UTF-8.
std::string convertCodePage(std::string_view text, const char* from, const char* to);

}  // namespace contura::dxf
