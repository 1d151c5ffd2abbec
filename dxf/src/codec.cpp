// DXF versions and string encoding: code pages through iconv, character escapes, carets.
#include <contura/dxf/codec.h>

#include <contura/os/codepage.h>

#include <iconv.h>

#include <array>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace contura::dxf {

// --- versions -----------------------------------------------------------------------------

namespace {

struct VersionInfo {
  DxfVersion version;
  const char* acadVer;
  const char* name;
};

constexpr std::array<VersionInfo, 9> kVersions{{
    {DxfVersion::R12, "AC1009", "R12"},
    {DxfVersion::R13, "AC1012", "R13"},
    {DxfVersion::R14, "AC1014", "R14"},
    {DxfVersion::R2000, "AC1015", "R2000"},
    {DxfVersion::R2004, "AC1018", "R2004"},
    {DxfVersion::R2007, "AC1021", "R2007"},
    {DxfVersion::R2010, "AC1024", "R2010"},
    {DxfVersion::R2013, "AC1027", "R2013"},
    {DxfVersion::R2018, "AC1032", "R2018"},
}};

bool equalNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

}  // namespace

const char* acadVerOf(DxfVersion version) { return kVersions[static_cast<int>(version)].acadVer; }
const char* nameOf(DxfVersion version) { return kVersions[static_cast<int>(version)].name; }

bool versionFromAcadVer(std::string_view acadVer, DxfVersion& version) {
  acadVer = trimmed(acadVer);
  if (acadVer.size() != 6 || !equalNoCase(acadVer.substr(0, 2), "AC")) return false;
  int number = 0;
  for (char c : acadVer.substr(2)) {
    if (c < '0' || c > '9') return false;
    number = number * 10 + (c - '0');
  }
  version = DxfVersion::R12;
  for (const VersionInfo& v : kVersions) {
    if (number >= std::atoi(v.acadVer + 2)) version = v.version;
  }
  return true;
}

bool versionFromName(std::string_view name, DxfVersion& version) {
  name = trimmed(name);
  if (versionFromAcadVer(name, version)) {
    for (const VersionInfo& v : kVersions) {
      if (equalNoCase(name, v.acadVer)) return true;
    }
    return false;
  }
  for (const VersionInfo& v : kVersions) {
    std::string_view full = v.name;
    if (equalNoCase(name, full) || equalNoCase(name, full.substr(1))) {
      version = v.version;
      return true;
    }
  }
  return false;
}

// --- iconv --------------------------------------------------------------------------------

