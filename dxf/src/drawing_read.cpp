// Reading a DXF file into a drawing database: tables, blocks, entities, dictionaries, groups,
// with the file's handles and everything unmodelled kept as raw tags.
#include "drawing_common.h"
#include "entity_db.h"
#include "record_parser.h"
#include "tag_filer.h"
#include "value_formats.h"

#include <contura/db/database_access.h>
#include <contura/dxf/dxf.h>
#include <contura/os/codepage.h>

#include <dbdict.h>
#include <dbents.h>
#include <dbgroup.h>
#include <dbsymtb.h>

#include <algorithm>
#include <array>
#include <memory>
#include <unordered_map>

namespace contura::dxf {

namespace {

using namespace detail;
namespace cdb = contura::db;

std::string statusText(Acad::ErrorStatus es) { return "status " + std::to_string(int(es)); }


// Header variables the database keeps itself; the others stay raw in file order.
bool isTypedHeaderVariable(std::string_view name) {
  static const char* const kTyped[] = {"$ACADVER", "$DWGCODEPAGE", "$HANDSEED", "$INSBASE",
                                       "$EXTMIN",  "$EXTMAX",      "$CLAYER",   "$TEXTSTYLE",
                                       "$CELTYPE", "$DIMSTYLE",    "$CECOLOR",  "$CELTSCALE",
                                       "$LTSCALE", "$CELWEIGHT",   "$TEXTSIZE"};
  for (const char* t : kTyped) {
    if (name == t) return true;
  }
  return false;
}

// Builds the database as the walker hands over the file's pieces.
class DrawingBuilder : public DxfSink, public ToDatabase {
 public:
  DrawingBuilder(AcDbDatabase& db, std::string_view text, ReadReport* report)
      : m_db(db), m_text(text), m_report(report) {}

  bool headerVariable(const Tag& name, const std::vector<Tag>& values, DxfError& error) override;
  bool headerEnd(DxfError& error) override;
  bool classRecord(const Record& record, DxfError& error) override;
  bool tableBegin(const Record& table, DxfError& error) override;
  bool tableEntry(const Record& table, const Record& entry, DxfError& error) override;
  bool tableEnd(const Record&, const Record&, DxfError&) override { return true; }
  bool blockBegin(const Record& block, DxfError& error) override;
  bool blockEnd(const Record&, const Record&, DxfError&) override {
    m_currentBlock = AcDbObjectId::kNull;
    return true;
  }
  bool entity(const Record* block, const EntityRecords& records, DxfError& error) override;
  bool object(const Record& record, DxfError& error) override;
  bool otherSection(const Tag& name, const std::vector<Tag>& tags, DxfError& error) override;

  // After the walk: links made by handle, header ids, defaults the file lacks.
  bool finish(DxfError& error);

 private:
  bool ensureEncoding(DxfError& error);
  std::string textEncodingOf() const;
  void note(ReadReport::Kind kind, std::string_view what, std::uint32_t line) {
    if (m_report) m_report->note(kind, what, line);
  }
  // A record an entity names that the file's table lacks was made (counted as repaired).
  void noteMadeRecord(std::u8string_view what) {
    if (m_entityLine != 0) note(ReadReport::Kind::kRepaired, os::utf8Literal(what), m_entityLine);
  }
  bool fail(DxfError& error, std::uint32_t line, std::string message) {
    error.set(line, std::move(message));
    return false;
  }
  // ToDatabase: what the type rows ask of the drawing being read.
  AcDbObjectId idOf(std::uint64_t handle) override;
  AcDbObjectId linetypeId(const std::string& name) override;
  AcDbObjectId styleId(const std::string& name) override;
  AcDbObjectId blockId(const std::string& name) override;
  bool addPart(const AcDbObjectId& owner, std::unique_ptr<AcDbEntity> part, const EntityCommon& c,
               const char* what) override;
  void linkDimStyle(const AcDbObjectId& style, const TableRecord& value) override;

  // Adds a new object with its file handle (or a new one for 0). Null with the error set when
  // it cannot be added (`obj` then still holds it); else the object, open for write.
  template <class T>
  T* add(std::unique_ptr<T>& obj, std::uint64_t handle, std::uint32_t line, std::string_view what,
         AcDbObjectId& id, DxfError& error);
  bool addFailed(Acad::ErrorStatus es, std::uint64_t handle, std::uint32_t line, std::string_view what,
                 DxfError& error);
  void applyRaw(AcDbObject& obj, const EntityCommon& c, bool keepExtras);
  void applyEntity(AcDbEntity& ent, const EntityCommon& c);

  AcDbObjectId table(cdb::TableKind kind, std::uint64_t handle = 0);
  AcDbObjectId layerId(const std::string& name);
  // The entry `name` of a table, made (counted as repaired when `made` is given) when the
  // file's table lacks it.
  AcDbObjectId recordId(cdb::TableKind kind, const std::string& name, const char8_t* made);
  AcDbObjectId spaceOf(const EntityCommon& c);
  // A symbol table record added to its table and remembered by name; the record, still open,
  // or null. A record whose name is empty or taken (a second "*ACTIVE" viewport, a
  // shape-file style) cannot be a table entry of the database: it is kept whole as raw tags
  // of its table and written back after the table's other entries (null, no error).
  AcDbSymbolTableRecord* addRecord(std::unique_ptr<AcDbSymbolTableRecord> rec, cdb::TableKind kind,
                                   const EntityCommon& c, std::uint32_t line, DxfError& error,
                                   const Record* entry = nullptr);
  void keepRecordRaw(cdb::TableKind kind, const std::string& name, const Record& entry);

