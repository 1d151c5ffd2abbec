// Section walker: groups tags into records and checks the nesting of a DXF file.
#include <contura/dxf/records.h>

#include <string>

namespace contura::dxf {

const Tag* Record::find(int code) const {
  for (const Tag& t : tags) {
    if (t.code == code) return &t;
  }
  return nullptr;
}

std::string_view Record::text(int code, std::string_view fallback) const {
  const Tag* t = find(code);
  return t ? t->text : fallback;
}

bool recordHandle(const Record& record, std::uint64_t& handle, DxfError& error) {
  handle = 0;
  int code = record.type() == "DIMSTYLE" ? 105 : 5;
  const Tag* t = record.find(code);
  if (!t) return true;
  if (parseHandle(t->text, handle)) return true;
  std::string shown(t->text.substr(0, 40));
  error.set(t->valueLine(), "bad handle '" + shown + "' for group code " + std::to_string(code));
  return false;
}

namespace {

constexpr int kCommentCode = 999;

std::string show(std::string_view s) {
  constexpr std::size_t kShown = 40;
  std::string out(s.substr(0, kShown));
  for (char& c : out) {
    if (static_cast<unsigned char>(c) < 0x20) c = '?';
  }
  return out;
}

// The walk over one file: holds the reader, the sink and reusable record storage.
class Walker {
 public:
  Walker(TagReader& reader, DxfSink& sink, DxfError& error)
      : m_reader(reader), m_sink(sink), m_error(error) {}

  bool run();

 private:
  // Reads the next tag that is no comment; false at the end of the text or on a tag error.
  bool nextTag(Tag& tag);
  // Reads one record into `record`; false at the end of the text (m_error set on errors).
  bool readRecord(Record& record);
  // Like readRecord, but first returns a record put back with unread().
  bool nextRecord(Record& record);
  void unread(Record& record);
  bool fail(std::uint32_t line, std::string message);
  bool tagError();
  bool endOfFileIn(std::string_view what, std::uint32_t startLine);

  bool header(const Tag& name);
  bool classes();
  bool tables();
  bool blocks();
  bool entities();
  bool objects();
  bool other(const Tag& name);
  // Reads the followers of the entity whose main record is in m_entity.main and hands the
  // whole entity to the sink.
  bool readEntity(const Record* block);
  bool isEndSec(const Record& r) const { return r.type() == "ENDSEC"; }

