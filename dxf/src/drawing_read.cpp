// Reading a DXF file into a drawing database: tables, blocks, entities, dictionaries, groups,
// with the file's handles and everything unmodelled kept as raw tags.
#include "drawing_common.h"
#include "record_parser.h"
#include "tag_filer.h"

#include <contura/db/database_access.h>
#include <contura/dxf/dxf.h>
#include <contura/os/codepage.h>

#include <dbdict.h>
#include <dbelipse.h>
#include <dbents.h>
#include <dbgroup.h>
#include <dbhatch.h>
#include <dbmtext.h>
#include <dbpl.h>
#include <dbspline.h>
#include <dbsymtb.h>
#include <contura/db/solid_data.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <unordered_map>
#include <unordered_set>

namespace contura::dxf {

namespace {

using namespace detail;
namespace cdb = contura::db;

std::string upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  }
  return out;
}

std::string statusText(Acad::ErrorStatus es) { return "status " + std::to_string(int(es)); }

AcCmColor toColor(const Color& c) {
  AcCmColor color;
  if (c.rgb >= 0) {
    color.setRGB(Adesk::UInt8((c.rgb >> 16) & 0xFF), Adesk::UInt8((c.rgb >> 8) & 0xFF),
                 Adesk::UInt8(c.rgb & 0xFF));
    if (!c.name.empty()) {
      // "BOOK$COLOR" names a colour of a colour book.
      std::size_t dollar = c.name.find('$');
      if (dollar == std::string::npos) color.setNames(c.name.c_str());
      else color.setNames(c.name.substr(dollar + 1).c_str(), c.name.substr(0, dollar).c_str());
    }
  } else if (c.index == 256) {
    color.setColorMethod(AcCmEntityColor::kByLayer);
  } else if (c.index == 0) {
    color.setColorMethod(AcCmEntityColor::kByBlock);
  } else if (c.index == 257) {
    color.setColorMethod(AcCmEntityColor::kNone);
  } else {
    color.setColorIndex(Adesk::UInt16(std::abs(c.index)));
  }
  return color;
}

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
class DrawingBuilder : public DxfSink {
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
  AcDbObjectId idOf(std::uint64_t handle);
  // Adds a new object with its file handle (or a new one for 0); deletes it on failure.
  bool add(AcDbObject* obj, std::uint64_t handle, std::uint32_t line, std::string_view what,
           AcDbObjectId& id, DxfError& error);
  void applyRaw(AcDbObject& obj, const EntityCommon& c, bool keepExtras);
  void applyEntity(AcDbEntity& ent, const EntityCommon& c);

  AcDbObjectId table(cdb::TableKind kind, std::uint64_t handle = 0);
  AcDbObjectId layerId(const std::string& name);
  AcDbObjectId linetypeId(const std::string& name);
  AcDbObjectId styleId(const std::string& name);
  AcDbObjectId blockId(const std::string& name);
  AcDbObjectId spaceOf(const EntityCommon& c);
  // A symbol table record added to its table and remembered by name.
  // A record whose name is empty or taken (a second "*ACTIVE" viewport, a shape-file style)
  // cannot be a table entry of the database: it is kept whole as raw tags of its table and
  // written back after the table's other entries; `id` is then null and rec deleted.
  bool addRecord(AcDbSymbolTableRecord* rec, cdb::TableKind kind, const EntityCommon& c,
                 std::uint32_t line, AcDbObjectId& id, DxfError& error, const Record* entry = nullptr);

  AcDbEntity* makeEntity(const Entity& e);
  // An entity of a class another module registered (named in CLASSES): made by its class,
  // its parent's data mapped here, its own data read by its dxfInFields. Null when the
  // class is not registered (the entity then stays raw).
  AcDbEntity* makeCustomEntity(const EntityRecords& records, Entity& e, DxfError& error, bool& failed);
  bool addParts(AcDbObjectId ownerId, const Entity& e, std::uint32_t line, DxfError& error);

  bool tableRecord(std::string_view type, const Record& entry, DxfError& error);

  AcDbDatabase& m_db;
  std::string_view m_text;
  ReadReport* m_report;
  std::uint32_t m_entityLine = 0;  // line of the entity being read (0 outside entities)
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
  std::unordered_map<int, std::unordered_set<std::string>> m_recordNames;
  std::unordered_map<int, AcDbRawTags> m_rawRecords;  // entries kept whole, by table
  std::unordered_map<std::string, AcDbObjectId> m_layers, m_linetypes, m_styles, m_blocks;
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
    std::uint64_t handles[5];  // dimblk, dimblk1, dimblk2, dimldrblk, dimtxsty
  };
  std::vector<DimStyleLinks> m_dimStyleLinks;
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

