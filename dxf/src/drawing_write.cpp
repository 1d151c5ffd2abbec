// Writing a drawing database as DXF: header, classes, tables, blocks, entities, objects,
// with raw tags put back where they were read, saved through a temporary file.
#include "drawing_common.h"
#include "entity_db.h"
#include "record_parser.h"
#include "tag_filer.h"

#include <contura/db/database_access.h>
#include <contura/dxf/dxf.h>
#include <contura/os/codepage.h>
#include <contura/os/file_replace.h>

#include <dbdict.h>
#include <dbents.h>
#include <dbgroup.h>
#include <dbmtext.h>
#include <dbsymtb.h>

#include <cstdio>
#include <cctype>
#include <cstring>
#include <map>
#include <filesystem>
#include <memory>
#include <unordered_map>
#include <unordered_set>

namespace contura::dxf {

namespace {

using namespace detail;
namespace cdb = contura::db;
namespace os = contura::os;




// The ids of a table's records, in table order.
std::vector<AcDbObjectId> recordIdsOf(const AcDbSymbolTable& table) {
  std::vector<AcDbObjectId> ids;
  AcDbSymbolTableIterator* raw = nullptr;
  table.newIterator(raw);
  std::unique_ptr<AcDbSymbolTableIterator> it(raw);
  for (; it && !it->done(); it->step()) {
    AcDbObjectId id;
    if (it->getRecordId(id) == Acad::eOk) ids.push_back(id);
  }
  return ids;
}

// The ids of a block's entities, in drawing order.
std::vector<AcDbObjectId> entityIdsOf(const AcDbBlockTableRecord& block) {
  std::vector<AcDbObjectId> ids;
  AcDbBlockTableRecordIterator* raw = nullptr;
  block.newIterator(raw);
  std::unique_ptr<AcDbBlockTableRecordIterator> it(raw);
  for (; it && !it->done(); it->step()) {
    AcDbObjectId id;
    if (it->getEntityId(id) == Acad::eOk) ids.push_back(id);
  }
  return ids;
}

class DrawingWriter : public FromDatabase {
 public:
  DrawingWriter(AcDbDatabase& db, const WriteOptions& options, WriteWarnings* warnings)
      : m_db(db), m_options(options), m_warnings(warnings), m_r12(options.version < DxfVersion::R13) {
    m_codec.setFileEncoding(options.version, options.codePage);
    m_ctx.version = options.version;
    m_ctx.codec = &m_codec;
    m_ctx.newHandle = [this] { return newHandle(); };
    m_ctx.warnings = m_warnings;
    m_tableCtx = {options.version, &m_codec, m_warnings};
  }

  // Writes the file's text to `out` (header last into its own writer so that $HANDSEED is
  // above every handle this write made).
  bool run(std::string& out, DxfError& error);

 private:
  // FromDatabase: what the type rows ask of the drawing being written.
  std::string nameOf(const AcDbObjectId& id) override;
  void commonOf(const AcDbObject* obj, EntityCommon& c) override;
  DxfVersion version() const override { return m_options.version; }
  void warn(const std::string& message) override {
    if (m_warnings) ++(*m_warnings)[message];
  }
  std::uint64_t addedLayoutOf(const AcDbObjectId& block) override;

  std::uint64_t newHandle() { return cdb::allocateHandle(m_db).value(); }
  void str(TagWriter& w, int code, std::string_view text) {
    m_scratch.clear();
    m_codec.encode(text, m_scratch);
    w.string(code, m_scratch);
  }
  void point(TagWriter& w, int code, const AcGePoint3d& p) { w.point(code, p.x, p.y, p.z); }
  void collectNames();
  void planLayouts();