  // An entity of a class another module registered (named in CLASSES): made by its class,
  // its parent's data mapped here, its own data read by its dxfInFields. Null when the
  // class is not registered (the entity then stays raw).
  std::unique_ptr<AcDbEntity> makeCustomEntity(const EntityRecords& records, Entity& e, DxfError& error,
                                               bool& failed);
  std::unique_ptr<AcDbEntity> makeEntity(const EntityRecords& records, Entity& e, DxfError& error,
                                         bool& failed, const EntityType*& type);
  std::unique_ptr<AcDbEntity> makeRawEntity(const EntityRecords& records, const Entity& e);
  bool appendEntity(AcDbObjectId owner, std::unique_ptr<AcDbEntity>& ent, const EntityRecords& records,
                    const EntityCommon& c, AcDbObjectId& id, DxfError& error);

  bool dictionary(const Record& record, DxfError& error);
  bool group(const Record& record, DxfError& error);
  bool rawObject(const Record& record, DxfError& error);
  void linkEntries();
  void linkDimStyles();
  void keepRawRecords();
  void applyHeader();

  AcDbDatabase& m_db;
  std::string_view m_text;
  ReadReport* m_report;
  std::uint32_t m_entityLine = 0;  // line of the entity being read (0 outside entities)
  DxfError* m_entityError = nullptr;  // where adding its parts reports
  DxfVersion m_version = DxfVersion::R12;
  std::string m_codePage;
  TextCodec m_codec;
  bool m_encodingSet = false;
  std::uint64_t m_handseed = 0;

  // Typed header variables, applied at the end when the tables exist.
  std::map<std::string, std::vector<Tag>> m_header;
  std::map<std::string, std::string> m_headerText;
  cdb::RawHeader m_rawHeader, m_rawSections;
  AcDbRawTags m_classes;
  std::map<std::string, std::string> m_classNames;  // DXF name -> C++ class name

  std::unordered_map<int, AcDbObjectId> m_tables;
  std::unordered_map<int, AcDbRawTags> m_rawRecords;  // entries kept whole, by table
  // Entries by upper-case name, per table.
  std::array<std::unordered_map<std::string, AcDbObjectId>, kTableTypeCount> m_byName;
  std::unordered_map<std::uint64_t, AcDbObjectId> m_blockByHandle;
  AcDbObjectId m_currentBlock;
  bool m_rootSeen = false;

  struct PendingEntry {
    AcDbObjectId dictionary;
    std::string key;
    std::uint64_t handle;
  };
  std::vector<PendingEntry> m_entries;
  struct PendingGroup {
    AcDbObjectId group;
    std::vector<std::uint64_t> members;
  };
  std::vector<PendingGroup> m_groups;
  struct DimStyleLinks {
    AcDbObjectId style;
    std::uint64_t handles[DimStyleRecord::kLinkCount];
  };
  std::vector<DimStyleLinks> m_dimStyleLinks;
  // R12 names the arrowhead blocks.
  struct DimStyleName {
    std::string style;
    int code;  // 5 dimblk, 6 dimblk1, 7 dimblk2
    std::string block;
  };
  std::vector<DimStyleName> m_dimStyleNames;