bool DrawingBuilder::add(AcDbObject* obj, std::uint64_t handle, std::uint32_t line,
                         std::string_view what, AcDbObjectId& id, DxfError& error) {
  Acad::ErrorStatus es = handle ? cdb::addObjectWithHandle(m_db, id, obj, AcDbHandle(handle))
                                : m_db.addAcDbObject(id, obj);
  if (es == Acad::eOk) return true;
  delete obj;
  if (es == Acad::eHandleInUse) {
    return fail(error, line, "handle " + formatHandle(handle) + " is used twice (" +
                                 std::string(what) + ")");
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
  AcDbSymbolTable* t = nullptr;
  switch (kind) {
    case cdb::TableKind::kBlock: t = new AcDbBlockTable; break;
    case cdb::TableKind::kLayer: t = new AcDbLayerTable; break;
    case cdb::TableKind::kTextStyle: t = new AcDbTextStyleTable; break;
    case cdb::TableKind::kLinetype: t = new AcDbLinetypeTable; break;
    case cdb::TableKind::kView: t = new AcDbViewTable; break;
    case cdb::TableKind::kUCS: t = new AcDbUCSTable; break;
    case cdb::TableKind::kViewport: t = new AcDbViewportTable; break;
    case cdb::TableKind::kRegApp: t = new AcDbRegAppTable; break;
    case cdb::TableKind::kDimStyle: t = new AcDbDimStyleTable; break;
  }
  AcDbObjectId id;
  Acad::ErrorStatus es = handle ? cdb::addObjectWithHandle(m_db, id, t, AcDbHandle(handle))
                                : m_db.addAcDbObject(id, t);
  if (es != Acad::eOk) {
    delete t;
    return AcDbObjectId::kNull;
  }
  t->close();
  cdb::setTableId(m_db, kind, id);
  m_tables[int(kind)] = id;
  return id;
}

bool DrawingBuilder::addRecord(AcDbSymbolTableRecord* rec, cdb::TableKind kind,
                               const EntityCommon& c, std::uint32_t line, AcDbObjectId& id,
                               DxfError& error, const Record* entry) {
  const char* pName = nullptr;
  rec->getName(pName);
  std::string name = pName ? pName : "";
  std::string key = upper(name);
  AcDbObjectId tableId = table(kind);
  std::unordered_set<std::string>& names = m_recordNames[int(kind)];
  if (entry && (name.empty() || names.count(key))) {
    delete rec;
    id = AcDbObjectId::kNull;
    note(ReadReport::Kind::kKeptRaw,
         os::utf8Literal(name.empty() ? u8"名称为空的表项 " : u8"名称重复的表项 ") + std::string(entry->type()),
         entry->line());
    AcDbRawTags& raw = m_rawRecords[int(kind)];
    for (const Tag& t : entry->tags) {
      RawTag r = rawTagOf(t, m_codec);
      raw.push_back(AcDbRawTag{r.code, std::move(r.value)});
    }
    return true;
  }
  if (!add(rec, c.handle, line, name, id, error)) return false;
  Acad::ErrorStatus es = cdb::appendExistingRecord(tableId, id);
  if (es != Acad::eOk) {
    rec->close();
    return fail(error, line, "cannot add table entry '" + name + "' (" + statusText(es) + ")");
  }
  names.insert(key);
  applyRaw(*rec, c, true);
  switch (kind) {
    case cdb::TableKind::kLayer: m_layers[key] = id; break;
    case cdb::TableKind::kLinetype: m_linetypes[key] = id; break;
    case cdb::TableKind::kTextStyle: m_styles[key] = id; break;
    case cdb::TableKind::kBlock:
      m_blocks[key] = id;
      if (c.handle) m_blockByHandle[c.handle] = id;
      break;
    default: break;
  }
  return true;
}

// Names an entity uses but the file's tables lack are created, as other CAD programs do, so
// that nothing the file says is lost.
AcDbObjectId DrawingBuilder::layerId(const std::string& name) {
  std::string key = upper(name);
  auto it = m_layers.find(key);
  if (it != m_layers.end()) return it->second;
  auto* rec = new AcDbLayerTableRecord;
  rec->setName(name.c_str());
  AcDbObjectId id;
  DxfError ignored;
  if (!addRecord(rec, cdb::TableKind::kLayer, EntityCommon(), 0, id, ignored)) return id;
  rec->close();
  noteMadeRecord(u8"图元用到而图层表中没有的图层");
  return id;
}

AcDbObjectId DrawingBuilder::linetypeId(const std::string& name) {
  std::string key = upper(name);
  auto it = m_linetypes.find(key);
  if (it != m_linetypes.end()) return it->second;
  auto* rec = new AcDbLinetypeTableRecord;
  rec->setName(name.c_str());
  AcDbObjectId id;
  DxfError ignored;
  if (!addRecord(rec, cdb::TableKind::kLinetype, EntityCommon(), 0, id, ignored)) return id;
  rec->close();
  noteMadeRecord(u8"图元用到而线型表中没有的线型");
  return id;
}

AcDbObjectId DrawingBuilder::styleId(const std::string& name) {
  std::string key = upper(name);
  auto it = m_styles.find(key);
  if (it != m_styles.end()) return it->second;
  auto* rec = new AcDbTextStyleTableRecord;
  rec->setName(name.c_str());
  AcDbObjectId id;
  DxfError ignored;
  if (!addRecord(rec, cdb::TableKind::kTextStyle, EntityCommon(), 0, id, ignored)) return id;
  rec->close();
  noteMadeRecord(u8"图元用到而文字样式表中没有的文字样式");
  return id;
}

// Model and paper space have R12 names too.
std::string canonicalBlockName(std::string_view name) {
  std::string key = upper(name);
  if (key == "$MODEL_SPACE") return "*Model_Space";
  if (key == "$PAPER_SPACE") return "*Paper_Space";
  return std::string(name);
}

AcDbObjectId DrawingBuilder::blockId(const std::string& name) {
  std::string canonical = canonicalBlockName(name);
  std::string key = upper(canonical);
  auto it = m_blocks.find(key);
  if (it != m_blocks.end()) return it->second;
  auto* rec = new AcDbBlockTableRecord;
  rec->setName(canonical.c_str());
  AcDbObjectId id;
  DxfError ignored;
  if (!addRecord(rec, cdb::TableKind::kBlock, EntityCommon(), 0, id, ignored)) return id;
  rec->close();
  return id;
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

cdb::TableKind tableKindOf(std::string_view name, bool& known) {
  known = true;
  if (name == "BLOCK_RECORD") return cdb::TableKind::kBlock;
  if (name == "LAYER") return cdb::TableKind::kLayer;
  if (name == "STYLE") return cdb::TableKind::kTextStyle;
  if (name == "LTYPE") return cdb::TableKind::kLinetype;
  if (name == "VIEW") return cdb::TableKind::kView;
  if (name == "UCS") return cdb::TableKind::kUCS;
  if (name == "VPORT") return cdb::TableKind::kViewport;
  if (name == "APPID") return cdb::TableKind::kRegApp;
  if (name == "DIMSTYLE") return cdb::TableKind::kDimStyle;
  known = false;
  return cdb::TableKind::kLayer;
}

bool DrawingBuilder::tableBegin(const Record& record, DxfError& error) {
  ensureEncoding(error);
  bool known = false;
  cdb::TableKind kind = tableKindOf(record.text(2), known);
  if (!known) return true;  // an unknown table's entries are refused one by one below
  EntityCommon c;
  RecordParser p(m_codec, c, error);
  if (!p.run(record, [](std::string_view, const Tag& t) { return t.code == 2 || t.code == 70; })) return false;
  if (m_tables.count(int(kind))) return true;
  AcDbObjectId id = table(kind, c.handle);
  if (id.isNull()) return fail(error, record.line(), "cannot add table " + std::string(record.text(2)));
  AcDbObject* obj = nullptr;
  if (acdbOpenObject(obj, id, AcDb::kForWrite) == Acad::eOk) {
    applyRaw(*obj, c, true);
    obj->close();
  }
  return true;
}

bool DrawingBuilder::tableEntry(const Record& table, const Record& entry, DxfError& error) {
  bool known = false;
  tableKindOf(table.text(2), known);
  if (!known) {
    return fail(error, entry.line(), "unknown table '" + std::string(table.text(2)) + "'");
  }
  return tableRecord(entry.type(), entry, error);
}

std::int16_t i16(const Tag& t) { return static_cast<std::int16_t>(t.integer); }

bool DrawingBuilder::tableRecord(std::string_view type, const Record& entry, DxfError& error) {
  EntityCommon c;
  RecordParser p(m_codec, c, error);
  AcDbObjectId id;
  std::string name;
  std::int16_t flags = 0;
  auto nameAndFlags = [&](const Tag& t) {
    if (t.code == 2) name = p.text(t);
    else if (t.code == 70) flags = i16(t);
    else return false;
    return true;
  };
  if (type == "LAYER") {
    Color color;
    std::string linetype;
    bool plot = true;
    std::int16_t lineweight = AcDb::kLnWtByLayer;
    bool hasLineweight = false;
    if (!p.run(entry, [&](std::string_view, const Tag& t) {
          if (nameAndFlags(t)) return true;
          switch (t.code) {
            case 62: color.index = i16(t); return true;
            case 420: color.rgb = std::int32_t(t.integer & 0xFFFFFF); return true;
            case 430: color.name = p.text(t); return true;
            case 6: linetype = p.text(t); return true;
            case 290: plot = t.integer != 0; return true;
            case 370: lineweight = i16(t); hasLineweight = true; return true;
            default: return false;
          }
        })) return false;
    // A layer's description is extended data of one application; it becomes the record's.
    std::string description;
    RawTags xdata;
    for (std::size_t i = 0; i < c.xdata.size(); ++i) {
      if (c.xdata[i].code == 1001 && c.xdata[i].value == kLayerDescriptionApp) {
        std::size_t j = i + 1;
        for (; j < c.xdata.size() && c.xdata[j].code != 1001; ++j) {
          if (c.xdata[j].code == 1000) description = c.xdata[j].value;
        }
        i = j - 1;
        continue;
      }
      xdata.push_back(c.xdata[i]);
    }
    c.xdata = std::move(xdata);
    auto* rec = new AcDbLayerTableRecord;
    rec->setName(name.c_str());
    bool off = color.index < 0;
    color.index = std::int16_t(std::abs(color.index));
    rec->setColor(toColor(color));
    rec->setIsOff(off);
    rec->setIsFrozen(flags & 1);
    rec->setIsLocked(flags & 4);
    rec->setIsPlottable(plot);
    if (hasLineweight && isLineWeightValue(lineweight)) rec->setLineWeight(AcDb::LineWeight(lineweight));
    if (!addRecord(rec, cdb::TableKind::kLayer, c, entry.line(), id, error, &entry)) return false;
    if (id.isNull()) return true;  // kept whole, see addRecord
    if (!description.empty()) rec->setDescription(description.c_str());
    if (!linetype.empty()) rec->setLinetypeObjectId(linetypeId(linetype));
    rec->close();
    return true;
  }
  if (type == "STYLE") {
    auto* rec = new AcDbTextStyleTableRecord;
    if (!p.run(entry, [&](std::string_view, const Tag& t) {
          if (nameAndFlags(t)) return true;
          switch (t.code) {
            case 40: rec->setTextSize(t.real); return true;
            case 41: rec->setXScale(t.real); return true;
            case 50: rec->setObliquingAngle(toRadians(t.real)); return true;
            case 71: rec->setFlagBits(Adesk::UInt8(t.integer)); return true;
            case 42: rec->setPriorSize(t.real); return true;
            case 3: rec->setFileName(p.text(t).c_str()); return true;
            case 4: rec->setBigFontFileName(p.text(t).c_str()); return true;
            default: return false;
          }
        })) {
      delete rec;
      return false;
    }
    rec->setName(name.c_str());
    rec->setIsShapeFile(flags & 1);
    rec->setIsVertical(flags & 4);
    if (!addRecord(rec, cdb::TableKind::kTextStyle, c, entry.line(), id, error, &entry)) return false;
    if (id.isNull()) return true;  // kept whole, see addRecord
    rec->close();
    return true;
  }
  if (type == "LTYPE") {
    auto* rec = new AcDbLinetypeTableRecord;
    std::vector<double> dashes;
    // The dash list (49 and the complex-element tags after each) also stays raw so shapes
    // and texts in linetypes survive; the database keeps the dash lengths.
    if (!p.run(entry, [&](std::string_view, const Tag& t) {
          if (nameAndFlags(t)) return true;
          switch (t.code) {
            case 3: rec->setComments(p.text(t).c_str()); return true;
            case 40: rec->setPatternLength(t.real); return true;
            case 72: case 73: return true;
            case 49: dashes.push_back(t.real); return false;
            default: return false;
          }
        })) {
      delete rec;
      return false;
    }
    rec->setName(name.c_str());
    rec->setNumDashes(int(dashes.size()));
    for (std::size_t i = 0; i < dashes.size(); ++i) rec->setDashLengthAt(int(i), dashes[i]);
    if (!addRecord(rec, cdb::TableKind::kLinetype, c, entry.line(), id, error, &entry)) return false;
    if (id.isNull()) return true;  // kept whole, see addRecord
    rec->close();
    return true;
  }
  if (type == "APPID") {
    auto* rec = new AcDbRegAppTableRecord;
    if (!p.run(entry, [&](std::string_view, const Tag& t) { return nameAndFlags(t); })) {
      delete rec;
      return false;
    }
    rec->setName(name.c_str());
    if (!addRecord(rec, cdb::TableKind::kRegApp, c, entry.line(), id, error, &entry)) return false;
    if (id.isNull()) return true;  // kept whole, see addRecord
    rec->close();
    return true;
  }
  if (type == "DIMSTYLE") {
    auto* rec = new AcDbDimStyleTableRecord;
    std::uint64_t arrows[4] = {0, 0, 0, 0};  // dimblk, dimblk1, dimblk2, dimldrblk
    std::uint64_t textStyle = 0;
    if (!p.run(entry, [&](std::string_view, const Tag& t) {
          if (nameAndFlags(t)) return true;
          switch (t.code) {
            case 40: rec->setDimscale(t.real); return true;
            case 41: rec->setDimasz(t.real); return true;
            case 140: rec->setDimtxt(t.real); return true;
            case 173: rec->setDimsah(t.integer != 0); return true;
            case 342: arrows[0] = t.handle; return true;
            case 343: arrows[1] = t.handle; return true;
            case 344: arrows[2] = t.handle; return true;
            case 341: arrows[3] = t.handle; return true;
            case 340: textStyle = t.handle; return true;
            case 5: case 6: case 7:  // R12: arrowhead blocks by name
              if (!t.text.empty()) m_dimStyleNames.push_back({name, t.code, p.text(t)});
              return true;
            default: return false;
          }
        })) {
      delete rec;
      return false;
    }
    rec->setName(name.c_str());
    if (!addRecord(rec, cdb::TableKind::kDimStyle, c, entry.line(), id, error, &entry)) return false;
    if (id.isNull()) return true;  // kept whole, see addRecord
    rec->close();
    // Arrowhead blocks come later in the file (BLOCK_RECORD follows DIMSTYLE).
    m_dimStyleLinks.push_back({id, {arrows[0], arrows[1], arrows[2], arrows[3], textStyle}});
    return true;
  }
  if (type == "BLOCK_RECORD") {
    auto* rec = new AcDbBlockTableRecord;
    std::uint64_t layout = 0;
    if (!p.run(entry, [&](std::string_view, const Tag& t) {
          if (nameAndFlags(t)) return true;
          if (t.code == 340) {
            layout = t.handle;
            return true;
          }
          return false;
        })) {
      delete rec;
      return false;
    }
    rec->setName(canonicalBlockName(name).c_str());
    if (!addRecord(rec, cdb::TableKind::kBlock, c, entry.line(), id, error, &entry)) return false;
    if (id.isNull()) return true;  // kept whole, see addRecord
    if (layout) rec->setLayoutId(idOf(layout));
    rec->close();
    return true;
  }
  // VPORT, VIEW, UCS: the name and flags typed, the rest kept as read.
  AcDbSymbolTableRecord* rec = nullptr;
  cdb::TableKind kind = cdb::TableKind::kViewport;
  if (type == "VPORT") rec = new AcDbViewportTableRecord;
  else if (type == "VIEW") {
    rec = new AcDbViewTableRecord;
    kind = cdb::TableKind::kView;
  } else if (type == "UCS") {
    rec = new AcDbUCSTableRecord;
    kind = cdb::TableKind::kUCS;
  } else {
    return fail(error, entry.line(), "unexpected '" + std::string(type) + "' in a table");
  }
  if (!p.run(entry, [&](std::string_view, const Tag& t) { return nameAndFlags(t); })) {
    delete rec;
    return false;
  }
  rec->setName(name.c_str());
  if (!addRecord(rec, kind, c, entry.line(), id, error, &entry)) return false;
  if (id.isNull()) return true;  // kept whole, see addRecord
  rec->close();
  return true;
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
          case 70: flags = i16(t); return true;
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
  if (flags & 4) rec->setIsFromExternalReference(true);
  if (flags & 8) rec->setIsFromOverlayReference(true);
  if (!path.empty()) rec->setPathName(path.c_str());
  if (!description.empty()) rec->setComments(description.c_str());
  rec->close();
  m_currentBlock = id;
  return true;
}

AcGeVector3d unit(const Point3& p) {
  AcGeVector3d v = toVector(p);
  double len = v.length();
  return len > 0 ? v / len : AcGeVector3d(0, 0, 1);
}

void setText(AcDbText& t, const TextEntity& e, AcDbObjectId style) {
  t.setPosition(toPoint(e.position));
  if (e.hasAlignment) t.setAlignmentPoint(toPoint(e.alignment));
  t.setHeight(e.height);
  t.setTextString(e.text.c_str());
  t.setRotation(toRadians(e.rotation));
  if (e.widthFactor > 0) t.setWidthFactor(e.widthFactor);
  t.setOblique(toRadians(e.oblique));
  t.setTextStyle(style);
  t.mirrorInX(e.generation & 2);
  t.mirrorInY(e.generation & 4);
  t.setHorizontalMode(AcDb::TextHorzMode(e.horizontal));
  t.setVerticalMode(AcDb::TextVertMode(e.vertical));
  t.setThickness(e.thickness);
  t.setNormal(unit(e.normal));
}

AcDbEntity* DrawingBuilder::makeEntity(const Entity& e) {
  using K = Entity::Kind;
  switch (e.kind) {
    case K::Line: {
      auto* l = new AcDbLine(toPoint(e.line.start), toPoint(e.line.end));
      l->setThickness(e.line.thickness);
      l->setNormal(unit(e.line.normal));
      return l;
    }
    case K::Point: {
      auto* p = new AcDbPoint(toPoint(e.point.position));
      p->setThickness(e.point.thickness);
      p->setNormal(unit(e.point.normal));
      p->setEcsRotation(toRadians(e.point.xAxisAngle));
      return p;
    }
    case K::Circle: {
      const CircleEntity& c = e.circle;
      if (c.isArc) {
        auto* a = new AcDbArc(toPoint(c.center), unit(c.normal), c.radius, toRadians(c.startAngle),
                              toRadians(c.endAngle));
        a->setThickness(c.thickness);
        return a;
      }
      auto* ci = new AcDbCircle(toPoint(c.center), unit(c.normal), c.radius);
      ci->setThickness(c.thickness);
      return ci;
    }
    case K::Solid: {
      const Point3* p = e.solid.corners;
      auto* s = new AcDbSolid(toPoint(p[0]), toPoint(p[1]), toPoint(p[2]), toPoint(p[3]));
      s->setThickness(e.solid.thickness);
      s->setNormal(unit(e.solid.normal));
      return s;
    }
    case K::Text: {
      const TextEntity& t = e.text;
      AcDbObjectId style = styleId(t.style);
      if (t.kind == TextEntity::Kind::AttributeDefinition) {
        auto* d = new AcDbAttributeDefinition;
        setText(*d, t, style);
        d->setTag(t.tag.c_str());
        d->setPrompt(t.prompt.c_str());
        d->setInvisible(t.attributeFlags & 1);
        d->setConstant(t.attributeFlags & 2);
        d->setVerifiable(t.attributeFlags & 4);
        d->setPreset(t.attributeFlags & 8);
        d->setFieldLength(Adesk::UInt16(t.fieldLength));
        return d;
      }
      auto* x = new AcDbText;
      setText(*x, t, style);
      return x;
    }
    case K::MText: {
      const MTextEntity& m = e.mtext;
      auto* x = new AcDbMText;
      x->setLocation(toPoint(m.position));
      x->setNormal(unit(m.normal));
      if (m.hasXDirection) x->setDirection(toVector(m.xDirection));
      else if (m.hasRotation) x->setRotation(m.rotation);
      if (m.height > 0) x->setTextHeight(m.height);
      x->setWidth(m.width);
      if (m.attachment >= 1 && m.attachment <= 9) x->setAttachment(AcDbMText::AttachmentPoint(m.attachment));
      x->setFlowDirection(AcDbMText::FlowDirection(m.direction));
      x->setLineSpacingStyle(AcDbMText::LineSpacingStyle(m.lineSpacingStyle));
      x->setLineSpacingFactor(m.lineSpacingFactor);
      x->setTextStyle(styleId(m.style));
      x->setContents(m.text.c_str());
      return x;
    }
    case K::Polyline: {
      const PolylineEntity& p = e.polyline;
      if (p.lightweight) {
        auto* pl = new AcDbPolyline(unsigned(p.vertices.size()));
        for (std::size_t i = 0; i < p.vertices.size(); ++i) {
          const PolylineVertex& v = p.vertices[i];
          pl->addVertexAt(unsigned(i), AcGePoint2d(v.point.x, v.point.y), v.bulge, v.startWidth,
                          v.endWidth);
        }
        if (p.hasConstantWidth) pl->setConstantWidth(p.constantWidth);
        pl->setClosed(p.flags & 1);
        pl->setPlinegen(p.flags & 128);
        pl->setElevation(p.elevation);
        pl->setThickness(p.thickness);
        pl->setNormal(unit(p.normal));
        return pl;
      }
      auto* pl = new AcDb2dPolyline;
      AcDb::Poly2dType type = AcDb::k2dSimplePoly;
      if (p.flags & 2) type = AcDb::k2dFitCurvePoly;
      if (p.flags & 4) type = p.curveType == 5 ? AcDb::k2dQuadSplinePoly : AcDb::k2dCubicSplinePoly;
      pl->setPolyType(type);
      if (p.flags & 1) pl->makeClosed();
      if (p.flags & 128) pl->setLinetypeGenerationOn();
      pl->setDefaultStartWidth(p.defaultStartWidth);
      pl->setDefaultEndWidth(p.defaultEndWidth);
      pl->setElevation(p.elevation);
      pl->setThickness(p.thickness);
      pl->setNormal(unit(p.normal));
      return pl;
    }
    case K::Ellipse: {
      const EllipseEntity& x = e.ellipse;
      auto* el = new AcDbEllipse;
      el->set(toPoint(x.center), unit(x.normal), toVector(x.majorAxis), x.ratio);
      el->setStartParam(x.startParam);
      el->setEndParam(x.endParam);
      return el;
    }
    case K::Spline: {
      const SplineEntity& s = e.spline;
      auto* sp = new AcDbSpline;
      AcGePoint3dArray points;
      if (!s.controlPoints.empty()) {
        AcGeDoubleArray knots, weights;
        for (const Point3& q : s.controlPoints) points.append(toPoint(q));
        for (double k : s.knots) knots.append(k);
        for (double w : s.weights) weights.append(w);
        sp->setNurbsData(s.degree, (s.flags & 4) != 0, (s.flags & 1) != 0, (s.flags & 2) != 0,
                         points, knots, weights, s.controlTolerance, s.knotTolerance);
      }
      if (!s.fitPoints.empty()) {
        AcGePoint3dArray fit;
        for (const Point3& q : s.fitPoints) fit.append(toPoint(q));
        sp->setFitData(fit, s.degree, s.fitTolerance, toVector(s.startTangent), toVector(s.endTangent));
      }
      return sp;
    }
    case K::Ray: {
      AcDbRay* r = e.ray.isXline ? new AcDbXline : new AcDbRay;
      r->setBasePoint(toPoint(e.ray.base));
      r->setUnitDir(toVector(e.ray.direction));
      return r;
    }
    case K::Insert: {
      const InsertEntity& in = e.insert;
      AcDbBlockReference* ref = nullptr;
      if (in.isMInsert || in.columns > 1 || in.rows > 1) {
        auto* m = new AcDbMInsertBlock;
        m->setColumns(Adesk::UInt16(std::max<int>(1, in.columns)));
        m->setRows(Adesk::UInt16(std::max<int>(1, in.rows)));
        m->setColumnSpacing(in.columnSpacing);
        m->setRowSpacing(in.rowSpacing);
        ref = m;
      } else {
        ref = new AcDbBlockReference;
      }
      ref->setBlockTableRecord(blockId(in.block));
      ref->setPosition(toPoint(in.position));
      ref->setScaleFactors(AcGeScale3d(in.scale.x, in.scale.y, in.scale.z));
      ref->setRotation(toRadians(in.rotation));
      ref->setNormal(unit(in.normal));
      return ref;
    }
    case K::Hatch: {
      auto* hatch = new AcDbHatch;
      cdb::setHatchData(*hatch, hatchDataOf(e.hatch, [this](std::uint64_t h) { return idOf(h); }));
      return hatch;
    }
    case K::Raw:
      return nullptr;
  }
  return nullptr;
}

bool DrawingBuilder::addParts(AcDbObjectId ownerId, const Entity& e, std::uint32_t line, DxfError& error) {
  auto addPart = [&](AcDbEntity* part, const EntityCommon& c, const char* what) {
    applyEntity(*part, c);
    AcDbObjectId partId;
    if (!add(part, c.handle, line, what, partId, error)) return false;
    applyRaw(*part, c, true);
    part->close();
    Acad::ErrorStatus es = cdb::appendExistingPart(ownerId, partId);
    if (es != Acad::eOk) return fail(error, line, std::string("cannot add ") + what + " (" + statusText(es) + ")");
    return true;
  };
  if (e.kind == Entity::Kind::Polyline && !e.polyline.lightweight) {
    for (const PolylineVertex& v : e.polyline.vertices) {
      auto* vx = new AcDb2dVertex(toPoint(v.point), v.bulge, v.startWidth, v.endWidth);
      if (v.flags & 16) vx->setVertexType(AcDb::k2dSplineCtlVertex);
      else if (v.flags & 8) vx->setVertexType(AcDb::k2dSplineFitVertex);
      else if (v.flags & 1) vx->setVertexType(AcDb::k2dCurveFitVertex);
      if (v.flags & 2) {
        vx->setTangent(toRadians(v.tangent));
        vx->useTangent();
      }
      if (!addPart(vx, v.common, "VERTEX")) return false;
    }
  }
  if (e.kind == Entity::Kind::Insert) {
    for (const InsertEntity::Attribute& a : e.insert.attributes) {
      auto* at = new AcDbAttribute;
      setText(*at, a.text, styleId(a.text.style));
      at->setTag(a.text.tag.c_str());
      cdb::setAttributeFlags(*at, a.text.attributeFlags);
      at->setFieldLength(Adesk::UInt16(a.text.fieldLength));
      if (!addPart(at, a.common, "ATTRIB")) return false;
    }
  }
  return true;
}

AcDbEntity* DrawingBuilder::makeCustomEntity(const EntityRecords& records, Entity& e,
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
  AcDbEntity* ent = AcDbEntity::cast(rxClass->create());
  if (!ent) return nullptr;
  if (isText) setText(*AcDbText::cast(ent), e.text, styleId(e.text.style));
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
    delete ent;
    failed = true;
    error.set(records.main.line(), "cannot read " + std::string(records.main.type()) + " (" + statusText(es) + ")");
    return nullptr;
  }
  e.common.extras = std::move(kept);
  e.kind = isText ? Entity::Kind::Text : Entity::Kind::Raw;
  return ent;
}

// The modeller (ACIS) text of a REGION or 3DSOLID: its 1 lines, each with its 3
// continuations; the tags stay in the record's extras too so nothing else is lost.
std::vector<std::string> modellerLines(RawTags& extras) {
  std::vector<std::string> lines;
  RawTags rest;
  for (RawTag& t : extras) {
    if (t.code == 1) lines.push_back(std::move(t.value));
    else if (t.code == 3 && !lines.empty()) lines.back() += t.value;
    else rest.push_back(std::move(t));
  }
  extras = std::move(rest);
  return lines;
}

// Old-style 2D polylines (POLYLINE with VERTEX records, all R12 has) become lightweight
// polylines when they are simple, as the host converts them on opening: no curve or spline
// fit, not 3D, no mesh or face, no vertex made by fitting or carrying a tangent or data of its
// own. A vertex width of 0 takes the polyline's default width, as in the file. Others stay
// old-style, exactly as read.
bool makeLightweightIfSimple(PolylineEntity& p) {
  constexpr std::int16_t kNotSimple = 2 | 4 | 8 | 16 | 64;        // fit, spline, 3D, mesh, faces
  constexpr std::int16_t kVertexNotSimple = 1 | 2 | 8 | 16 | 32 | 64 | 128;
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
  p.flags &= 1 | 128;
  p.seqEnd = EntityCommon();
  return true;
}

bool DrawingBuilder::entity(const Record* block, const EntityRecords& records, DxfError& error) {
  ensureEncoding(error);
  Entity& e = m_entity;
  if (!readEntity(records, m_codec, e, error)) return false;
  // The database has no trace entity: a TRACE is kept whole, as read, and written back so.
  if (e.kind == Entity::Kind::Solid && e.solid.isTrace && !readEntityAsRaw(records, m_codec, e, error)) return false;
  const std::uint32_t line = records.main.line();
  m_entityLine = line;
  struct LineReset {
    std::uint32_t& line;
    ~LineReset() { line = 0; }
  } lineReset{m_entityLine};
  if (e.kind == Entity::Kind::Polyline && !e.polyline.lightweight && makeLightweightIfSimple(e.polyline))
    note(ReadReport::Kind::kConverted, os::utf8Literal(u8"旧式二维多段线（POLYLINE）转为轻量多段线"), line);
  AcDbObjectId owner = block ? m_currentBlock : spaceOf(e.common);
  bool failed = false;
  AcDbEntity* ent = e.kind == Entity::Kind::Raw ? makeCustomEntity(records, e, error, failed) : makeEntity(e);
  if (failed) return false;
  bool raw = ent == nullptr;
  if (raw && (e.raw.type == "REGION" || e.raw.type == "3DSOLID")) {
    RawTags extras = e.common.extras;
    std::vector<std::string> lines = modellerLines(extras);
    if (!lines.empty()) {
      if (e.raw.type == "REGION") {
        auto* region = new AcDbRegion;
        cdb::RegionData data;
        data.modellerData = std::move(lines);
        cdb::setRegionData(*region, std::move(data));
        ent = region;
      } else {
        auto* solid = new AcDb3dSolid;
        cdb::SolidData data;
        data.kind = cdb::SolidData::kModeller;
        data.modellerData = std::move(lines);
        cdb::setSolidData(*solid, std::move(data));
        ent = solid;
      }
      e.common.extras = std::move(extras);
      raw = false;
    }
  }
  if (raw) {
    note(ReadReport::Kind::kKeptRaw, e.raw.type, line);
    auto* r = new AcDbRawEntity;
    r->setDxfName(e.raw.type);
    auto cls = m_classNames.find(e.raw.type);
    if (cls != m_classNames.end()) r->setClassName(cls->second);
    // Followers (3D polyline vertices...) are kept whole after the main record's tags.
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
    ent = r;
  }
  applyEntity(*ent, e.common);
  AcDbObjectId id;
  Acad::ErrorStatus es = e.common.handle
                             ? cdb::appendEntityWithHandle(owner, id, ent, AcDbHandle(e.common.handle))
                             : Acad::eNullHandle;
  if (es == Acad::eNullHandle) {
    AcDbBlockTableRecord* btr = nullptr;
    es = acdbOpenObject(btr, owner, AcDb::kForWrite);
    if (es == Acad::eOk) {
      es = btr->appendAcDbEntity(id, ent);
      btr->close();
    }
  }
  if (es != Acad::eOk) {
    delete ent;
    if (es == Acad::eHandleInUse) {
      const Tag* h = records.main.find(5);
      return fail(error, h ? h->valueLine() : line, "handle " + formatHandle(e.common.handle) +
                                                        " is used twice (" + std::string(records.main.type()) + ")");
    }
    return fail(error, line, "cannot add " + std::string(records.main.type()) + " (" + statusText(es) + ")");
  }
  applyRaw(*ent, e.common, !raw);
  ent->close();
  return addParts(id, e, line, error);
}

// --- objects --------------------------------------------------------------------------------

bool DrawingBuilder::object(const Record& record, DxfError& error) {
  ensureEncoding(error);
  EntityCommon c;
  RecordParser p(m_codec, c, error);
  const std::string_view type = record.type();
  AcDbObjectId id;
  if (type == "DICTIONARY") {
    auto* d = new AcDbDictionary;
    std::string key;
    std::vector<std::pair<std::string, std::uint64_t>> entries;
    if (!p.run(record, [&](std::string_view subclass, const Tag& t) {
          if (subclass != "AcDbDictionary" && !subclass.empty()) return false;
          switch (t.code) {
            case 280: d->setTreatElementsAsHard(t.integer != 0); return true;
            case 281: d->setMergeStyle(AcDbDictionary::DuplicateRecordCloning(t.integer)); return true;
            case 3: key = p.text(t); return true;
            case 350:
            case 360: entries.emplace_back(key, t.handle); return true;
            default: return false;
          }
        })) {
      delete d;
      return false;
    }
    if (!add(d, c.handle, record.line(), "DICTIONARY", id, error)) return false;
    if (c.owner == 0 && !m_rootSeen) {
      m_rootSeen = true;
      cdb::setNamedObjectsDictionaryId(m_db, id);
    } else if (c.owner) {
      d->setOwnerId(idOf(c.owner));
    }
    applyRaw(*d, c, true);
    d->close();
    for (auto& [k, h] : entries) m_entries.push_back({id, k, h});
    return true;
  }
  if (type == "GROUP") {
    auto* g = new AcDbGroup;
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
        })) {
      delete g;
      return false;
    }
    if (unnamed) g->setAnonymous();
    if (!add(g, c.handle, record.line(), "GROUP", id, error)) return false;
    if (c.owner) g->setOwnerId(idOf(c.owner));
    applyRaw(*g, c, true);
    g->close();
    pending.group = id;
    m_groups.push_back(std::move(pending));
    return true;
  }
  auto* o = new AcDbRawObject;
  if (!p.run(record, [](std::string_view, const Tag&) { return false; })) {
    delete o;
    return false;
  }
  o->setDxfName(std::string(type));
  auto cls = m_classNames.find(std::string(type));
  if (cls != m_classNames.end()) o->setClassName(cls->second);
  o->setTags(toDb(c.extras));
  if (!add(o, c.handle, record.line(), type, id, error)) return false;
  if (c.owner) o->setOwnerId(idOf(c.owner));
  applyRaw(*o, c, false);
  o->close();
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

