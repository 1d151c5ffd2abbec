// Tag reader and writer of ASCII DXF text, and the value formats they share.
#include <contura/dxf/tags.h>

#include <sys/stat.h>

#include <array>
#include <charconv>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

namespace contura::dxf {

// --- errors -------------------------------------------------------------------------------

std::string DxfError::text() const {
  if (line == 0) return message;
  return "line " + std::to_string(line) + ": " + message;
}

void DxfError::set(std::uint32_t atLine, std::string what) {
  line = atLine;
  message = std::move(what);
}

void DxfError::clear() {
  line = 0;
  message.clear();
}

// --- group codes --------------------------------------------------------------------------

namespace {

constexpr TagType typeOfCode(int c) {
  if (c <= 9) return TagType::String;
  if (c <= 39) return TagType::Real;
  if (c <= 59) return TagType::Real;
  if (c <= 79) return TagType::Int16;
  if (c >= 90 && c <= 99) return TagType::Int32;
  // Code 5 holds a handle on objects but a block name in old dimension styles, so it is read
  // as a string and the object layer parses the handle where one belongs.
  if (c == 105) return TagType::Handle;
  if (c >= 110 && c <= 149) return TagType::Real;
  if (c >= 160 && c <= 169) return TagType::Int64;
  if (c >= 170 && c <= 179) return TagType::Int16;
  if (c >= 210 && c <= 239) return TagType::Real;
  if (c >= 270 && c <= 289) return TagType::Int16;
  if (c >= 290 && c <= 299) return TagType::Bool;
  if (c >= 310 && c <= 319) return TagType::Binary;
  if (c >= 320 && c <= 369) return TagType::Handle;
  if (c >= 370 && c <= 389) return TagType::Int16;
  if (c >= 390 && c <= 399) return TagType::Handle;
  if (c >= 400 && c <= 409) return TagType::Int16;
  if (c >= 420 && c <= 429) return TagType::Int32;
  if (c >= 440 && c <= 459) return TagType::Int32;
  if (c >= 460 && c <= 469) return TagType::Real;
  if (c >= 480 && c <= 481) return TagType::Handle;
  if (c == 1004) return TagType::Binary;
  if (c == 1005) return TagType::Handle;
  if (c >= 1010 && c <= 1059) return TagType::Real;
  if (c >= 1060 && c <= 1070) return TagType::Int16;
  if (c == 1071) return TagType::Int32;
  return TagType::String;
}

constexpr std::array<TagType, kMaxGroupCode + 1> makeTypeTable() {
  std::array<TagType, kMaxGroupCode + 1> table{};
  for (int c = 0; c <= kMaxGroupCode; ++c) table[c] = typeOfCode(c);
  return table;
}

constexpr std::array<TagType, kMaxGroupCode + 1> kTypeTable = makeTypeTable();

// Integer ranges accepted per type. 16- and 32-bit codes also take the unsigned values some
// writers put there (flags written as unsigned), so such files still open.
constexpr std::int64_t kInt16Min = -32768, kInt16Max = 65535;
constexpr std::int64_t kInt32Min = std::numeric_limits<std::int32_t>::min();
constexpr std::int64_t kInt32Max = std::numeric_limits<std::uint32_t>::max();

std::string_view trim(std::string_view s) {
  std::size_t b = 0, e = s.size();
  while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
  while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
  return s.substr(b, e - b);
}

// Quotes a value for an error message, cut short and with control bytes shown as '?'.
std::string quoted(std::string_view s) {
  constexpr std::size_t kShown = 40;
  std::string out = "'";
  for (std::size_t i = 0; i < s.size() && i < kShown; ++i) {
    unsigned char ch = static_cast<unsigned char>(s[i]);
    out += (ch < 0x20 || ch == 0x7F) ? '?' : static_cast<char>(ch);
  }
  if (s.size() > kShown) out += "...";
  return out + "'";
}

}  // namespace

TagType tagType(int code) noexcept {
  if (code < 0 || code > kMaxGroupCode) return TagType::String;
  return kTypeTable[code];
}

// --- value parsing ------------------------------------------------------------------------

bool parseReal(std::string_view text, double& value) {
  text = trim(text);
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, value);
  return ec == std::errc() && p == end && std::isfinite(value);
}

bool parseInteger(std::string_view text, std::int64_t& value) {
  text = trim(text);
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, value);
  if (ec == std::errc() && p == end) return true;
  if (ec == std::errc::result_out_of_range) return false;
  // Some writers put a whole number in decimal form ("1.0") where an integer belongs.
  double d = 0;
  if (!parseReal(text, d) || d != std::floor(d) || std::fabs(d) > 9.0e15) return false;
  value = static_cast<std::int64_t>(d);
  return true;
}

bool parseHandle(std::string_view text, std::uint64_t& value) {
  text = trim(text);
  if (text.empty() || text.size() > 16) return false;
  const char* end = text.data() + text.size();
  auto [p, ec] = std::from_chars(text.data(), end, value, 16);
  return ec == std::errc() && p == end;
}

// --- reader -------------------------------------------------------------------------------