  void header(TagWriter& w);
  void classes(TagWriter& w);
  void tables(TagWriter& w);
  void table(TagWriter& w, const TableType& type);
  void addedDescriptionApp(TagWriter& w, AcDbObjectId tableId);
  void blocks(TagWriter& w);
  void entities(TagWriter& w, AcDbObjectId blockId, bool paperSpace);
  bool entityValue(AcDbEntity* ent, Entity& e, bool paperSpace);
  bool customValue(AcDbEntity* ent, Entity& e);
  void writeEntityOf(TagWriter& w, AcDbObjectId id, bool paperSpace);
  void writeRawFollowers(TagWriter& w, const AcDbRawEntity& raw);
  void blockRecord(TagWriter& w, AcDbObjectId id);
  void blockMarker(TagWriter& w, const char* type, const char* subclass, AcDbObjectId id, bool paper);
  void writeMTextAsTexts(TagWriter& w, const AcDbMText& mtext, bool paperSpace);
  void objects(TagWriter& w);
  void objectRecord(TagWriter& w, AcDbObject* obj);
  void rawSections(TagWriter& w);
  // "0 type", then (for a table, "2 name" first, as CAD programs expect it there) the handle,
  // the application groups and the owner.
  void recordHead(TagWriter& w, std::string_view type, const AcDbObject* obj, std::uint64_t owner,
                  int handleCode = 5, std::string_view tableName = {});