namespace {

const iconv_t kNoIconv = reinterpret_cast<iconv_t>(-1);

// One iconv conversion descriptor.
class Iconv {
 public:
  Iconv(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
  ~Iconv() {
    if (valid()) iconv_close(m_cd);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;
  bool valid() const { return m_cd != kNoIconv; }

  // Converts `in`, appending to `out`. At a sequence it cannot convert (or a broken one),
  // calls onBad(pointer, bytesLeft, out), which appends a replacement and returns how many
  // input bytes to skip (at least 1).
  template <class OnBad>
  void run(std::string_view in, std::string& out, OnBad onBad) const {
    iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
    char* src = const_cast<char*>(in.data());
    std::size_t left = in.size();
    char buf[1024];
    while (left > 0) {
      char* dst = buf;
      std::size_t room = sizeof buf;
      std::size_t rc = iconv(m_cd, &src, &left, &dst, &room);
      out.append(buf, static_cast<std::size_t>(dst - buf));
      if (rc == static_cast<std::size_t>(-1) && errno != E2BIG) {
        std::size_t skip = onBad(src, left, out);
        if (skip > left) skip = left;
        src += skip;
        left -= skip;
      }
    }
  }

 private:
  iconv_t m_cd;
};

// --- UTF-8 and escapes ---------------------------------------------------------------------

constexpr std::uint32_t kMaxBmp = 0xFFFF;
constexpr std::uint32_t kHighSurrogate = 0xD800, kLowSurrogate = 0xDC00, kSurrogateEnd = 0xE000;
constexpr std::uint32_t kMaxCodePoint = 0x10FFFF;
// The caret form of a control character is '^' followed by the character plus this.
constexpr unsigned char kCaretOffset = 64;

void appendUtf8(std::uint32_t cp, std::string& out) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Decodes one UTF-8 character at p (n bytes available). Returns its length, 0 when broken.
std::size_t decodeUtf8(const char* p, std::size_t n, std::uint32_t& cp) {
  auto b = [p](std::size_t i) { return static_cast<unsigned char>(p[i]); };
  if (n == 0) return 0;
  unsigned char c = b(0);
  std::size_t len = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
  if (len == 0 || len > n) return 0;
  cp = len == 1 ? c : len == 2 ? (c & 0x1F) : len == 3 ? (c & 0x0F) : (c & 0x07);
  for (std::size_t i = 1; i < len; ++i) {
    if ((b(i) & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b(i) & 0x3F);
  }
  if (cp > kMaxCodePoint) return 0;
  return len;
}

void appendEscape(std::uint32_t cp, std::string& out) {
  auto one = [&out](std::uint32_t unit) {
    static const char kHex[] = "0123456789ABCDEF";
    out += "\\U+";
    for (int shift = 12; shift >= 0; shift -= 4) out += kHex[(unit >> shift) & 0xF];
  };
  if (cp > kMaxBmp) {
    cp -= 0x10000;
    one(kHighSurrogate + (cp >> 10));
    one(kLowSurrogate + (cp & 0x3FF));
  } else {
    one(cp);
  }
}

int hexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool readHex4(std::string_view s, std::size_t at, std::uint32_t& value) {
  if (at + 4 > s.size()) return false;
  value = 0;
  for (std::size_t i = at; i < at + 4; ++i) {
    int h = hexValue(s[i]);
    if (h < 0) return false;
    value = (value << 4) | static_cast<std::uint32_t>(h);
  }
  return true;
}

// A \U+XXXX escape at `at` (pairs of surrogate escapes combined). Returns its length or 0.
std::size_t readUnicodeEscape(std::string_view s, std::size_t at, std::uint32_t& cp) {
  if (s.compare(at, 3, "\\U+") != 0 && s.compare(at, 3, "\\u+") != 0) return 0;
  if (!readHex4(s, at + 3, cp)) return 0;
  if (cp >= kHighSurrogate && cp < kLowSurrogate) {
    std::uint32_t low = 0;
    if ((s.compare(at + 7, 3, "\\U+") == 0 || s.compare(at + 7, 3, "\\u+") == 0) &&
        readHex4(s, at + 10, low) && low >= kLowSurrogate && low < kSurrogateEnd) {
      cp = 0x10000 + ((cp - kHighSurrogate) << 10) + (low - kLowSurrogate);
      return 14;
    }
    return 0;
  }
  if (cp >= kLowSurrogate && cp < kSurrogateEnd) return 0;
  return 7;
}

// The code pages of the \M+nXXXX escape of old multi-byte drawings, by n.
const char* mifCodePage(char n) {
  switch (n) {
    case '1': return "CP932";
    case '2': return "CP950";
    case '3': return "CP949";
    case '4': return "JOHAB";
    case '5': return "CP936";
    default: return nullptr;
  }
}

// A \M+nXXXX escape at `at`: the character's bytes and code page. Returns its length or 0.
std::size_t readMifEscape(std::string_view s, std::size_t at, std::string& bytes, const char*& cp) {
  if (s.compare(at, 3, "\\M+") != 0 && s.compare(at, 3, "\\m+") != 0) return 0;
  if (at + 3 >= s.size()) return 0;
  cp = mifCodePage(s[at + 3]);
  std::uint32_t value = 0;
  if (!cp || !readHex4(s, at + 4, value)) return 0;
  bytes.clear();
  if (value > 0xFF) bytes += static_cast<char>(value >> 8);
  bytes += static_cast<char>(value & 0xFF);
  return 8;
}

bool isCaretTarget(unsigned char c) { return c == ' ' || (c >= '@' && c <= '_'); }

// Decodes a caret pair at `at` ("^J", "^ "); returns its length or 0.
std::size_t readCaret(std::string_view s, std::size_t at, char& out) {
  if (s[at] != '^' || at + 1 >= s.size()) return 0;
  unsigned char next = static_cast<unsigned char>(s[at + 1]);
  if (!isCaretTarget(next)) return 0;
  out = next == ' ' ? '^' : static_cast<char>(next - kCaretOffset);
  return 2;
}

// Appends one byte in caret form when it needs it; `next` is the byte after it (0 at end).
void appendCareted(unsigned char c, unsigned char next, bool atEnd, std::string& out) {
  if (c < 0x20) {
    out += '^';
    out += static_cast<char>(c + kCaretOffset);
  } else if (c == '^' && !atEnd && (isCaretTarget(next) || next < 0x20)) {
    out += "^ ";
  } else {
    out += static_cast<char>(c);
  }
}

bool needsWork(std::string_view s) {
  for (char ch : s) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == '\\' || c == '^') return true;
  }
  return false;
}

bool isAscii(std::string_view s) {
  for (char ch : s) {
    if (static_cast<unsigned char>(ch) >= 0x80) return false;
  }
  return true;
}

// The iconv name of a $DWGCODEPAGE value ("UTF-8" for UTF-8).
std::string iconvNameOf(std::string_view dwgCodePage) {
  std::string upper(trimmed(dwgCodePage));
  for (char& c : upper) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  std::string_view name = upper;
  auto withPrefix = [&name](std::string_view prefix, const char* replacement) {
    std::string out(replacement);
    out.append(name.substr(prefix.size()));
    return out;
  };
  if (name.empty()) return std::string("CP1252");
  if (name == "UTF8" || name == "UTF-8") return std::string("UTF-8");
  if (name.substr(0, 5) == "ANSI_") return withPrefix("ANSI_", "CP");
  if (name.substr(0, 3) == "DOS") return withPrefix("DOS", "CP");
  if (name.substr(0, 8) == "ISO8859-") return withPrefix("ISO8859-", "ISO-8859-");
  if (name == "GB2312") return std::string("CP936");
  if (name == "KSC5601") return std::string("CP949");
  return std::string(name);
}

}  // namespace

// --- the codec ----------------------------------------------------------------------------

struct TextCodec::Impl {
  enum class Mode { Cp936, Utf8, Other };
  Mode mode = Mode::Cp936;
  Iconv utf8ToCp936{"CP936", "UTF-8"};
  std::unique_ptr<Iconv> fileToUtf8, utf8ToFile;