  TagReader& m_reader;
  DxfSink& m_sink;
  DxfError& m_error;
  Record m_record, m_table, m_block, m_pending;
  bool m_hasPending = false;
  EntityRecords m_entity;
  std::vector<Tag> m_tags;
  std::uint32_t m_sectionLine = 0;
};

bool Walker::fail(std::uint32_t line, std::string message) {
  m_error.set(line, std::move(message));
  return false;
}

bool Walker::tagError() {
  if (m_reader.error().failed()) m_error = m_reader.error();
  return false;
}

bool Walker::endOfFileIn(std::string_view what, std::uint32_t startLine) {
  if (m_reader.error().failed()) return tagError();
  // The reader stands on the line after the last one read: report the file's last line.
  std::uint32_t last = m_reader.line() > 1 ? m_reader.line() - 1 : 1;
  return fail(last, "the file ends inside " + std::string(what) + " begun at line " +
                                   std::to_string(startLine) + " (ENDSEC missing or file cut short)");
}

bool Walker::nextTag(Tag& tag) {
  while (m_reader.next(tag)) {
    if (tag.code != kCommentCode) return true;
  }
  return false;
}

bool Walker::readRecord(Record& record) {
  record.tags.clear();
  Tag tag;
  if (!nextTag(tag)) return false;
  if (tag.code != 0) {
    return fail(tag.line, "expected a '0' tag starting a record, found group code " +
                              std::to_string(tag.code) + " '" + show(tag.text) + "'");
  }
  record.tags.push_back(tag);
  while (nextTag(tag)) {
    if (tag.code == 0) {
      m_reader.pushBack();
      return true;
    }
    record.tags.push_back(tag);
  }
  return !m_reader.error().failed();
}

bool Walker::run() {
  // Section heads are read tag by tag: the tags after "2 HEADER" are variables, not part of
  // a record.
  Tag tag, name;
  bool sawSection = false;
  for (;;) {
    if (!nextTag(tag)) {
      if (m_reader.error().failed()) return tagError();
      if (!sawSection) return fail(m_reader.line(), "no DXF sections found (empty or not a DXF file)");
      return true;  // tolerated: EOF missing after a complete last section
    }
    if (tag.code == 0 && tag.text == "EOF") return true;
    if (tag.code != 0 || tag.text != "SECTION") {
      return fail(tag.line, "expected '0 SECTION', found '" + std::to_string(tag.code) + " " +
                                show(tag.text) + "'");
    }
    if (!nextTag(name) || name.code != 2) {
      if (m_reader.error().failed()) return tagError();
      return fail(tag.line, "SECTION without its name (a '2' tag must follow)");
    }
    sawSection = true;
    m_sectionLine = tag.line;
    bool ok = true;
    if (name.text == "HEADER") ok = header(name);
    else if (name.text == "CLASSES") ok = classes();
    else if (name.text == "TABLES") ok = tables();
    else if (name.text == "BLOCKS") ok = blocks();
    else if (name.text == "ENTITIES") ok = entities();
    else if (name.text == "OBJECTS") ok = objects();
    else ok = other(name);
    if (!ok) return false;
  }
}

bool Walker::header(const Tag& sectionName) {
  // The header holds "9 $NAME" tags each followed by its value tags, not records.
  (void)sectionName;
  Tag tag, name;
  bool haveName = false;
  auto flush = [&]() {
    if (haveName && !m_sink.headerVariable(name, m_tags, m_error)) return false;
    m_tags.clear();
    haveName = false;
    return true;
  };
  while (nextTag(tag)) {
    if (tag.code == 0) {
      if (tag.text == "ENDSEC") return flush() && m_sink.headerEnd(m_error);
      return fail(tag.line, "section HEADER begun at line " + std::to_string(m_sectionLine) +
                                " has no ENDSEC before '0 " + show(tag.text) + "'");
    }
    if (tag.code == 9) {
      if (!flush()) return false;
      name = tag;
      haveName = true;
    } else if (!haveName) {
      return fail(tag.line, "header value with group code " + std::to_string(tag.code) +
                                " before any '9 $NAME' variable");
    } else {
      m_tags.push_back(tag);
    }
  }
  return endOfFileIn("section HEADER", m_sectionLine);
}

bool Walker::classes() {
  while (nextRecord(m_record)) {
    if (isEndSec(m_record)) return true;
    if (m_record.type() != "CLASS") {
      return fail(m_record.line(), "expected '0 CLASS' or '0 ENDSEC' in CLASSES, found '0 " +
                                       show(m_record.type()) + "'");
    }
    if (!m_sink.classRecord(m_record, m_error)) return false;
  }
  return m_error.failed() ? false : endOfFileIn("section CLASSES", m_sectionLine);
}

bool Walker::tables() {
  while (nextRecord(m_table)) {
    if (isEndSec(m_table)) return true;
    if (m_table.type() != "TABLE") {
      return fail(m_table.line(), "expected '0 TABLE' or '0 ENDSEC' in TABLES, found '0 " +
                                      show(m_table.type()) + "'");
    }
    if (!m_sink.tableBegin(m_table, m_error)) return false;
    std::string tableName(m_table.text(2));
    bool closed = false;
    while (nextRecord(m_record)) {
      std::string_view type = m_record.type();
      if (type == "ENDTAB") {
        closed = true;
        break;
      }
      if (type == "TABLE" || type == "ENDSEC" || type == "SECTION" || type == "EOF") {
        return fail(m_record.line(), "table " + show(tableName) + " begun at line " +
                                         std::to_string(m_table.line()) + " has no ENDTAB before '0 " +
                                         show(type) + "'");
      }
      if (!m_sink.tableEntry(m_table, m_record, m_error)) return false;
    }
    if (!closed) {
      return m_error.failed() ? false : endOfFileIn("table " + tableName, m_table.line());
    }
    if (!m_sink.tableEnd(m_table, m_record, m_error)) return false;
  }
  return m_error.failed() ? false : endOfFileIn("section TABLES", m_sectionLine);
}

bool Walker::nextRecord(Record& record) {
  if (m_hasPending) {
    m_hasPending = false;
    record.tags.swap(m_pending.tags);
    return true;
  }
  return readRecord(record);
}

void Walker::unread(Record& record) {
  m_pending.tags.swap(record.tags);
  m_hasPending = true;
}

bool Walker::readEntity(const Record* block) {
  EntityRecords& e = m_entity;
  e.followers.clear();
  e.seqEnd.tags.clear();
  std::string_view type = e.main.type();
  bool hasFollowers = type == "POLYLINE";
  if (type == "INSERT") {
    const Tag* flag = e.main.find(66);
    hasFollowers = flag && flag->type == TagType::Int16 && flag->integer != 0;
  }
  if (hasFollowers) {
    const std::string_view followerType = type == "POLYLINE" ? "VERTEX" : "ATTRIB";
    while (nextRecord(m_record)) {
      if (m_record.type() == followerType) {
        e.followers.emplace_back().tags.swap(m_record.tags);
        continue;
      }
      if (m_record.type() == "SEQEND") e.seqEnd.tags.swap(m_record.tags);
      else unread(m_record);  // a sequence without SEQEND ends at the next record
      break;
    }
    if (m_error.failed() || m_reader.error().failed()) return tagError();
  }
  return m_sink.entity(block, e, m_error);
}

bool Walker::blocks() {
  while (nextRecord(m_block)) {
    if (isEndSec(m_block)) return true;
    if (m_block.type() != "BLOCK") {
      return fail(m_block.line(), "expected '0 BLOCK' or '0 ENDSEC' in BLOCKS, found '0 " +
                                      show(m_block.type()) + "'");
    }
    if (!m_sink.blockBegin(m_block, m_error)) return false;
    bool closed = false;
    while (nextRecord(m_entity.main)) {
      std::string_view type = m_entity.main.type();
      if (type == "ENDBLK") {
        closed = true;
        break;
      }
      if (type == "BLOCK" || type == "ENDSEC" || type == "SECTION" || type == "EOF") {
        return fail(m_entity.main.line(), "block '" + show(m_block.text(2)) + "' begun at line " +
                                              std::to_string(m_block.line()) +
                                              " has no ENDBLK before '0 " + show(type) + "'");
      }
      if (!readEntity(&m_block)) return false;
    }
    if (!closed) {
      return m_error.failed() ? false : endOfFileIn("block '" + show(m_block.text(2)) + "'", m_block.line());
    }
    if (!m_sink.blockEnd(m_block, m_entity.main, m_error)) return false;
  }
  return m_error.failed() ? false : endOfFileIn("section BLOCKS", m_sectionLine);
}

bool Walker::entities() {
  while (nextRecord(m_entity.main)) {
    std::string_view type = m_entity.main.type();
    if (type == "ENDSEC") return true;
    if (type == "SECTION" || type == "EOF" || type == "BLOCK" || type == "ENDBLK" ||
        type == "TABLE") {
      return fail(m_entity.main.line(), "section ENTITIES begun at line " +
                                            std::to_string(m_sectionLine) +
                                            " has no ENDSEC before '0 " + show(type) + "'");
    }
    if (!readEntity(nullptr)) return false;
  }
  return m_error.failed() ? false : endOfFileIn("section ENTITIES", m_sectionLine);
}

bool Walker::objects() {
  while (nextRecord(m_record)) {
    std::string_view type = m_record.type();
    if (type == "ENDSEC") return true;
    if (type == "SECTION" || type == "EOF") {
      return fail(m_record.line(), "section OBJECTS begun at line " + std::to_string(m_sectionLine) +
                                       " has no ENDSEC before '0 " + show(type) + "'");
    }
    if (!m_sink.object(m_record, m_error)) return false;
  }
  return m_error.failed() ? false : endOfFileIn("section OBJECTS", m_sectionLine);
}

bool Walker::other(const Tag& name) {
  m_tags.clear();
  Tag tag;
  while (nextTag(tag)) {
    if (tag.code == 0 && tag.text == "ENDSEC") return m_sink.otherSection(name, m_tags, m_error);
    if (tag.code == 0 && (tag.text == "SECTION" || tag.text == "EOF")) {
      return fail(tag.line, "section " + show(name.text) + " begun at line " +
                                std::to_string(m_sectionLine) + " has no ENDSEC before '0 " +
                                show(tag.text) + "'");
    }
    m_tags.push_back(tag);
  }
  return endOfFileIn("section " + show(name.text), m_sectionLine);
}

}  // namespace

bool walkDxf(TagReader& reader, DxfSink& sink, DxfError& error) {
  error.clear();
  Walker walker(reader, sink, error);
  return walker.run();
}

}  // namespace contura::dxf