TagReader::TagReader(std::string_view content) : m_text(content) {
  // A file without any LF uses CR alone as its line end (old Macintosh files).
  if (std::memchr(content.data(), '\n', content.size()) == nullptr &&
      std::memchr(content.data(), '\r', content.size()) != nullptr) {
    m_eol = '\r';
  }
}

bool TagReader::fail(std::uint32_t line, std::string message) {
  m_error.set(line, std::move(message));
  m_pos = m_text.size();
  return false;
}

bool TagReader::readLine(std::string_view& line) {
  if (m_pos >= m_text.size()) return false;
  const char* begin = m_text.data() + m_pos;
  std::size_t left = m_text.size() - m_pos;
  const void* found = std::memchr(begin, m_eol, left);
  std::size_t len = found ? static_cast<const char*>(found) - begin : left;
  m_pos += found ? len + 1 : len;
  if (m_eol == '\n' && len > 0 && begin[len - 1] == '\r') --len;
  line = std::string_view(begin, len);
  ++m_line;
  return true;
}

bool TagReader::next(Tag& tag) {
  if (m_pushedBack) {
    m_pushedBack = false;
    tag = m_last;
    return true;
  }
  if (m_error.failed()) return false;
  std::string_view codeLine;
  std::uint32_t codeLineNo = m_line;
  if (!readLine(codeLine)) return false;
  // Blank lines at the very end of a file are harmless; anywhere else they are an error.
  std::string_view code = trim(codeLine);
  if (code.empty() && m_text.find_first_not_of(" \t\r\n", m_pos) == std::string_view::npos) {
    m_pos = m_text.size();
    return false;
  }
  int value = 0;
  auto [p, ec] = std::from_chars(code.data(), code.data() + code.size(), value);
  if (code.empty() || ec != std::errc() || p != code.data() + code.size()) {
    return fail(codeLineNo, "expected a group code, found " + quoted(codeLine));
  }
  if (value < 0 || value > kMaxGroupCode) {
    return fail(codeLineNo, "group code " + std::to_string(value) + " is out of range");
  }
  tag.code = value;
  tag.type = kTypeTable[value];
  tag.line = codeLineNo;
  if (!readLine(tag.text)) {
    return fail(codeLineNo, "group code " + std::to_string(value) + " has no value");
  }
  if (!convert(tag)) return false;
  m_last = tag;
  return true;
}

bool TagReader::convert(Tag& tag) {
  constexpr const char* codeText = "group code ";
  switch (tag.type) {
    case TagType::String:
    case TagType::Binary:
      return true;
    case TagType::Real:
      tag.text = trim(tag.text);
      if (parseReal(tag.text, tag.real)) return true;
      return fail(tag.valueLine(), "bad number " + quoted(tag.text) + " for " + codeText +
                                       std::to_string(tag.code));
    case TagType::Handle:
      tag.text = trim(tag.text);
      if (parseHandle(tag.text, tag.handle)) return true;
      return fail(tag.valueLine(), "bad handle " + quoted(tag.text) + " for " + codeText +
                                       std::to_string(tag.code));
    case TagType::Int16:
    case TagType::Int32:
    case TagType::Int64:
    case TagType::Bool: {
      tag.text = trim(tag.text);
      if (!parseInteger(tag.text, tag.integer)) {
        return fail(tag.valueLine(), "bad integer " + quoted(tag.text) + " for " + codeText +
                                         std::to_string(tag.code));
      }
      bool inRange = true;
      if (tag.type == TagType::Int16) inRange = tag.integer >= kInt16Min && tag.integer <= kInt16Max;
      if (tag.type == TagType::Int32) inRange = tag.integer >= kInt32Min && tag.integer <= kInt32Max;
      if (!inRange) {
        return fail(tag.valueLine(), "integer " + quoted(tag.text) + " is out of range for " +
                                         codeText + std::to_string(tag.code));
      }
      return true;
    }
  }
  return true;
}

// --- loading ------------------------------------------------------------------------------

namespace {

constexpr std::string_view kBinarySentinel = "AutoCAD Binary DXF";
constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

std::uint32_t lineOfOffset(std::string_view text, std::size_t offset) {
  std::uint32_t line = 1;
  for (std::size_t i = 0; i < offset && i < text.size(); ++i) {
    if (text[i] == '\n') ++line;
  }
  return line;
}

}  // namespace

bool checkDxfText(std::string& content, DxfError& error) {
  if (content.compare(0, kBinarySentinel.size(), kBinarySentinel) == 0) {
    error.set(1, "binary DXF is not supported; save the drawing as ASCII DXF");
    return false;
  }
  if (content.compare(0, kUtf8Bom.size(), kUtf8Bom) == 0) content.erase(0, kUtf8Bom.size());
  if (const void* nul = std::memchr(content.data(), '\0', content.size())) {
    std::size_t at = static_cast<const char*>(nul) - content.data();
    error.set(lineOfOffset(content, at), "binary data (NUL byte) in a text DXF file");
    return false;
  }
  return true;
}