  // UTF-8 to drawing text: characters code page 936 lacks become \U+XXXX escapes (which is
  // why this does not use the platform's converter, which replaces them).
  void utf8ToDrawing(std::string_view in, std::string& out) const {
    utf8ToCp936.run(in, out, [](const char* p, std::size_t left, std::string& o) {
      std::uint32_t cp = 0;
      std::size_t len = decodeUtf8(p, left, cp);
      if (len == 0) {
        o += '?';
        return std::size_t{1};
      }
      appendEscape(cp, o);
      return len;
    });
  }

  // Bytes code page 936 does not define become U+FFFD.
  static void drawingToUtf8(std::string_view in, std::string& out) { out += os::cp936ToUtf8(in); }

  // Code page 936 bytes of one character, or false when the code page lacks it.
  bool cp936Of(std::uint32_t cp, std::string& bytes) const {
    std::string utf8;
    appendUtf8(cp, utf8);
    bytes.clear();
    bool ok = true;
    utf8ToCp936.run(utf8, bytes, [&ok](const char*, std::size_t left, std::string&) {
      ok = false;
      return left;
    });
    return ok && !bytes.empty();
  }

  // Resolves escapes and carets in UTF-8 text, giving UTF-8 text.
  void unescapeUtf8(std::string_view s, std::string& out, bool carets) const {
    std::string bytes;
    for (std::size_t i = 0; i < s.size();) {
      std::uint32_t cp = 0;
      const char* mif = nullptr;
      char control = 0;
      std::size_t n = 0;
      if (s[i] == '\\' && (n = readUnicodeEscape(s, i, cp)) != 0) {
        appendUtf8(cp, out);
      } else if (s[i] == '\\' && (n = readMifEscape(s, i, bytes, mif)) != 0) {
        out += convertCodePage(bytes, mif, "UTF-8");
      } else if (carets && s[i] == '^' && (n = readCaret(s, i, control)) != 0) {
        out += control;
      } else {
        out += s[i];
        n = 1;
      }
      i += n;
    }
  }

  // Resolves escapes and carets in code page 936 text, stepping over double-byte characters.
  void unescapeCp936(std::string_view s, std::string& out) const {
    std::string bytes;
    for (std::size_t i = 0; i < s.size();) {
      unsigned char c = static_cast<unsigned char>(s[i]);
      std::uint32_t cp = 0;
      const char* mif = nullptr;
      char control = 0;
      std::size_t n = 0;
      if (os::isLeadByte(c) && i + 1 < s.size()) {
        out.append(s, i, 2);
        n = 2;
      } else if (c == '\\' && (n = readUnicodeEscape(s, i, cp)) != 0) {
        if (cp936Of(cp, bytes)) out += bytes;
        else appendEscape(cp, out);  // kept in one spelling whatever the file's
      } else if (c == '\\' && (n = readMifEscape(s, i, bytes, mif)) != 0) {
        std::string utf8 = convertCodePage(bytes, mif, "UTF-8");
        std::uint32_t one = 0;
        if (std::strcmp(mif, "CP936") == 0) out += bytes;
        else if (decodeUtf8(utf8.data(), utf8.size(), one) == utf8.size() && cp936Of(one, bytes)) out += bytes;
        else out.append(s, i, n);
      } else if (c == '^' && (n = readCaret(s, i, control)) != 0) {
        out += control;
      } else {
        out += s[i];
        n = 1;
      }
      i += n;
    }
  }

