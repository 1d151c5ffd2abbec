// DXF tags: group code/value pairs read from and written to ASCII DXF text. Knows no database.
#pragma once
#include <contura/dxf/error.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace contura::dxf {

// What a group code's value holds. The ranges are those of the DXF format; codes inside
// 0..1071 that the format leaves undefined are read as strings so they survive unchanged.
enum class TagType : std::uint8_t { String, Real, Int16, Int32, Int64, Bool, Handle, Binary };

constexpr int kMaxGroupCode = 1071;

// Type of a group code in 0..kMaxGroupCode.
TagType tagType(int code) noexcept;

struct Tag {
  int code = 0;
  TagType type = TagType::String;
  // Line of the group code (1-based); the value is on the next line.
  std::uint32_t line = 0;
  // The value line as it stands in the file, without its line end. Numbers and handles are
  // trimmed of surrounding blanks; strings keep them. Points into the reader's buffer.
  std::string_view text;
  double real = 0;             // TagType::Real
  std::int64_t integer = 0;    // Int16, Int32, Int64, Bool
  std::uint64_t handle = 0;    // Handle

  std::uint32_t valueLine() const { return line + 1; }
};

// Reads tags from the text of a whole ASCII DXF file. Line ends may be LF, CR LF or CR.
// Every numeric and handle value is checked and converted as it is read, so a bad number is
// reported at its line whatever later reads it. The text must outlive the reader and its tags.
class TagReader {
 public:
  explicit TagReader(std::string_view content);

  // Reads the next tag. False at the end of the text (error() empty) or on an error.
  bool next(Tag& tag);
  // Makes the next call of next() return the tag last returned again (one level only).
  void pushBack() { m_pushedBack = true; }
  // True when no tag is left (a pushed-back tag counts as left).
  bool atEnd() const { return !m_pushedBack && m_pos >= m_text.size(); }

  const DxfError& error() const { return m_error; }
  // Line the reader has reached (the line after the last tag read).
  std::uint32_t line() const { return m_line; }

 private:
  bool readLine(std::string_view& line);
  bool convert(Tag& tag);
  bool fail(std::uint32_t line, std::string message);

  std::string_view m_text;
  std::size_t m_pos = 0;
  std::uint32_t m_line = 1;
  char m_eol = '\n';
  Tag m_last;
  bool m_pushedBack = false;
  DxfError m_error;
};

// Loads a whole file for TagReader. Refuses binary DXF and text with NUL bytes, naming the
// line; skips a UTF-8 byte-order mark. False with `error` set on failure.
bool loadDxfText(const std::string& path, std::string& content, DxfError& error);
// The same checks on text already in memory (what loadDxfText applies after reading).
bool checkDxfText(std::string& content, DxfError& error);

// Parses a DXF number, integer or hexadecimal handle the way TagReader does (blanks around
// the value allowed; doubles must be finite). False when the text is not such a value.
bool parseReal(std::string_view text, double& value);
bool parseInteger(std::string_view text, std::int64_t& value);
bool parseHandle(std::string_view text, std::uint64_t& value);

// Formats values as TagWriter writes them: doubles in the shortest form that reads back to
// the same double, handles in upper-case hexadecimal without leading zeros.
std::string formatReal(double value);
std::string formatHandle(std::uint64_t value);

// Writes tags as ASCII DXF: the group code right-aligned in three columns, then the value,
// each line ended by CR LF as the DXF writers of the CAD host do. Writes to a file when given
// one (flushed in blocks), otherwise collects the text. Strings are written as given: the
// caller has already encoded them (see TextCodec) and they hold no line ends.
class TagWriter {
 public:
  explicit TagWriter(std::FILE* file = nullptr);
  TagWriter(const TagWriter&) = delete;
  TagWriter& operator=(const TagWriter&) = delete;

  void string(int code, std::string_view value);
  void real(int code, double value);
  void integer(int code, std::int64_t value);
  void handle(int code, std::uint64_t value);
  // Writes x, y (and z) under code, code+10 (and code+20).
  void point(int code, double x, double y, double z);
  void point2d(int code, double x, double y);
  // Writes a tag read from a file with its value text unchanged.
  void raw(int code, std::string_view text) { string(code, text); }

  // Flushes to the file; false when a write failed. Collected text stays available.
  bool finish();
  bool failed() const { return m_failed; }
  const std::string& text() const { return m_buffer; }

  // The first value written that no reader could take back (a number that is not finite, a
  // string holding a line end), with the record it was in; empty when there was none. The
  // value is written all the same: the caller must not use the text when this is set.
  const std::string& unreadable() const { return m_unreadable; }

 private:
  void code(int code);
  void endLine() { m_buffer.append("\r\n", 2); }
  void maybeFlush();
  void noteUnreadable(int code, std::string_view what);

  std::FILE* m_file;
  std::string m_buffer;
  bool m_failed = false;
  std::string m_record;  // type and handle of the record being written, for messages
  std::string m_unreadable;
};

}  // namespace contura::dxf