bool loadDxfText(const std::string& path, std::string& content, DxfError& error) {
  // Only regular files: a folder opens like a file here, opening a pipe waits for a writer,
  // and devices have no size to read up to.
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
    error.set(0, "cannot read '" + path + "': " + (S_ISDIR(st.st_mode) ? "it is a folder" : "not a regular file"));
    return false;
  }
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "rb"));
  if (!file || ::fstat(::fileno(file.get()), &st) != 0) {
    error.set(0, "cannot open '" + path + "': " + std::strerror(errno));
    return false;
  }
  const auto size = static_cast<std::size_t>(st.st_size);
  content.resize(size);
  if (size > 0 && std::fread(content.data(), 1, content.size(), file.get()) != content.size()) {
    error.set(0, "cannot read '" + path + "': " + std::strerror(errno));
    content.clear();
    return false;
  }
  return checkDxfText(content, error);
}

// --- formatting ---------------------------------------------------------------------------

namespace {
// Room for any double in shortest form ("-2.2250738585072014e-308") and any 64-bit integer.
constexpr std::size_t kNumberRoom = 32;
// The writer hands its buffer to the file when it grows past this many bytes.
constexpr std::size_t kFlushBytes = 1 << 16;
}  // namespace

std::string formatReal(double value) {
  char buf[kNumberRoom];
  auto [p, ec] = std::to_chars(buf, buf + sizeof buf, value);
  return std::string(buf, ec == std::errc() ? p : buf);
}

std::string formatHandle(std::uint64_t value) {
  char buf[kNumberRoom];
  auto [p, ec] = std::to_chars(buf, buf + sizeof buf, value, 16);
  for (char* c = buf; c < p; ++c) {
    if (*c >= 'a' && *c <= 'f') *c = static_cast<char>(*c - 'a' + 'A');
  }
  return std::string(buf, ec == std::errc() ? p : buf);
}

// --- writer -------------------------------------------------------------------------------

TagWriter::TagWriter(std::FILE* file) : m_file(file) {
  if (m_file) m_buffer.reserve(kFlushBytes + 4096);
}

void TagWriter::code(int c) {
  char buf[kNumberRoom];
  char* p = buf;
  if (c < 10) {
    *p++ = ' ';
    *p++ = ' ';
  } else if (c < 100) {
    *p++ = ' ';
  }
  p = std::to_chars(p, buf + sizeof buf, c).ptr;
  m_buffer.append(buf, p);
  endLine();
}

void TagWriter::maybeFlush() {
  if (m_file && m_buffer.size() >= kFlushBytes) {
    if (std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file) != m_buffer.size()) m_failed = true;
    m_buffer.clear();
  }
}

void TagWriter::noteUnreadable(int c, std::string_view what) {
  if (!m_unreadable.empty()) return;
  m_unreadable = "group " + std::to_string(c) + " of " + (m_record.empty() ? std::string("the header") : m_record) +
                 " holds " + std::string(what) + ", which no DXF reader can take back";
}

void TagWriter::string(int c, std::string_view value) {
  if (c == 0) m_record = std::string(value);
  else if (c == 5 && m_record.find(' ') == std::string::npos) m_record += " " + std::string(value);
  if (value.find_first_of("\r\n") != std::string_view::npos) noteUnreadable(c, "a line break");
  code(c);
  m_buffer.append(value);
  endLine();
  maybeFlush();
}

void TagWriter::real(int c, double value) {
  if (!std::isfinite(value)) noteUnreadable(c, "the number " + std::to_string(value));
  code(c);
  char buf[kNumberRoom];
  auto [p, ec] = std::to_chars(buf, buf + sizeof buf, value);
  m_buffer.append(buf, ec == std::errc() ? p : buf);
  endLine();
  maybeFlush();
}

void TagWriter::integer(int c, std::int64_t value) {
  code(c);
  char buf[kNumberRoom];
  auto [p, ec] = std::to_chars(buf, buf + sizeof buf, value);
  m_buffer.append(buf, ec == std::errc() ? p : buf);
  endLine();
  maybeFlush();
}

void TagWriter::handle(int c, std::uint64_t value) {
  code(c);
  char buf[kNumberRoom];
  auto [p, ec] = std::to_chars(buf, buf + sizeof buf, value, 16);
  for (char* ch = buf; ch < p; ++ch) {
    if (*ch >= 'a' && *ch <= 'f') *ch = static_cast<char>(*ch - 'a' + 'A');
  }
  if ((c == 5 || c == 105) && m_record.find(' ') == std::string::npos) m_record += " " + std::string(buf, p);
  m_buffer.append(buf, ec == std::errc() ? p : buf);
  endLine();
  maybeFlush();
}

void TagWriter::point(int c, double x, double y, double z) {
  real(c, x);
  real(c + 10, y);
  real(c + 20, z);
}

void TagWriter::point2d(int c, double x, double y) {
  real(c, x);
  real(c + 10, y);
}

bool TagWriter::finish() {
  if (m_file) {
    if (!m_buffer.empty() &&
        std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file) != m_buffer.size()) {
      m_failed = true;
    }
    m_buffer.clear();
    if (std::fflush(m_file) != 0) m_failed = true;
  }
  return !m_failed;
}

}  // namespace contura::dxf