  // Writes control characters and ambiguous carets in caret form; `dbcs` steps over
  // double-byte characters of code page 936.
  static void caretEncode(std::string_view s, std::string& out, bool dbcs) {
    for (std::size_t i = 0; i < s.size(); ++i) {
      unsigned char c = static_cast<unsigned char>(s[i]);
      if (dbcs && os::isLeadByte(c) && i + 1 < s.size()) {
        out.append(s, i, 2);
        ++i;
        continue;
      }
      bool atEnd = i + 1 >= s.size();
      appendCareted(c, atEnd ? 0 : static_cast<unsigned char>(s[i + 1]), atEnd, out);
    }
  }
};

TextCodec::TextCodec() : m_impl(std::make_unique<Impl>()) {}
TextCodec::~TextCodec() = default;
TextCodec::TextCodec(TextCodec&&) noexcept = default;
TextCodec& TextCodec::operator=(TextCodec&&) noexcept = default;

bool TextCodec::setFileEncoding(DxfVersion version, std::string_view dwgCodePage) {
  Impl& m = *m_impl;
  m.fileToUtf8.reset();
  m.utf8ToFile.reset();
  std::string name = isUtf8Version(version) ? "UTF-8" : iconvNameOf(dwgCodePage);
  if (name == "UTF-8") {
    m.mode = Impl::Mode::Utf8;
    return true;
  }
  if (name == "CP936" || name == "GBK") {
    m.mode = Impl::Mode::Cp936;
    return true;
  }
  auto in = std::make_unique<Iconv>("UTF-8", name.c_str());
  auto out = std::make_unique<Iconv>(name.c_str(), "UTF-8");
  bool known = in->valid() && out->valid();
  if (!known) {
    in = std::make_unique<Iconv>("UTF-8", "CP1252");
    out = std::make_unique<Iconv>("CP1252", "UTF-8");
  }
  m.mode = Impl::Mode::Other;
  m.fileToUtf8 = std::move(in);
  m.utf8ToFile = std::move(out);
  return known;
}

bool TextCodec::isPlain(std::string_view text) {
  for (char ch : text) {
    unsigned char c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c >= 0x7F || c == '\\' || c == '^') return false;
  }
  return true;
}

void TextCodec::decode(std::string_view s, std::string& out) const {
  const Impl& m = *m_impl;
  switch (m.mode) {
    case Impl::Mode::Cp936:
      if (!needsWork(s)) out.append(s);
      else m.unescapeCp936(s, out);
      return;
    case Impl::Mode::Utf8:
      if (isAscii(s) && !needsWork(s)) {
        out.append(s);
      } else {
        std::string utf8;
        m.unescapeUtf8(s, utf8, true);
        m.utf8ToDrawing(utf8, out);
      }
      return;
    case Impl::Mode::Other: {
      if (isAscii(s) && !needsWork(s)) {
        out.append(s);
        return;
      }
      std::string utf8, plain;
      m.fileToUtf8->run(s, utf8, [](const char*, std::size_t, std::string& o) {
        o += '?';
        return std::size_t{1};
      });
      m.unescapeUtf8(utf8, plain, true);
      m.utf8ToDrawing(plain, out);
      return;
    }
  }
}

std::string TextCodec::decode(std::string_view fileText) const {
  std::string out;
  decode(fileText, out);
  return out;
}

void TextCodec::encode(std::string_view s, std::string& out) const {
  const Impl& m = *m_impl;
  if (m.mode == Impl::Mode::Cp936 || (isAscii(s) && s.find("\\U+") == std::string_view::npos &&
                                      s.find("\\u+") == std::string_view::npos)) {
    if (!needsWork(s)) out.append(s);
    else Impl::caretEncode(s, out, m.mode == Impl::Mode::Cp936);
    return;
  }
  std::string utf8, plain, careted;
  m.drawingToUtf8(s, utf8);
  m.unescapeUtf8(utf8, plain, false);
  Impl::caretEncode(plain, careted, false);
  if (m.mode == Impl::Mode::Utf8) {
    out += careted;
    return;
  }
  m.utf8ToFile->run(careted, out, [](const char* p, std::size_t left, std::string& o) {
    std::uint32_t cp = 0;
    std::size_t len = decodeUtf8(p, left, cp);
    if (len == 0) {
      o += '?';
      return std::size_t{1};
    }
    appendEscape(cp, o);
    return len;
  });
}

std::string TextCodec::encode(std::string_view drawingText) const {
  std::string out;
  encode(drawingText, out);
  return out;
}

std::string convertCodePage(std::string_view text, const char* from, const char* to) {
  Iconv cd(to, from);
  std::string out;
  if (!cd.valid()) return std::string(text);
  cd.run(text, out, [](const char*, std::size_t, std::string& o) {
    o += '?';
    return std::size_t{1};
  });
  return out;
}

}  // namespace contura::dxf