  Entity m_entity;
};

// --- helpers ------------------------------------------------------------------------------

AcDbObjectId DrawingBuilder::idOf(std::uint64_t handle) {
  AcDbObjectId id;
  if (handle == 0) return id;
  m_db.getAcDbObjectId(id, true, AcDbHandle(handle));
  return id;
}

template <class T>
T* DrawingBuilder::add(std::unique_ptr<T>& obj, std::uint64_t handle, std::uint32_t line,
                       std::string_view what, AcDbObjectId& id, DxfError& error) {
  Acad::ErrorStatus es = handle ? cdb::addObjectWithHandle(m_db, id, obj.get(), AcDbHandle(handle))
                                : m_db.addAcDbObject(id, obj.get());
  if (es != Acad::eOk) {
    addFailed(es, handle, line, what, error);
    return nullptr;
  }
  return obj.release();
}

bool DrawingBuilder::addFailed(Acad::ErrorStatus es, std::uint64_t handle, std::uint32_t line,
                               std::string_view what, DxfError& error) {
  if (es == Acad::eHandleInUse) {
    return fail(error, line, "handle " + formatHandle(handle) + " is used twice (" + std::string(what) + ")");
  }
  return fail(error, line, "cannot add " + std::string(what) + " (" + statusText(es) + ")");
}

void DrawingBuilder::applyRaw(AcDbObject& obj, const EntityCommon& c, bool keepExtras) {
  if (!c.appGroups.empty()) {
    AppGroups g = splitAppGroups(c.appGroups);
    if (!g.reactors.empty()) {
      AcDbObjectIdArray ids;
      for (std::uint64_t h : g.reactors) ids.append(idOf(h));
      cdb::setPersistentReactors(obj, ids);
    }
    if (g.extensionDictionary) cdb::setExtensionDictionary(obj, idOf(g.extensionDictionary));
    if (!g.others.empty()) cdb::setRawAppGroups(obj, toDb(g.others));
  }
  if (!c.xdata.empty()) cdb::setRawXData(obj, toDb(c.xdata));
  if (keepExtras && !c.extras.empty()) cdb::setRawExtra(obj, toDb(c.extras));
}

void DrawingBuilder::applyEntity(AcDbEntity& ent, const EntityCommon& c) {
  ent.setLayer(layerId(c.layer), false);
  if (!c.linetype.empty()) ent.setLinetype(linetypeId(c.linetype), false);
  ent.setColor(toColor(c.color), false);
  if (c.lineweight != AcDb::kLnWtByLayer && isLineWeightValue(c.lineweight))
    ent.setLineWeight(AcDb::LineWeight(c.lineweight), false);
  if (c.linetypeScale != 1.0) ent.setLinetypeScale(c.linetypeScale, false);
  if (c.invisible) ent.setVisibility(AcDb::kInvisible, false);
}

AcDbObjectId DrawingBuilder::table(cdb::TableKind kind, std::uint64_t handle) {
  auto found = m_tables.find(int(kind));
  if (found != m_tables.end()) return found->second;
  std::unique_ptr<AcDbSymbolTable> t = tableTypeOf(kind).newTable();
  AcDbObjectId id;
  DxfError ignored;
  AcDbSymbolTable* added = add(t, handle, 0, "", id, ignored);
  if (!added) return AcDbObjectId::kNull;
  added->close();
  cdb::setTableId(m_db, kind, id);
  m_tables[int(kind)] = id;
  return id;
}

void DrawingBuilder::keepRecordRaw(cdb::TableKind kind, const std::string& name, const Record& entry) {
  note(ReadReport::Kind::kKeptRaw,
       os::utf8Literal(name.empty() ? u8"名称为空的表项 " : u8"名称重复的表项 ") + std::string(entry.type()),
       entry.line());
  AcDbRawTags& raw = m_rawRecords[int(kind)];
  for (const Tag& t : entry.tags) {
    RawTag r = rawTagOf(t, m_codec);
    raw.push_back(AcDbRawTag{r.code, std::move(r.value)});
  }
}

AcDbSymbolTableRecord* DrawingBuilder::addRecord(std::unique_ptr<AcDbSymbolTableRecord> rec,
                                                 cdb::TableKind kind, const EntityCommon& c,
                                                 std::uint32_t line, DxfError& error, const Record* entry) {
  const char* pName = nullptr;
  rec->getName(pName);
  std::string name = pName ? pName : "";
  std::string key = upper(name);
  AcDbObjectId tableId = table(kind);
  std::unordered_map<std::string, AcDbObjectId>& names = m_byName[int(kind)];
  if (entry && (name.empty() || names.count(key))) {
    keepRecordRaw(kind, name, *entry);
    return nullptr;
  }
  AcDbObjectId id;
  AcDbSymbolTableRecord* added = add(rec, c.handle, line, name, id, error);
  if (!added) return nullptr;
  Acad::ErrorStatus es = cdb::appendExistingRecord(tableId, id);
  if (es != Acad::eOk) {
    added->close();
    fail(error, line, "cannot add table entry '" + name + "' (" + statusText(es) + ")");
    return nullptr;
  }
  names[key] = id;
  applyRaw(*added, c, true);
  if (kind == cdb::TableKind::kBlock && c.handle) m_blockByHandle[c.handle] = id;
  return added;
}

// Names an entity uses but the file's tables lack are created, as other CAD programs do, so
// that nothing the file says is lost.
AcDbObjectId DrawingBuilder::recordId(cdb::TableKind kind, const std::string& name, const char8_t* what) {
  std::unordered_map<std::string, AcDbObjectId>& names = m_byName[int(kind)];
  auto it = names.find(upper(name));
  if (it != names.end()) return it->second;
  std::unique_ptr<AcDbSymbolTableRecord> made = tableTypeOf(kind).newRecord();
  made->setName(name.c_str());
  DxfError ignored;
  AcDbSymbolTableRecord* rec = addRecord(std::move(made), kind, EntityCommon(), 0, ignored);
  if (!rec) return AcDbObjectId::kNull;
  AcDbObjectId id = rec->objectId();
  rec->close();
  if (what) noteMadeRecord(what);
  return id;
}

AcDbObjectId DrawingBuilder::layerId(const std::string& name) {
  return recordId(cdb::TableKind::kLayer, name, u8"图元用到而图层表中没有的图层");
}

AcDbObjectId DrawingBuilder::linetypeId(const std::string& name) {
  return recordId(cdb::TableKind::kLinetype, name, u8"图元用到而线型表中没有的线型");
}

AcDbObjectId DrawingBuilder::styleId(const std::string& name) {
  return recordId(cdb::TableKind::kTextStyle, name, u8"图元用到而文字样式表中没有的文字样式");
}

AcDbObjectId DrawingBuilder::blockId(const std::string& name) {
  return recordId(cdb::TableKind::kBlock, canonicalBlockName(name), nullptr);
}

AcDbObjectId DrawingBuilder::spaceOf(const EntityCommon& c) {
  if (c.owner) {
    auto it = m_blockByHandle.find(c.owner);
    if (it != m_blockByHandle.end()) return it->second;
  }
  return blockId(c.paperSpace ? "*Paper_Space" : "*Model_Space");
}

// The code page the person chose for every drawing read (empty: none), see setReadCodePage.
std::string& readCodePageRef() {
  static std::string codePage;
  return codePage;
}

// The code page the file's texts are in. Before R2007 the file says it with $DWGCODEPAGE, but
// many programs write no code page or ANSI_1252 whatever their texts are: then texts that are
// well-formed UTF-8 with characters beyond ASCII are read as UTF-8, and texts that can only be
// Chinese code page 936 as that; anything else as the file says.
std::string DrawingBuilder::textEncodingOf() const {
  if (!readCodePageRef().empty()) return readCodePageRef();
  if (isUtf8Version(m_version)) return m_codePage;
  std::string page = m_codePage;
  for (char& c : page) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (!page.empty() && page != "ANSI_1252") return m_codePage;
  switch (os::guessEncoding(m_text)) {
    case os::EncodingGuess::kUtf8: return "UTF-8";
    case os::EncodingGuess::kGbk: return "ANSI_936";
    default: return m_codePage;
  }
}

bool DrawingBuilder::ensureEncoding(DxfError& error) {
  if (m_encodingSet) return true;
  m_encodingSet = true;
  // A file without $HANDSEED: start new handles above every handle in the file, so that
  // objects made here never take a handle an object further on has.
  if (m_handseed == 0) {
    TagReader scan(m_text);
    Tag t;
    while (scan.next(t)) {
      std::uint64_t h = 0;
      if ((t.code == 5 || t.code == 105) && parseHandle(t.text, h)) m_handseed = std::max(m_handseed, h + 1);
    }
  }
  if (m_handseed) cdb::setHandseed(m_db, AcDbHandle(m_handseed));
  // A code page the person chose holds for every version (setFileEncoding makes R2007 and
  // later UTF-8 whatever it is given).
  const DxfVersion encodingVersion = readCodePageRef().empty() ? m_version : DxfVersion::R2004;
  const std::string encoding = textEncodingOf();
  if (readCodePageRef().empty() && encoding != m_codePage) {
    note(ReadReport::Kind::kConverted,
         os::utf8Literal(u8"文字按其内容读作 ") + encoding + os::utf8Literal(u8"（文件写的代码页是 ") +
             (m_codePage.empty() ? os::utf8Literal(u8"空") : m_codePage) + os::utf8Literal(u8"）"),
         0);
  }
  if (!m_codec.setFileEncoding(encodingVersion, encoding)) {
    // An unknown code page is read as ANSI_1252, as other programs do; not an error.
  }
  (void)error;
  return true;
}

// --- header and classes ---------------------------------------------------------------------

bool DrawingBuilder::headerVariable(const Tag& name, const std::vector<Tag>& values, DxfError&) {
  std::string key(name.text);
  if (key == "$ACADVER" && !values.empty()) versionFromAcadVer(values[0].text, m_version);
  if (key == "$DWGCODEPAGE" && !values.empty()) m_codePage = std::string(values[0].text);
  if (key == "$HANDSEED" && !values.empty()) parseHandle(values[0].text, m_handseed);
  if (isTypedHeaderVariable(key)) {
    m_header[key] = values;
    if (!values.empty()) m_headerText[key] = std::string(values[0].text);
    return true;
  }
  // Decoded later, once the code page is known (it comes early, but not always first).
  AcDbRawTags tags;
  for (const Tag& v : values) tags.push_back(AcDbRawTag{short(v.code), std::string(v.text)});
  m_rawHeader.emplace_back(key, std::move(tags));
  return true;
}

bool DrawingBuilder::headerEnd(DxfError& error) {
  if (!ensureEncoding(error)) return false;
  for (auto& [name, tags] : m_rawHeader) {
    for (AcDbRawTag& t : tags) {
      if (tagType(t.code) == TagType::String) t.value = m_codec.decode(t.value);
    }
  }
  for (auto& [name, text] : m_headerText) text = m_codec.decode(text);
  return true;
}

bool DrawingBuilder::classRecord(const Record& record, DxfError& error) {
  ensureEncoding(error);
  for (const Tag& t : record.tags) {
    RawTag raw = rawTagOf(t, m_codec);
    m_classes.push_back(AcDbRawTag{raw.code, raw.value});
  }
  std::string dxfName(record.text(1)), cppName(record.text(2));
  if (!dxfName.empty()) m_classNames[dxfName] = cppName;
  return true;
}

bool DrawingBuilder::otherSection(const Tag& name, const std::vector<Tag>& tags, DxfError& error) {
  ensureEncoding(error);
  AcDbRawTags raw;
  raw.reserve(tags.size());
  for (const Tag& t : tags) {
    RawTag r = rawTagOf(t, m_codec);
    raw.push_back(AcDbRawTag{r.code, std::move(r.value)});
  }
  m_rawSections.emplace_back(std::string(name.text), std::move(raw));
  return true;
}

// --- tables -------------------------------------------------------------------------------

bool DrawingBuilder::tableBegin(const Record& record, DxfError& error) {
  ensureEncoding(error);
  const TableType* type = findTableType(record.text(2));
  if (!type) return true;  // an unknown table's entries are refused one by one below
  EntityCommon c;
  RecordParser p(m_codec, c, error);
  if (!p.run(record, [](std::string_view, const Tag& t) { return t.code == 2 || t.code == 70; })) return false;
  if (m_tables.count(int(type->table))) return true;
  AcDbObjectId id = table(type->table, c.handle);
  if (id.isNull()) return fail(error, record.line(), "cannot add table " + std::string(record.text(2)));
  AcDbObject* obj = nullptr;
  if (acdbOpenObject(obj, id, AcDb::kForWrite) == Acad::eOk) {
    applyRaw(*obj, c, true);
    obj->close();
  }
  return true;
}

bool DrawingBuilder::tableEntry(const Record& table, const Record& entry, DxfError& error) {
  if (!findTableType(table.text(2))) {
    return fail(error, entry.line(), "unknown table '" + std::string(table.text(2)) + "'");
  }
  TableRecord value;
  if (!readTableRecord(entry, m_codec, value, error)) return false;
  const TableType& type = tableTypeOf(value.kind);
  AcDbSymbolTableRecord* rec = addRecord(type.toDb(value), type.table, value.common, entry.line(), error, &entry);
  if (!rec) return !error.failed();  // kept whole, see addRecord
  if (type.afterAdd) type.afterAdd(*rec, value, *this);
  rec->close();
  return true;
}

void DrawingBuilder::linkDimStyle(const AcDbObjectId& style, const TableRecord& value) {
  DimStyleLinks links{style, {}};
  std::copy(std::begin(value.dimStyle.links), std::end(value.dimStyle.links), links.handles);
  m_dimStyleLinks.push_back(links);
  for (int i = 0; i < 3; ++i) {
    if (!value.dimStyle.arrowNames[i].empty()) m_dimStyleNames.push_back({value.name, 5 + i, value.dimStyle.arrowNames[i]});
  }
}

// --- blocks and entities ------------------------------------------------------------------

bool DrawingBuilder::blockBegin(const Record& block, DxfError& error) {
  ensureEncoding(error);
  EntityCommon c;
  RecordParser p(m_codec, c, error);
  p.takeEntityData(true);
  std::string name, path, description;
  Point3 origin;
  std::int16_t flags = 0;
  if (!p.run(block, [&](std::string_view, const Tag& t) {
        if (detail::isCoordinate(t.code, 10)) {
          detail::setCoordinate(origin, t.code, 10, t.real);
          return true;
        }
        switch (t.code) {
          case 2: name = p.text(t); return true;
          case 3: return true;
          case 70: flags = static_cast<std::int16_t>(t.integer); return true;
          case 1: path = p.text(t); return true;
          case 4: description = p.text(t); return true;
          default: return false;
        }
      })) return false;
  AcDbObjectId id;
  auto byOwner = c.owner ? m_blockByHandle.find(c.owner) : m_blockByHandle.end();
  id = byOwner != m_blockByHandle.end() ? byOwner->second : blockId(name);
  AcDbBlockTableRecord* rec = nullptr;
  if (acdbOpenObject(rec, id, AcDb::kForWrite) != Acad::eOk) {
    return fail(error, block.line(), "cannot open block '" + name + "'");
  }
  rec->setOrigin(toPoint(origin));
  if (flags & kBlockExternal) rec->setIsFromExternalReference(true);
  if (flags & kBlockOverlay) rec->setIsFromOverlayReference(true);
  if (!path.empty()) rec->setPathName(path.c_str());
  if (!description.empty()) rec->setComments(description.c_str());
  rec->close();
  m_currentBlock = id;
  return true;
}

bool DrawingBuilder::addPart(const AcDbObjectId& owner, std::unique_ptr<AcDbEntity> part,
                             const EntityCommon& c, const char* what) {
  applyEntity(*part, c);
  AcDbObjectId partId;
  AcDbEntity* added = add(part, c.handle, m_entityLine, what, partId, *m_entityError);
  if (!added) return false;
  applyRaw(*added, c, true);
  added->close();
  Acad::ErrorStatus es = cdb::appendExistingPart(owner, partId);
  if (es != Acad::eOk) return fail(*m_entityError, m_entityLine, std::string("cannot add ") + what + " (" + statusText(es) + ")");
  return true;
}

std::unique_ptr<AcDbEntity> DrawingBuilder::makeCustomEntity(const EntityRecords& records, Entity& e,
                                                             DxfError& error, bool& failed) {
  auto cls = m_classNames.find(e.raw.type);
  if (cls == m_classNames.end() || !acrxClassDictionary) return nullptr;
  AcRxClass* rxClass = AcRxClass::cast(acrxClassDictionary->at(cls->second.c_str()));
  if (!rxClass || !rxClass->isDerivedFrom(AcDbEntity::desc())) return nullptr;
  const bool isText = rxClass->isDerivedFrom(AcDbText::desc());
  if (isText) {
    // Read as the TEXT it extends; the class's own subclasses stay in the extras.
    EntityRecords asText = records;
    asText.main.tags[0].text = "TEXT";
    if (!readEntity(asText, m_codec, e, error)) {
      failed = true;
      return nullptr;
    }
  }
  std::unique_ptr<AcDbEntity> ent(AcDbEntity::cast(rxClass->create()));
  if (!ent) return nullptr;
  if (isText) setText(*AcDbText::cast(ent.get()), e.text, styleId(e.text.style));
  // The tags of subclasses this layer does not map go to the class itself.
  RawTags own, kept;
  std::string_view current;
  for (const RawTag& t : e.common.extras) {
    if (t.code == 100) current = t.value;
    bool parentData = current.empty() || current == "AcDbEntity" || (isText && current == "AcDbText");
    (parentData ? kept : own).push_back(t);
  }
  TagFiler filer(&m_db, m_version, std::move(own));
  Acad::ErrorStatus es = ent->dxfInFields(&filer);
  if (es != Acad::eOk) {
    failed = true;
    error.set(records.main.line(), "cannot read " + std::string(records.main.type()) + " (" + statusText(es) + ")");
    return nullptr;
  }
  e.common.extras = std::move(kept);
  e.kind = isText ? Entity::Kind::Text : Entity::Kind::Raw;
  return ent;
}

// Old-style 2D polylines (POLYLINE with VERTEX records, all R12 has) become lightweight
// polylines when they are simple, as the host converts them on opening: no curve or spline
// fit, not 3D, no mesh or face, no vertex made by fitting or carrying a tangent or data of its
// own. A vertex width of 0 takes the polyline's default width, as in the file. Others stay
// old-style, exactly as read.
bool makeLightweightIfSimple(PolylineEntity& p) {
  constexpr std::int16_t kNotSimple = kPolylineCurveFit | kPolylineSplineFit | kPolyline3d | kPolygonMesh | kPolyfaceMesh;
  constexpr std::int16_t kVertexNotSimple = kVertexCurveFit | kVertexTangent | kVertexSplineFit | kVertexSplineFrame |
                                            kVertex3d | kVertexMesh | kVertexPolyface;
  if (p.flags & kNotSimple) return false;
  for (const PolylineVertex& v : p.vertices) {
    if ((v.flags & kVertexNotSimple) || !v.common.xdata.empty() || !v.common.extras.empty() ||
        !v.common.appGroups.empty())
      return false;
  }
  for (PolylineVertex& v : p.vertices) {
    if (v.startWidth == 0) v.startWidth = p.defaultStartWidth;
    if (v.endWidth == 0) v.endWidth = p.defaultEndWidth;
    v.common = EntityCommon();
  }
  p.lightweight = true;
  p.flags &= kPolylineClosed | kPolylineLinetypeGeneration;
  p.seqEnd = EntityCommon();
  return true;
}

// An entity kept as read: its followers (3D polyline vertices...) whole after its own tags.
std::unique_ptr<AcDbEntity> DrawingBuilder::makeRawEntity(const EntityRecords& records, const Entity& e) {
  note(ReadReport::Kind::kKeptRaw, e.raw.type, records.main.line());
  auto r = std::make_unique<AcDbRawEntity>();
  r->setDxfName(e.raw.type);
  auto cls = m_classNames.find(e.raw.type);
  if (cls != m_classNames.end()) r->setClassName(cls->second);
  AcDbRawTags tags = toDb(e.common.extras);
  auto appendRecord = [&](const Record& rec) {
    for (const Tag& t : rec.tags) {
      RawTag rt = rawTagOf(t, m_codec);
      tags.push_back(AcDbRawTag{rt.code, std::move(rt.value)});
    }
  };
  for (const Record& f : records.followers) appendRecord(f);
  if (!records.seqEnd.tags.empty()) appendRecord(records.seqEnd);
  r->setTags(std::move(tags));
  return r;
}

// The database entity of a value: by its type's row, else of another module's class, else
// kept as read (null; `type` is then null for another module's class).
std::unique_ptr<AcDbEntity> DrawingBuilder::makeEntity(const EntityRecords& records, Entity& e, DxfError& error,
                                                       bool& failed, const EntityType*& type) {
  if (e.kind != Entity::Kind::Raw) return type->toDb(e, *this);
  std::unique_ptr<AcDbEntity> ent = makeCustomEntity(records, e, error, failed);
  if (ent || failed) {
    type = nullptr;
    return ent;
  }
  // Types always kept as read may still have a database class for what they hold; a type
  // with a reader kept as read (a 3D polyline, a hatch of another layout) stays as read.
  if (type && !type->read && type->toDb) ent = type->toDb(e, *this);
  return ent;
}

bool DrawingBuilder::appendEntity(AcDbObjectId owner, std::unique_ptr<AcDbEntity>& ent, const EntityRecords& records,
                                  const EntityCommon& c, AcDbObjectId& id, DxfError& error) {
  Acad::ErrorStatus es = c.handle ? cdb::appendEntityWithHandle(owner, id, ent.get(), AcDbHandle(c.handle))
                                  : Acad::eNullHandle;
  if (es == Acad::eNullHandle) {
    AcDbBlockTableRecord* btr = nullptr;
    es = acdbOpenObject(btr, owner, AcDb::kForWrite);
    if (es == Acad::eOk) {
      es = btr->appendAcDbEntity(id, ent.get());
      btr->close();
    }
  }
  if (es == Acad::eOk) return true;
  const Tag* h = records.main.find(5);
  const std::uint32_t line = es == Acad::eHandleInUse && h ? h->valueLine() : records.main.line();
  return addFailed(es, c.handle, line, records.main.type(), error);
}

bool DrawingBuilder::entity(const Record* block, const EntityRecords& records, DxfError& error) {
  ensureEncoding(error);
  Entity& e = m_entity;
  const EntityType* type = nullptr;
  if (!readEntityOfType(records, m_codec, e, error, type)) return false;
  // A type the database has no class for (TRACE) is kept whole, as read, and written back so.
  if (e.kind != Entity::Kind::Raw && !type->toDb && !readEntityAsRaw(records, m_codec, e, error)) return false;
  const std::uint32_t line = records.main.line();
  m_entityLine = line;
  m_entityError = &error;
  struct LineReset {
    std::uint32_t& line;
    ~LineReset() { line = 0; }
  } lineReset{m_entityLine};
  if (e.kind == Entity::Kind::Polyline && !e.polyline.lightweight && makeLightweightIfSimple(e.polyline)) {
    note(ReadReport::Kind::kConverted, os::utf8Literal(u8"旧式二维多段线（POLYLINE）转为轻量多段线"), line);
    type = findEntityType(e.kindTypeName());
  }
  AcDbObjectId owner = block ? m_currentBlock : spaceOf(e.common);
  bool failed = false;
  std::unique_ptr<AcDbEntity> ent = makeEntity(records, e, error, failed, type);
  if (failed) return false;
  const bool raw = ent == nullptr;
  if (raw) ent = makeRawEntity(records, e);
  applyEntity(*ent, e.common);
  AcDbObjectId id;
  if (!appendEntity(owner, ent, records, e.common, id, error)) return false;
  AcDbEntity* added = ent.release();
  applyRaw(*added, e.common, !raw);
  added->close();
  return raw || !type || !type->partsToDb || type->partsToDb(e, *this, id);
}

// --- objects --------------------------------------------------------------------------------

bool DrawingBuilder::object(const Record& record, DxfError& error) {
  ensureEncoding(error);
  if (record.type() == "DICTIONARY") return dictionary(record, error);
  if (record.type() == "GROUP") return group(record, error);
  return rawObject(record, error);
}

bool DrawingBuilder::dictionary(const Record& record, DxfError& error) {
  EntityCommon c;
  RecordParser p(m_codec, c, error);
  auto d = std::make_unique<AcDbDictionary>();
  std::string key;
  std::vector<std::pair<std::string, std::uint64_t>> entries;
  if (!p.run(record, [&](std::string_view subclass, const Tag& t) {
        if (subclass != "AcDbDictionary" && !subclass.empty()) return false;
        switch (t.code) {
          case 280: d->setTreatElementsAsHard(t.integer != 0); return true;
          case 281:
            if (auto style = enumValue(t.integer, AcDbDictionary::kDrcNotApplicable, AcDbDictionary::kDrcUnmangleName))
              d->setMergeStyle(*style);
            return true;
          case 3: key = p.text(t); return true;
          case 350:
          case 360: entries.emplace_back(key, t.handle); return true;
          default: return false;
        }
      }))
    return false;
  AcDbObjectId id;
  AcDbDictionary* added = add(d, c.handle, record.line(), "DICTIONARY", id, error);
  if (!added) return false;
  if (c.owner == 0 && !m_rootSeen) {
    m_rootSeen = true;
    cdb::setNamedObjectsDictionaryId(m_db, id);
  } else if (c.owner) {
    added->setOwnerId(idOf(c.owner));
  }
  applyRaw(*added, c, true);
  added->close();
  for (auto& [k, h] : entries) m_entries.push_back({id, k, h});
  return true;
}

bool DrawingBuilder::group(const Record& record, DxfError& error) {
  EntityCommon c;
  RecordParser p(m_codec, c, error);
  auto g = std::make_unique<AcDbGroup>();
  PendingGroup pending;
  bool unnamed = false;
  if (!p.run(record, [&](std::string_view, const Tag& t) {
        switch (t.code) {
          case 300: g->setDescription(p.text(t).c_str()); return true;
          case 70: unnamed = t.integer != 0; return true;
          case 71: g->setSelectable(t.integer != 0); return true;
          case 340: pending.members.push_back(t.handle); return true;
          default: return false;
        }
      }))
    return false;
  if (unnamed) g->setAnonymous();
  AcDbGroup* added = add(g, c.handle, record.line(), "GROUP", pending.group, error);
  if (!added) return false;
  if (c.owner) added->setOwnerId(idOf(c.owner));
  applyRaw(*added, c, true);
  added->close();
  m_groups.push_back(std::move(pending));
  return true;
}

bool DrawingBuilder::rawObject(const Record& record, DxfError& error) {
  EntityCommon c;
  RecordParser p(m_codec, c, error);
  if (!p.run(record, [](std::string_view, const Tag&) { return false; })) return false;
  const std::string type(record.type());
  auto o = std::make_unique<AcDbRawObject>();
  o->setDxfName(type);
  auto cls = m_classNames.find(type);
  if (cls != m_classNames.end()) o->setClassName(cls->second);
  o->setTags(toDb(c.extras));
  AcDbObjectId id;
  AcDbRawObject* added = add(o, c.handle, record.line(), type, id, error);
  if (!added) return false;
  if (c.owner) added->setOwnerId(idOf(c.owner));
  applyRaw(*added, c, false);
  added->close();
  return true;
}

// --- the end --------------------------------------------------------------------------------

Point3 pointOf(const std::vector<Tag>& tags) {
  Point3 p;
  for (const Tag& t : tags) {
    if (detail::isCoordinate(t.code, 10)) detail::setCoordinate(p, t.code, 10, t.real);
  }
  return p;
}

void DrawingBuilder::linkEntries() {
  for (const PendingEntry& e : m_entries) {
    AcDbObjectId id;
    if (m_db.getAcDbObjectId(id, false, AcDbHandle(e.handle)) != Acad::eOk || !id.isValid()) continue;
    cdb::appendExistingEntry(e.dictionary, e.key, id);
  }
  for (const PendingGroup& g : m_groups) {
    AcDbGroup* group = nullptr;
    if (acdbOpenObject(group, g.group, AcDb::kForWrite) != Acad::eOk) continue;
    for (std::uint64_t h : g.members) {
      AcDbObjectId id;
      if (m_db.getAcDbObjectId(id, false, AcDbHandle(h)) == Acad::eOk && id.isValid()) group->append(id);
    }
    group->close();
  }
}

void DrawingBuilder::linkDimStyles() {
  using D = DimStyleRecord;
  for (const DimStyleLinks& d : m_dimStyleLinks) {
    AcDbDimStyleTableRecord* rec = nullptr;
    if (acdbOpenObject(rec, d.style, AcDb::kForWrite) != Acad::eOk) continue;
    auto found = [&](D::Link link) {
      AcDbObjectId id;
      if (d.handles[link]) m_db.getAcDbObjectId(id, false, AcDbHandle(d.handles[link]));
      return id;
    };
    if (AcDbObjectId id = found(D::kDimblk); !id.isNull()) rec->setDimblk(id);
    if (AcDbObjectId id = found(D::kDimblk1); !id.isNull()) rec->setDimblk1(id);
    if (AcDbObjectId id = found(D::kDimblk2); !id.isNull()) rec->setDimblk2(id);
    if (AcDbObjectId id = found(D::kDimldrblk); !id.isNull()) rec->setDimldrblk(id);
    if (AcDbObjectId id = found(D::kDimtxsty); !id.isNull()) rec->setDimtxsty(id);
    rec->close();
  }
  for (const DimStyleName& d : m_dimStyleNames) {
    AcDbDimStyleTable* t = nullptr;
    if (m_db.getDimStyleTable(t) != Acad::eOk) break;
    AcDbDimStyleTableRecord* rec = nullptr;
    t->getAt(d.style.c_str(), rec, AcDb::kForWrite);
    t->close();
    if (!rec) continue;
    AcDbObjectId block = blockId(d.block);
    if (d.code == 5) rec->setDimblk(block);
    if (d.code == 6) rec->setDimblk1(block);
    if (d.code == 7) rec->setDimblk2(block);
    rec->close();
  }
}

void DrawingBuilder::keepRawRecords() {
  for (auto& [kind, raw] : m_rawRecords) {
    AcDbObject* t = nullptr;
    if (acdbOpenObject(t, m_tables[kind], AcDb::kForWrite) != Acad::eOk) continue;
    AcDbRawTags extra = cdb::rawExtra(*t);
    extra.insert(extra.end(), raw.begin(), raw.end());
    cdb::setRawExtra(*t, std::move(extra));
    t->close();
  }
}

// Typed header variables.
void DrawingBuilder::applyHeader() {
  auto real = [&](const char* name, double& v) {
    auto it = m_header.find(name);
    if (it == m_header.end() || it->second.empty()) return false;
    v = it->second[0].real;
    return true;
  };
  if (m_header.count("$INSBASE")) m_db.setInsbase(toPoint(pointOf(m_header["$INSBASE"])));
  if (m_header.count("$EXTMIN")) m_db.setExtmin(toPoint(pointOf(m_header["$EXTMIN"])));
  if (m_header.count("$EXTMAX")) m_db.setExtmax(toPoint(pointOf(m_header["$EXTMAX"])));
  double v = 0;
  if (real("$LTSCALE", v)) m_db.setLtscale(v);
  if (real("$CELTSCALE", v)) m_db.setCeltscale(v);
  if (real("$TEXTSIZE", v)) m_db.setTextsize(v);
  if (m_header.count("$CELWEIGHT") && !m_header["$CELWEIGHT"].empty() &&
      isLineWeightValue(static_cast<int>(m_header["$CELWEIGHT"][0].integer))) {
    m_db.setCelweight(AcDb::LineWeight(m_header["$CELWEIGHT"][0].integer));
  }
  if (m_header.count("$CECOLOR")) {
    Color c;
    for (const Tag& t : m_header["$CECOLOR"]) {
      if (t.code == 62) c.index = static_cast<std::int16_t>(t.integer);
      if (t.code == 420) c.rgb = std::int32_t(t.integer & 0xFFFFFF);
    }
    m_db.setCecolor(toColor(c));
  }
  auto named = [&](const char* var, cdb::TableKind kind) {
    auto it = m_headerText.find(var);
    if (it == m_headerText.end()) return AcDbObjectId();
    auto found = m_byName[int(kind)].find(upper(it->second));
    return found == m_byName[int(kind)].end() ? AcDbObjectId() : found->second;
  };
  if (AcDbObjectId id = named("$CLAYER", cdb::TableKind::kLayer); !id.isNull()) m_db.setClayer(id);
  if (AcDbObjectId id = named("$TEXTSTYLE", cdb::TableKind::kTextStyle); !id.isNull()) m_db.setTextstyle(id);
  if (AcDbObjectId id = named("$CELTYPE", cdb::TableKind::kLinetype); !id.isNull()) m_db.setCeltype(id);
  if (auto it = m_headerText.find("$DIMSTYLE"); it != m_headerText.end()) {
    AcDbDimStyleTable* t = nullptr;
    if (m_db.getDimStyleTable(t) == Acad::eOk) {
      AcDbObjectId id;
      if (t->getAt(it->second.c_str(), id) == Acad::eOk) m_db.setDimstyle(id);
      t->close();
    }
  }
}

bool DrawingBuilder::finish(DxfError& error) {
  ensureEncoding(error);
  linkEntries();
  linkDimStyles();
  keepRawRecords();
  cdb::completeDefaultDrawing(m_db);
  applyHeader();
  if (!m_classes.empty()) m_rawSections.insert(m_rawSections.begin(), {"CLASSES", m_classes});
  cdb::setRawHeader(m_db, std::move(m_rawHeader));
  cdb::setRawSections(m_db, std::move(m_rawSections));
  if (m_handseed) cdb::setHandseed(m_db, AcDbHandle(m_handseed));
  return true;
}

Acad::ErrorStatus readInto(std::string& text, AcDbDatabase& db, DxfError& error, ReadReport* report) {
  if (!checkDxfText(text, error)) return Acad::eDwgNotRecoverable;
  TagReader reader(text);
  DrawingBuilder builder(db, text, report);
  if (!walkDxf(reader, builder, error)) return Acad::eDwgNotRecoverable;
  if (!builder.finish(error)) return Acad::eDwgNotRecoverable;
  return Acad::eOk;
}

}  // namespace

bool setReadCodePage(const std::string& codePage) {
  if (!codePage.empty() && !TextCodec().setFileEncoding(DxfVersion::R2004, codePage)) return false;
  readCodePageRef() = codePage;
  return true;
}

Acad::ErrorStatus readDxfText(std::string text, AcDbDatabase& db, DxfError& error, ReadReport* report) {
  error.clear();
  return readInto(text, db, error, report);
}

Acad::ErrorStatus readDxf(const std::string& path, AcDbDatabase& db, DxfError& error, ReadReport* report) {
  error.clear();
  std::string text;
  if (!loadDxfText(path, text, error)) {
    return error.line == 0 ? Acad::eFileNotFound : Acad::eDwgNotRecoverable;
  }
  Acad::ErrorStatus es = readInto(text, db, error, report);
  if (es == Acad::eOk) cdb::setFileName(db, os::utf8ToCp936(path));
  return es;
}

}  // namespace contura::dxf