bool DrawingBuilder::finish(DxfError& error) {
  ensureEncoding(error);
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
  for (const DimStyleLinks& d : m_dimStyleLinks) {
    AcDbDimStyleTableRecord* rec = nullptr;
    if (acdbOpenObject(rec, d.style, AcDb::kForWrite) != Acad::eOk) continue;
    auto found = [&](std::uint64_t h) {
      AcDbObjectId id;
      if (h) m_db.getAcDbObjectId(id, false, AcDbHandle(h));
      return id;
    };
    if (AcDbObjectId id = found(d.handles[0]); !id.isNull()) rec->setDimblk(id);
    if (AcDbObjectId id = found(d.handles[1]); !id.isNull()) rec->setDimblk1(id);
    if (AcDbObjectId id = found(d.handles[2]); !id.isNull()) rec->setDimblk2(id);
    if (AcDbObjectId id = found(d.handles[3]); !id.isNull()) rec->setDimldrblk(id);
    if (AcDbObjectId id = found(d.handles[4]); !id.isNull()) rec->setDimtxsty(id);
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
  for (auto& [kind, raw] : m_rawRecords) {
    AcDbObject* t = nullptr;
    if (acdbOpenObject(t, m_tables[kind], AcDb::kForWrite) != Acad::eOk) continue;
    AcDbRawTags extra = cdb::rawExtra(*t);
    extra.insert(extra.end(), raw.begin(), raw.end());
    cdb::setRawExtra(*t, std::move(extra));
    t->close();
  }
  cdb::completeDefaultDrawing(m_db);
  // Typed header variables.
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
      if (t.code == 62) c.index = i16(t);
      if (t.code == 420) c.rgb = std::int32_t(t.integer & 0xFFFFFF);
    }
    m_db.setCecolor(toColor(c));
  }
  auto named = [&](const char* var, std::unordered_map<std::string, AcDbObjectId>& names) {
    auto it = m_headerText.find(var);
    if (it == m_headerText.end()) return AcDbObjectId();
    auto found = names.find(upper(it->second));
    return found == names.end() ? AcDbObjectId() : found->second;
  };
  if (AcDbObjectId id = named("$CLAYER", m_layers); !id.isNull()) m_db.setClayer(id);
  if (AcDbObjectId id = named("$TEXTSTYLE", m_styles); !id.isNull()) m_db.setTextstyle(id);
  if (AcDbObjectId id = named("$CELTYPE", m_linetypes); !id.isNull()) m_db.setCeltype(id);
  if (auto it = m_headerText.find("$DIMSTYLE"); it != m_headerText.end()) {
    AcDbDimStyleTable* t = nullptr;
    if (m_db.getDimStyleTable(t) == Acad::eOk) {
      AcDbObjectId id;
      if (t->getAt(it->second.c_str(), id) == Acad::eOk) m_db.setDimstyle(id);
      t->close();
    }
  }
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