  AcDbDatabase& m_db;
  const WriteOptions& m_options;
  WriteWarnings* m_warnings;
  const bool m_r12;
  TextCodec m_codec;
  EntityWriteContext m_ctx;
  TableWriteContext m_tableCtx;
  std::string m_scratch;
  std::unordered_map<AcDbStub*, std::string> m_names;
  AcDbObjectId m_modelSpace, m_paperSpace;
  // Layouts this write adds for a drawing that has none (R2000 on needs them).
  std::uint64_t m_layoutDictionary = 0, m_modelLayout = 0, m_paperLayout = 0;
  // Classes of other modules whose entities this write wrote: DXF name -> (C++ name, app).
  std::map<std::string, std::pair<std::string, std::string>> m_customClasses;
  bool m_layerDescriptions = false;
  bool m_hasDescriptionApp = false;
  Entity m_entity;
};

std::string DrawingWriter::nameOf(const AcDbObjectId& id) {
  auto it = m_names.find(id);
  if (it != m_names.end()) return it->second;
  Reading<AcDbSymbolTableRecord> rec(id);
  const ACHAR* name = nullptr;
  if (rec) rec->getName(name);
  std::string out = name ? name : "";
  m_names[id] = out;
  return out;
}

void DrawingWriter::collectNames() {
  AcDbBlockTable* bt = nullptr;
  if (m_db.getBlockTable(bt) == Acad::eOk) {
    bt->getAt("*Model_Space", m_modelSpace);
    bt->getAt("*Paper_Space", m_paperSpace);
    bt->close();
  }
  AcDbLayerTable* lt = nullptr;
  if (m_db.getLayerTable(lt) == Acad::eOk) {
    AcDbLayerTableIterator* raw = nullptr;
    lt->newIterator(raw);
    std::unique_ptr<AcDbLayerTableIterator> it(raw);
    for (; it && !it->done(); it->step()) {
      AcDbLayerTableRecord* rec = nullptr;
      if (it->getRecord(rec) != Acad::eOk) continue;
      std::unique_ptr<ACHAR[]> description(rec->description());
      if (description && *description.get()) m_layerDescriptions = true;
      rec->close();
    }
    lt->close();
  }
  AcDbRegAppTable* at = nullptr;
  if (m_db.getRegAppTable(at) == Acad::eOk) {
    m_hasDescriptionApp = at->has(kLayerDescriptionApp);
    at->close();
  }
}

void DrawingWriter::planLayouts() {
  if (m_r12) return;
  AcDbDictionary* root = nullptr;
  if (m_db.getNamedObjectsDictionary(root) != Acad::eOk) return;
  bool hasLayouts = root->has("ACAD_LAYOUT");
  root->close();
  if (hasLayouts) return;
  m_layoutDictionary = newHandle();
  m_modelLayout = newHandle();
  m_paperLayout = newHandle();
}

// --- header ---------------------------------------------------------------------------------

void DrawingWriter::header(TagWriter& w) {
  w.string(0, "SECTION");
  w.string(2, "HEADER");
  w.string(9, "$ACADVER");
  w.string(1, acadVerOf(m_options.version));
  w.string(9, "$DWGCODEPAGE");
  w.string(3, m_options.codePage);
  w.string(9, "$INSBASE");
  point(w, 10, m_db.insbase());
  w.string(9, "$EXTMIN");
  point(w, 10, m_db.extmin());
  w.string(9, "$EXTMAX");
  point(w, 10, m_db.extmax());
  w.string(9, "$LTSCALE");
  w.real(40, m_db.ltscale());
  w.string(9, "$TEXTSIZE");
  w.real(40, m_db.textsize());
  w.string(9, "$CLAYER");
  str(w, 8, nameOf(m_db.clayer()));
  if (!m_db.celtype().isNull()) {
    w.string(9, "$CELTYPE");
    str(w, 6, nameOf(m_db.celtype()));
  }
  w.string(9, "$CECOLOR");
  Color c = fromColor(m_db.cecolor());
  w.integer(62, c.rgb >= 0 ? nearestColorIndex(c.rgb) : c.index);
  if (c.rgb >= 0 && m_options.version >= DxfVersion::R2004) w.integer(420, c.rgb);
  if (!m_r12) {
    w.string(9, "$CELTSCALE");
    w.real(40, m_db.celtscale());
    w.string(9, "$CELWEIGHT");
    w.integer(370, m_db.celweight());
  }
  if (!m_db.textstyle().isNull()) {
    w.string(9, "$TEXTSTYLE");
    str(w, 7, nameOf(m_db.textstyle()));
  }
  if (!m_db.dimstyle().isNull()) {
    w.string(9, "$DIMSTYLE");
    str(w, 2, nameOf(m_db.dimstyle()));
  }
  for (const auto& [name, tags] : cdb::rawHeader(m_db)) {
    w.string(9, name);
    writeRawTags(w, fromDb(tags), m_codec);
  }
  w.string(9, "$HANDSEED");
  w.handle(5, m_db.handseed().value());
  w.string(0, "ENDSEC");
}

// --- classes --------------------------------------------------------------------------------

void DrawingWriter::classes(TagWriter& w) {
  w.string(0, "SECTION");
  w.string(2, "CLASSES");
  std::unordered_set<std::string> written;
  for (const auto& [name, tags] : cdb::rawSections(m_db)) {
    if (name != "CLASSES") continue;
    RawTags raw = fromDb(tags);
    for (std::size_t i = 0; i < raw.size(); ++i) {
      if (raw[i].code == 1 && i > 0 && raw[i - 1].code == 0) written.insert(raw[i].value);
    }
    writeRawTags(w, raw, m_codec);
  }
  auto cls = [&](const char* dxf, const char* cpp, bool entity) {
    if (written.count(dxf)) return;
    w.string(0, "CLASS");
    w.string(1, dxf);
    w.string(2, cpp);
    w.string(3, "ObjectDBX Classes");
    w.integer(90, 0);
    if (m_options.version >= DxfVersion::R2004) w.integer(91, 0);
    w.integer(280, 0);
    w.integer(281, entity ? 1 : 0);
    written.insert(dxf);
  };
  if (m_layoutDictionary) cls("LAYOUT", "AcDbLayout", false);
  for (const auto& [dxf, names] : m_customClasses) {
    if (written.count(dxf)) continue;
    w.string(0, "CLASS");
    str(w, 1, dxf);
    str(w, 2, names.first);
    str(w, 3, names.second);
    w.integer(90, 0);
    if (m_options.version >= DxfVersion::R2004) w.integer(91, 0);
    w.integer(280, 0);
    w.integer(281, 1);
    written.insert(dxf);
  }
  w.string(0, "ENDSEC");
}

// --- tables ---------------------------------------------------------------------------------

void DrawingWriter::recordHead(TagWriter& w, std::string_view type, const AcDbObject* obj,
                               std::uint64_t owner, int handleCode, std::string_view tableName) {
  w.string(0, type);
  if (!tableName.empty()) w.string(2, tableName);
  AcDbHandle h;
  obj->getAcDbHandle(h);
  w.handle(handleCode, h.value());
  if (m_r12) return;
  std::vector<std::uint64_t> reactors;
  for (AcDbObjectId r : cdb::persistentReactors(*obj)) reactors.push_back(handleOf(r));
  writeRawTags(w, joinAppGroups(reactors, handleOf(obj->extensionDictionary()),
                                fromDb(cdb::rawAppGroups(*obj))),
               m_codec);
  w.handle(330, owner);
}

// An APPID entry for layer descriptions when layers have them and the table lacks it.
void DrawingWriter::addedDescriptionApp(TagWriter& w, AcDbObjectId tableId) {
  w.string(0, "APPID");
  w.handle(5, newHandle());
  if (!m_r12) {
    w.handle(330, handleOf(tableId));
    w.string(100, "AcDbSymbolTableRecord");
    w.string(100, "AcDbRegAppTableRecord");
  }
  w.string(2, kLayerDescriptionApp);
  w.integer(70, 0);
}

void DrawingWriter::table(TagWriter& w, const TableType& type) {
  AcDbObjectId tableId = (m_db.*type.tableId)();
  Reading<AcDbSymbolTable> table(tableId);
  if (!table) return;
  const std::vector<AcDbObjectId> records = recordIdsOf(*table.get());
  const bool addDescriptionApp = type.kind == TableRecord::Kind::RegApp && m_layerDescriptions && !m_hasDescriptionApp;
  // The table's own extras, then (from the first "0" tag) entries kept whole because the
  // database could not hold them as entries.
  RawTags extras, keptRecords;
  int keptCount = 0;
  for (const AcDbRawTag& t : cdb::rawExtra(*table.get())) {
    if (t.code == 0) ++keptCount;
    (keptCount ? keptRecords : extras).push_back({t.code, t.value});
  }
  recordHead(w, "TABLE", table.get(), 0, 5, type.dxfName);
  if (!m_r12) w.string(100, "AcDbSymbolTable");
  w.integer(70, std::int64_t(records.size() + keptCount + (addDescriptionApp ? 1 : 0)));
  if (!m_r12) writeOtherExtras(w, extras, {"", "AcDbSymbolTable"}, true, m_codec);
  for (AcDbObjectId id : records) {
    Reading<AcDbSymbolTableRecord> rec(id);
    if (!rec) continue;
    TableRecord value;
    value.kind = type.kind;
    commonOf(rec.get(), value.common);
    value.common.owner = handleOf(tableId);
    const char* name = nullptr;
    rec->getName(name);
    value.name = name ? name : "";
    type.fromDb(rec.get(), value, *this);
    writeTableRecord(w, value, m_tableCtx);
  }
  writeRawTags(w, keptRecords, m_codec);
  if (addDescriptionApp) addedDescriptionApp(w, tableId);
  w.string(0, "ENDTAB");
}

void DrawingWriter::tables(TagWriter& w) {
  w.string(0, "SECTION");
  w.string(2, "TABLES");
  for (const TableType& type : tableTypes()) {
    if (!(m_r12 && type.kind == TableRecord::Kind::BlockRecord)) table(w, type);
  }
  w.string(0, "ENDSEC");
}

std::uint64_t DrawingWriter::addedLayoutOf(const AcDbObjectId& block) {
  if (block == m_modelSpace) return m_modelLayout;
  if (block == m_paperSpace) return m_paperLayout;
  return 0;
}

// --- blocks and entities --------------------------------------------------------------------

void DrawingWriter::commonOf(const AcDbObject* obj, EntityCommon& c) {
  AcDbHandle h;
  obj->getAcDbHandle(h);
  c.handle = h.value();
  c.owner = handleOf(obj->ownerId());
  std::vector<std::uint64_t> reactors;
  for (AcDbObjectId r : cdb::persistentReactors(*obj)) reactors.push_back(handleOf(r));
  c.appGroups = joinAppGroups(reactors, handleOf(obj->extensionDictionary()),
                              fromDb(cdb::rawAppGroups(*obj)));
  c.extras = fromDb(cdb::rawExtra(*obj));
  c.xdata = fromDb(cdb::rawXData(*obj));
  if (const AcDbEntity* ent = AcDbEntity::cast(obj)) {
    c.layer = nameOf(ent->layerId());
    AcDbObjectId lt = ent->linetypeId();
    c.linetype = lt.isNull() || lt == m_db.byLayerLinetype() ? std::string() : nameOf(lt);
    c.color = fromColor(ent->color());
    if (c.color.rgb >= 0) c.color.index = 256;
    c.linetypeScale = ent->linetypeScale();
    c.lineweight = std::int16_t(ent->lineWeight());
    c.invisible = ent->visibility() == AcDb::kInvisible;
  }
}

bool DrawingWriter::entityValue(AcDbEntity* ent, Entity& e, bool paperSpace) {
  e = Entity();
  commonOf(ent, e.common);
  e.common.paperSpace = paperSpace;
  if (ent->isA() == AcDbRawEntity::desc()) return rawFromDb(ent, e);
  const EntityType* type = entityTypeOfClass(ent->isA());
  if (!type) return customValue(ent, e);
  if (type->fromDb) return type->fromDb(ent, e, *this);
  warn(std::string("entities of class ") + ent->isA()->name() + " are not written");
  return false;
}

bool DrawingWriter::customValue(AcDbEntity* ent, Entity& e) {
  const AcRxClass* cls = ent->isA();
  std::string dxfName = cls->dxfName() ? cls->dxfName() : "";
  if (dxfName.empty()) {
    for (const char* c = cls->name(); *c; ++c) dxfName += char(std::toupper(static_cast<unsigned char>(*c)));
  }
  m_customClasses[dxfName] = {cls->name(), cls->appName() ? cls->appName() : ""};
  if (auto* t = AcDbText::cast(ent)) {
    e.kind = Entity::Kind::Text;
    textValue(t, e.text, *this);
  } else {
    e.kind = Entity::Kind::Raw;
    e.raw.type = dxfName;
  }
  e.recordType = dxfName;
  TagFiler filer(&m_db, m_options.version);
  if (ent->dxfOutFields(&filer) != Acad::eOk) {
    warn(std::string("entities of class ") + cls->name() + " could not write their data");
    return false;
  }
  e.common.extras.insert(e.common.extras.end(), filer.tags().begin(), filer.tags().end());
  return true;
}

void DrawingWriter::writeEntityOf(TagWriter& w, AcDbObjectId id, bool paperSpace) {
  Reading<AcDbEntity> ent(id);
  if (!ent) return;
  if (m_r12) {
    if (auto* mtext = AcDbMText::cast(ent.get())) {
      writeMTextAsTexts(w, *mtext, paperSpace);
      return;
    }
  }
  Entity& e = m_entity;
  if (!entityValue(ent.get(), e, paperSpace)) return;
  if (!versionHolds(m_options.version, e)) {
    warn(std::string(contura::dxf::nameOf(m_options.version)) + os::utf8Literal(u8" 无法保存 ") + e.typeName() +
         os::utf8Literal(u8" 图元，未写入"));
    return;
  }
  writeEntity(w, e, m_ctx);
  if (auto* raw = AcDbRawEntity::cast(ent.get())) writeRawFollowers(w, *raw);
}

// The follower records of an entity kept as read, after its own tags.
void DrawingWriter::writeRawFollowers(TagWriter& w, const AcDbRawEntity& raw) {
  RawTags followers;
  bool started = false;
  for (const AcDbRawTag& t : raw.tags()) {
    started = started || t.code == 0;
    if (!started) continue;
    if (m_r12 && (t.code == 100 || t.code == 330)) continue;
    followers.push_back({t.code, t.value});
  }
  writeRawTags(w, followers, m_codec);
}

// R12 has no multi-line text: its lines go into the file as single-line texts, placed as the
// multi-line text shows them, as the host converts them when it saves as R12.
void DrawingWriter::writeMTextAsTexts(TagWriter& w, const AcDbMText& mtext, bool paperSpace) {
  AcDbVoidPtrArray pieces;
  if (mtext.explode(pieces) != Acad::eOk) return;
  for (int i = 0; i < pieces.length(); ++i) {
    std::unique_ptr<AcDbEntity> piece(static_cast<AcDbEntity*>(pieces[i]));
    Entity& e = m_entity;
    if (!entityValue(piece.get(), e, paperSpace)) continue;
    e.common.handle = newHandle();
    e.common.owner = handleOf(mtext.ownerId());
    writeEntity(w, e, m_ctx);
  }
  warn(std::string(contura::dxf::nameOf(m_options.version)) + os::utf8Literal(u8" 没有多行文字（MTEXT），已转为单行文字"));
}

void DrawingWriter::entities(TagWriter& w, AcDbObjectId blockId, bool paperSpace) {
  Reading<AcDbBlockTableRecord> btr(blockId);
  if (!btr) return;
  for (AcDbObjectId id : entityIdsOf(*btr.get())) writeEntityOf(w, id, paperSpace);
}

// BLOCK or ENDBLK of the block `id`.
void DrawingWriter::blockMarker(TagWriter& w, const char* type, const char* subclass, AcDbObjectId id, bool paper) {
  w.string(0, type);
  w.handle(5, newHandle());
  if (!m_r12) {
    w.handle(330, handleOf(id));
    w.string(100, "AcDbEntity");
  }
  if (paper) w.integer(67, 1);
  w.string(8, "0");
  if (!m_r12) w.string(100, subclass);
}

void DrawingWriter::blockRecord(TagWriter& w, AcDbObjectId id) {
  Reading<AcDbBlockTableRecord> b(id);
  if (!b) return;
  const char* name = nullptr;
  b->getName(name);
  std::string blockName = name ? name : "";
  const bool model = id == m_modelSpace, paper = id == m_paperSpace;
  if (m_r12 && model) blockName = "$MODEL_SPACE";
  if (m_r12 && paper) blockName = "$PAPER_SPACE";
  blockMarker(w, "BLOCK", "AcDbBlockBegin", id, paper);
  str(w, 2, blockName);
  std::int64_t flags = (b->isAnonymous() ? kBlockAnonymous : 0) | (b->hasAttributeDefinitions() ? kBlockHasAttributes : 0) |
                       (b->isFromExternalReference() ? kBlockExternal : 0) |
                       (b->isFromOverlayReference() ? kBlockOverlay : 0);
  w.integer(70, flags);
  point(w, 10, b->origin());
  str(w, 3, blockName);
  const ACHAR* path = nullptr;
  b->pathName(path);
  str(w, 1, path ? path : "");
  const ACHAR* comments = nullptr;
  b->comments(comments);
  if (!m_r12 && comments && *comments) str(w, 4, comments);
  if (!model && !paper) entities(w, id, false);
  blockMarker(w, "ENDBLK", "AcDbBlockEnd", id, paper);
}

void DrawingWriter::blocks(TagWriter& w) {
  w.string(0, "SECTION");
  w.string(2, "BLOCKS");
  std::vector<AcDbObjectId> ids;
  if (Reading<AcDbBlockTable> bt(m_db.blockTableId()); bt) ids = recordIdsOf(*bt.get());
  for (AcDbObjectId id : ids) blockRecord(w, id);
  w.string(0, "ENDSEC");
}

// --- objects --------------------------------------------------------------------------------

void DrawingWriter::objectRecord(TagWriter& w, AcDbObject* obj) {
  EntityCommon c;
  commonOf(obj, c);
  const bool root = obj->objectId() == m_db.namedObjectsDictionaryId();
  auto head = [&](std::string_view type) {
    w.string(0, type);
    w.handle(5, c.handle);
    writeRawTags(w, c.appGroups, m_codec);
    w.handle(330, root ? 0 : c.owner);
  };
  if (auto* d = AcDbDictionary::cast(obj)) {
    head("DICTIONARY");
    w.string(100, "AcDbDictionary");
    if (d->isTreatElementsAsHard()) w.integer(280, 1);
    w.integer(281, d->mergeStyle());
    writeExtrasOf(w, c.extras, "AcDbDictionary", m_codec);
    const int entryCode = d->isTreatElementsAsHard() ? 360 : 350;
    std::unique_ptr<AcDbDictionaryIterator> it(d->newIterator(AcRx::kDictCollated));
    for (; it && !it->done(); it->next()) {
      str(w, 3, it->name());
      w.handle(entryCode, handleOf(it->objectId()));
    }
    if (root && m_layoutDictionary) {
      w.string(3, "ACAD_LAYOUT");
      w.handle(350, m_layoutDictionary);
    }
    writeOtherExtras(w, c.extras, {"", "AcDbDictionary"}, true, m_codec);
  } else if (auto* g = AcDbGroup::cast(obj)) {
    head("GROUP");
    w.string(100, "AcDbGroup");
    std::unique_ptr<ACHAR[]> description(g->description());
    str(w, 300, description ? description.get() : "");
    w.integer(70, g->isAnonymous() ? 1 : 0);
    w.integer(71, g->isSelectable() ? 1 : 0);
    AcDbObjectIdArray ids;
    g->allEntityIds(ids);
    for (int i = 0; i < ids.length(); ++i) w.handle(340, handleOf(ids[i]));
    writeOtherExtras(w, c.extras, {"", "AcDbGroup"}, true, m_codec);
  } else if (auto* r = AcDbRawObject::cast(obj)) {
    head(r->dxfName());
    writeRawTags(w, fromDb(r->tags()), m_codec);
  } else {
    return;
  }
  writeRawTags(w, c.xdata, m_codec);
}

void layoutRecord(TagWriter& w, std::uint64_t handle, std::uint64_t owner, const char* name,
                  int order, std::uint64_t block) {
  w.string(0, "LAYOUT");
  w.handle(5, handle);
  w.handle(330, owner);
  w.string(100, "AcDbPlotSettings");
  w.string(1, "");
  w.string(2, "none_device");
  w.string(4, "");
  w.string(6, "");
  for (int code = 40; code <= 49; ++code) w.real(code, 0);
  w.real(140, 0);
  w.real(141, 0);
  w.real(142, 1);
  w.real(143, 1);
  w.integer(70, 688);
  w.integer(72, 0);
  w.integer(73, 0);
  w.integer(74, 5);
  w.string(7, "");
  w.integer(75, 16);
  w.integer(76, 0);
  w.integer(77, 2);
  w.integer(78, 300);
  w.real(147, 1);
  w.real(148, 0);
  w.real(149, 0);
  w.string(100, "AcDbLayout");
  w.string(1, name);
  w.integer(70, 1);
  w.integer(71, order);
  w.point2d(10, 0, 0);
  w.point2d(11, 12, 9);
  w.point(12, 0, 0, 0);
  w.point(14, 1e20, 1e20, 1e20);
  w.point(15, -1e20, -1e20, -1e20);
  w.real(146, 0);
  w.point(13, 0, 0, 0);
  w.point(16, 1, 0, 0);
  w.point(17, 0, 1, 0);
  w.integer(76, 1);
  w.handle(330, block);
}

void DrawingWriter::objects(TagWriter& w) {
  w.string(0, "SECTION");
  w.string(2, "OBJECTS");
  AcDbObjectId rootId = m_db.namedObjectsDictionaryId();
  if (Reading<AcDbObject> root(rootId); root) objectRecord(w, root.get());
  if (m_layoutDictionary) {
    w.string(0, "DICTIONARY");
    w.handle(5, m_layoutDictionary);
    w.handle(330, handleOf(rootId));
    w.string(100, "AcDbDictionary");
    w.integer(281, 1);
    w.string(3, "Layout1");
    w.handle(350, m_paperLayout);
    w.string(3, "Model");
    w.handle(350, m_modelLayout);
    layoutRecord(w, m_modelLayout, m_layoutDictionary, "Model", 0, handleOf(m_modelSpace));
    layoutRecord(w, m_paperLayout, m_layoutDictionary, "Layout1", 1, handleOf(m_paperSpace));
  }
  for (AcDbObjectId id : cdb::allObjectIds(m_db)) {
    if (id == rootId || id.isErased()) continue;
    Reading<AcDbObject> obj(id);
    if (!obj) continue;
    if (AcDbDictionary::cast(obj.get()) || AcDbGroup::cast(obj.get()) || AcDbRawObject::cast(obj.get())) {
      objectRecord(w, obj.get());
    }
  }
  w.string(0, "ENDSEC");
}

void DrawingWriter::rawSections(TagWriter& w) {
  for (const auto& [name, tags] : cdb::rawSections(m_db)) {
    if (name == "CLASSES") continue;
    if (m_r12) continue;  // thumbnails and modeller data belong to newer versions
    w.string(0, "SECTION");
    w.string(2, name);
    writeRawTags(w, fromDb(tags), m_codec);
    w.string(0, "ENDSEC");
  }
}

bool DrawingWriter::run(std::string& out, DxfError& error) {
  collectNames();
  planLayouts();
  TagWriter body;
  tables(body);
  blocks(body);
  body.string(0, "SECTION");
  body.string(2, "ENTITIES");
  entities(body, m_modelSpace, false);
  entities(body, m_paperSpace, true);
  body.string(0, "ENDSEC");
  if (!m_r12) objects(body);
  rawSections(body);
  body.string(0, "EOF");
  // Classes and header last: they name what the body used and the handles it took.
  TagWriter classList;
  if (!m_r12) classes(classList);
  TagWriter head;
  header(head);
  for (const TagWriter* part : {&head, &classList, &body}) {
    if (!part->unreadable().empty()) {
      error.set(0, "not saved: " + part->unreadable());
      return false;
    }
  }
  out.reserve(head.text().size() + classList.text().size() + body.text().size());
  out = head.text();
  out += classList.text();
  out += body.text();
  return true;
}

}  // namespace

Acad::ErrorStatus writeDxfText(AcDbDatabase& db, std::string& text, const WriteOptions& options,
                               DxfError& error, WriteWarnings* warnings) {
  error.clear();
  if (options.version == DxfVersion::R13 || options.version == DxfVersion::R14) {
    error.set(0, std::string("writing ") + nameOf(options.version) +
                     " is not supported; choose R12 or R2000 and later");
    return Acad::eInvalidDwgVersion;
  }
  DrawingWriter writer(db, options, warnings);
  text.clear();
  if (!writer.run(text, error)) return Acad::eFilerError;
  return Acad::eOk;
}

Acad::ErrorStatus writeDxf(AcDbDatabase& db, const std::string& path, const WriteOptions& options,
                           DxfError& error, WriteWarnings* warnings) {
  std::string text;
  Acad::ErrorStatus es = writeDxfText(db, text, options, error, warnings);
  if (es != Acad::eOk) return es;
  std::string failure = os::replaceFile(path, text);
  if (!failure.empty()) {
    error.set(0, failure);
    return Acad::eFileAccessErr;
  }
  return Acad::eOk;
}

std::string supportedVersionsText() {
  return "DXF files: reads R12 to R2018 (ASCII); writes R12, R2000, R2004 (default, code page "
         "ANSI_936), R2007, R2010, R2013 and R2018";
}

}  // namespace contura::dxf
