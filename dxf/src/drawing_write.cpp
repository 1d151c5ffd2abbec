// Writing a drawing database as DXF: header, classes, tables, blocks, entities, objects,
// with raw tags put back where they were read, saved through a temporary file.
#include "drawing_common.h"
#include "record_parser.h"
#include "tag_filer.h"

#include <contura/db/database_access.h>
#include <contura/db/solid_data.h>
#include <contura/dxf/dxf.h>
#include <contura/os/codepage.h>
#include <contura/os/file_replace.h>

#include <dbdict.h>
#include <dbelipse.h>
#include <dbents.h>
#include <dbgroup.h>
#include <dbhatch.h>
#include <dbmtext.h>
#include <dbpl.h>
#include <dbspline.h>
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

std::uint64_t handleOf(AcDbObjectId id) { return id.isNull() ? 0 : id.handle().value(); }

Color fromColor(const AcCmColor& c) {
  Color out;
  switch (c.colorMethod()) {
    case AcCmEntityColor::kByLayer: out.index = 256; break;
    case AcCmEntityColor::kByBlock: out.index = 0; break;
    case AcCmEntityColor::kNone: out.index = 257; break;
    case AcCmEntityColor::kByColor:
      out.index = 256;
      out.rgb = (std::int32_t(c.red()) << 16) | (std::int32_t(c.green()) << 8) | c.blue();
      if (c.hasColorName()) {
        out.name = c.hasBookName() ? std::string(c.bookName()) + "$" + c.colorName() : c.colorName();
      }
      break;
    default: out.index = std::int16_t(c.colorIndex()); break;
  }
  return out;
}

// Opens an object for read for the length of a scope.
template <class T>
class Reading {
 public:
  explicit Reading(AcDbObjectId id) {
    if (acdbOpenObject(m_obj, id, AcDb::kForRead) != Acad::eOk) m_obj = nullptr;
  }
  ~Reading() {
    if (m_obj) m_obj->close();
  }
  Reading(const Reading&) = delete;
  Reading& operator=(const Reading&) = delete;
  T* operator->() const { return m_obj; }
  T* get() const { return m_obj; }
  explicit operator bool() const { return m_obj != nullptr; }

 private:
  T* m_obj = nullptr;
};

struct TableInfo {
  cdb::TableKind kind;
  const char* name;
  AcDbObjectId (AcDbDatabase::*id)() const;
};

const TableInfo kTables[] = {
    {cdb::TableKind::kViewport, "VPORT", &AcDbDatabase::viewportTableId},
    {cdb::TableKind::kLinetype, "LTYPE", &AcDbDatabase::linetypeTableId},
    {cdb::TableKind::kLayer, "LAYER", &AcDbDatabase::layerTableId},
    {cdb::TableKind::kTextStyle, "STYLE", &AcDbDatabase::textStyleTableId},
    {cdb::TableKind::kView, "VIEW", &AcDbDatabase::viewTableId},
    {cdb::TableKind::kUCS, "UCS", &AcDbDatabase::UCSTableId},
    {cdb::TableKind::kRegApp, "APPID", &AcDbDatabase::regAppTableId},
    {cdb::TableKind::kDimStyle, "DIMSTYLE", &AcDbDatabase::dimStyleTableId},
    {cdb::TableKind::kBlock, "BLOCK_RECORD", &AcDbDatabase::blockTableId},
};

const char* recordTypeOf(cdb::TableKind kind) {
  for (const TableInfo& t : kTables) {
    if (t.kind == kind) return t.kind == cdb::TableKind::kBlock ? "BLOCK_RECORD" : t.name;
  }
  return "";
}

const char* recordSubclassOf(cdb::TableKind kind) {
  switch (kind) {
    case cdb::TableKind::kViewport: return "AcDbViewportTableRecord";
    case cdb::TableKind::kLinetype: return "AcDbLinetypeTableRecord";
    case cdb::TableKind::kLayer: return "AcDbLayerTableRecord";
    case cdb::TableKind::kTextStyle: return "AcDbTextStyleTableRecord";
    case cdb::TableKind::kView: return "AcDbViewTableRecord";
    case cdb::TableKind::kUCS: return "AcDbUCSTableRecord";
    case cdb::TableKind::kRegApp: return "AcDbRegAppTableRecord";
    case cdb::TableKind::kDimStyle: return "AcDbDimStyleTableRecord";
    case cdb::TableKind::kBlock: return "AcDbBlockTableRecord";
  }
  return "";
}

constexpr std::size_t kModellerLine = 255;

// The database's own entity classes, which this layer maps itself; any other class is
// another module's and files its own data.
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

bool isBuiltIn(const AcRxClass* cls) {
  const AcRxClass* const known[] = {
      AcDbLine::desc(),     AcDbArc::desc(),          AcDbCircle::desc(),
      AcDbPoint::desc(),    AcDbSolid::desc(),        AcDbText::desc(),
      AcDbAttributeDefinition::desc(), AcDbAttribute::desc(), AcDbMText::desc(),
      AcDbPolyline::desc(), AcDb2dPolyline::desc(),   AcDbEllipse::desc(),
      AcDbSpline::desc(),   AcDbRay::desc(),          AcDbXline::desc(),
      AcDbBlockReference::desc(), AcDbMInsertBlock::desc(), AcDbRegion::desc(),
      AcDb3dSolid::desc(),  AcDbRawEntity::desc(),    AcDb2dVertex::desc(),
      AcDbHatch::desc()};
  for (const AcRxClass* k : known) {
    if (cls == k) return true;
  }
  return false;
}

class DrawingWriter {
 public:
  DrawingWriter(AcDbDatabase& db, const WriteOptions& options, WriteWarnings* warnings)
      : m_db(db), m_options(options), m_warnings(warnings), m_r12(options.version < DxfVersion::R13) {
    m_codec.setFileEncoding(options.version, options.codePage);
    m_ctx.version = options.version;
    m_ctx.codec = &m_codec;
    m_ctx.newHandle = [this] { return newHandle(); };
    m_ctx.warnings = m_warnings;
  }

  // Writes the file's text to `out` (header last into its own writer so that $HANDSEED is
  // above every handle this write made).
  bool run(std::string& out, DxfError& error);

 private:
  std::uint64_t newHandle() { return cdb::allocateHandle(m_db).value(); }
  void warn(const std::string& message) {
    if (m_warnings) ++(*m_warnings)[message];
  }
  void str(TagWriter& w, int code, std::string_view text) {
    m_scratch.clear();
    m_codec.encode(text, m_scratch);
    w.string(code, m_scratch);
  }
  void point(TagWriter& w, int code, const AcGePoint3d& p) { w.point(code, p.x, p.y, p.z); }
  std::string nameOf(AcDbObjectId id);
  void collectNames();
  void planLayouts();

  void header(TagWriter& w);
  void classes(TagWriter& w);
  void tables(TagWriter& w);
  void tableRecord(TagWriter& w, cdb::TableKind kind, AcDbObjectId tableId, AcDbSymbolTableRecord* rec);
  void blocks(TagWriter& w);
  void entities(TagWriter& w, AcDbObjectId blockId, bool paperSpace);
  bool entityValue(AcDbEntity* ent, Entity& e, bool paperSpace);
  bool customValue(AcDbEntity* ent, Entity& e, const std::function<std::string(AcDbObjectId)>& names);
  void commonOf(const AcDbObject* obj, EntityCommon& c);
  void writeEntityOf(TagWriter& w, AcDbObjectId id, bool paperSpace);
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

std::string DrawingWriter::nameOf(AcDbObjectId id) {
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
    AcDbLayerTableIterator* it = nullptr;
    lt->newIterator(it);
    for (; it && !it->done(); it->step()) {
      AcDbLayerTableRecord* rec = nullptr;
      if (it->getRecord(rec) != Acad::eOk) continue;
      ACHAR* description = rec->description();
      if (description && *description) m_layerDescriptions = true;
      delete[] description;
      rec->close();
    }
    delete it;
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

void DrawingWriter::tables(TagWriter& w) {
  w.string(0, "SECTION");
  w.string(2, "TABLES");
  for (const TableInfo& info : kTables) {
    if (m_r12 && info.kind == cdb::TableKind::kBlock) continue;
    AcDbObjectId tableId = (m_db.*info.id)();
    Reading<AcDbSymbolTable> table(tableId);
    if (!table) continue;
    const std::vector<AcDbObjectId> records = recordIdsOf(*table.get());
    const bool addDescriptionApp =
        info.kind == cdb::TableKind::kRegApp && m_layerDescriptions && !m_hasDescriptionApp;
    // The table's own extras, then (from the first "0" tag) entries kept whole because the
    // database could not hold them as entries.
    RawTags extras, keptRecords;
    int keptCount = 0;
    for (const AcDbRawTag& t : cdb::rawExtra(*table.get())) {
      if (t.code == 0) ++keptCount;
      (keptCount ? keptRecords : extras).push_back({t.code, t.value});
    }
    recordHead(w, "TABLE", table.get(), 0, 5, info.name);
    if (!m_r12) w.string(100, "AcDbSymbolTable");
    w.integer(70, std::int64_t(records.size() + keptCount + (addDescriptionApp ? 1 : 0)));
    if (!m_r12) writeOtherExtras(w, extras, {"", "AcDbSymbolTable"}, true, m_codec);
    for (AcDbObjectId id : records) {
      Reading<AcDbSymbolTableRecord> rec(id);
      if (rec) tableRecord(w, info.kind, tableId, rec.get());
    }
    writeRawTags(w, keptRecords, m_codec);
    if (addDescriptionApp) {
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
    w.string(0, "ENDTAB");
  }
  w.string(0, "ENDSEC");
}

void DrawingWriter::tableRecord(TagWriter& w, cdb::TableKind kind, AcDbObjectId tableId,
                                AcDbSymbolTableRecord* rec) {
  const char* type = recordTypeOf(kind);
  const char* subclass = recordSubclassOf(kind);
  const bool dimstyle = kind == cdb::TableKind::kDimStyle;
  recordHead(w, type, rec, handleOf(tableId), dimstyle ? 105 : 5);
  if (!m_r12) {
    w.string(100, "AcDbSymbolTableRecord");
    w.string(100, subclass);
  }
  const char* name = nullptr;
  rec->getName(name);
  std::string recordName = name ? name : "";
  if (kind == cdb::TableKind::kBlock && m_r12) {
    if (recordName == "*Model_Space") recordName = "$MODEL_SPACE";
    if (recordName == "*Paper_Space") recordName = "$PAPER_SPACE";
  }
  str(w, 2, recordName);
  const RawTags extras = fromDb(cdb::rawExtra(*rec));
  RawTags xdata = fromDb(cdb::rawXData(*rec));
  std::int64_t flags = rec->isDependent() ? 16 | 32 : 0;
  // Extras of the record's subclass, and those of a file without subclasses (R12) there too.
  auto extrasOf = [&](const char* sub) {
    if (m_r12) return;
    writeExtrasOf(w, extras, sub, m_codec);
    writeExtrasOf(w, extras, "", m_codec);
  };
  switch (kind) {
    case cdb::TableKind::kLayer: {
      auto* l = AcDbLayerTableRecord::cast(rec);
      w.integer(70, flags | (l->isFrozen() ? 1 : 0) | (l->isLocked() ? 4 : 0));
      Color c = fromColor(l->color());
      // A layer with a true colour keeps the foreground index beside it, as others write.
      std::int64_t index = c.rgb >= 0 && m_options.version >= DxfVersion::R2004 ? 7
                           : c.rgb >= 0 ? nearestColorIndex(c.rgb) : c.index;
      if (index == 256 || index == 0) index = 7;
      w.integer(62, l->isOff() ? -index : index);
      if (c.rgb >= 0) {
        if (m_options.version >= DxfVersion::R2004) w.integer(420, c.rgb);
        else warn(std::string(contura::dxf::nameOf(m_options.version)) + " has no true colours; the nearest colour index is written");
      }
      std::string linetype = l->linetypeObjectId().isNull() ? "Continuous" : nameOf(l->linetypeObjectId());
      str(w, 6, linetype);
      if (!m_r12) {
        if (!l->isPlottable()) w.integer(290, 0);
        w.integer(370, l->lineWeight());
      }
      extrasOf(subclass);
      ACHAR* description = l->description();
      if (description && *description) {
        xdata.push_back({1001, kLayerDescriptionApp});
        xdata.push_back({1000, ""});
        xdata.push_back({1000, description});
      }
      delete[] description;
      break;
    }
    case cdb::TableKind::kTextStyle: {
      auto* s = AcDbTextStyleTableRecord::cast(rec);
      w.integer(70, flags | (s->isShapeFile() ? 1 : 0) | (s->isVertical() ? 4 : 0));
      w.real(40, s->textSize());
      w.real(41, s->xScale());
      w.real(50, toDegrees(s->obliquingAngle()));
      w.integer(71, s->flagBits());
      w.real(42, s->priorSize());
      const ACHAR* font = nullptr;
      const ACHAR* bigFont = nullptr;
      s->fileName(font);
      s->bigFontFileName(bigFont);
      str(w, 3, font ? font : "");
      str(w, 4, bigFont ? bigFont : "");
      extrasOf(subclass);
      break;
    }
    case cdb::TableKind::kLinetype: {
      auto* l = AcDbLinetypeTableRecord::cast(rec);
      w.integer(70, flags);
      const ACHAR* comments = nullptr;
      l->comments(comments);
      str(w, 3, comments ? comments : "");
      w.integer(72, 65);
      w.integer(73, l->numDashes());
      w.real(40, l->patternLength());
      bool keptDashes = false;
      for (const RawTag& t : extras) keptDashes = keptDashes || t.code == 49;
      if (keptDashes && !m_r12) {
        extrasOf(subclass);
      } else {
        for (int i = 0; i < l->numDashes(); ++i) {
          w.real(49, l->dashLengthAt(i));
          if (!m_r12) w.integer(74, 0);
        }
        extrasOf(subclass);
      }
      break;
    }
    case cdb::TableKind::kDimStyle: {
      auto* d = AcDbDimStyleTableRecord::cast(rec);
      w.integer(70, flags);
      w.real(40, d->dimscale());
      w.real(41, d->dimasz());
      w.real(140, d->dimtxt());
      w.integer(173, d->dimsah() ? 1 : 0);
      if (m_r12) {
        if (!d->dimblk().isNull()) str(w, 5, nameOf(d->dimblk()));
        if (!d->dimblk1().isNull()) str(w, 6, nameOf(d->dimblk1()));
        if (!d->dimblk2().isNull()) str(w, 7, nameOf(d->dimblk2()));
      } else {
        if (!d->dimtxsty().isNull()) w.handle(340, handleOf(d->dimtxsty()));
        if (!d->dimldrblk().isNull()) w.handle(341, handleOf(d->dimldrblk()));
        if (!d->dimblk().isNull()) w.handle(342, handleOf(d->dimblk()));
        if (!d->dimblk1().isNull()) w.handle(343, handleOf(d->dimblk1()));
        if (!d->dimblk2().isNull()) w.handle(344, handleOf(d->dimblk2()));
      }
      extrasOf(subclass);
      break;
    }
    case cdb::TableKind::kBlock: {
      auto* b = AcDbBlockTableRecord::cast(rec);
      std::uint64_t layout = handleOf(b->getLayoutId());
      if (!layout && b->objectId() == m_modelSpace) layout = m_modelLayout;
      if (!layout && b->objectId() == m_paperSpace) layout = m_paperLayout;
      if (layout) w.handle(340, layout);
      extrasOf(subclass);
      break;
    }
    case cdb::TableKind::kViewport: {
      w.integer(70, flags);
      bool kept = false;
      for (const RawTag& t : extras) kept = kept || t.code != 100;
      if (!kept) {
        auto* v = AcDbViewportTableRecord::cast(rec);
        w.point2d(10, v->lowerLeftCorner().x, v->lowerLeftCorner().y);
        w.point2d(11, v->upperRightCorner().x, v->upperRightCorner().y);
        w.point2d(12, v->centerPoint().x, v->centerPoint().y);
        w.point2d(13, 0, 0);
        w.point2d(14, 1, 1);
        w.point2d(15, 1, 1);
        AcGeVector3d dir = v->viewDirection();
        w.point(16, dir.x, dir.y, dir.z);
        point(w, 17, v->target());
        w.real(40, v->height());
        w.real(41, v->height() > 0 ? v->width() / v->height() : 1.0);
        w.real(42, 50);
        w.real(43, 0);
        w.real(44, 0);
        w.real(50, 0);
        w.real(51, toDegrees(v->viewTwist()));
        w.integer(71, 0);
        w.integer(72, 1000);
        w.integer(73, 1);
        w.integer(74, 3);
        w.integer(75, 0);
        w.integer(76, 0);
        w.integer(77, 0);
        w.integer(78, 0);
      }
      extrasOf(subclass);
      break;
    }
    default:
      w.integer(70, flags);
      extrasOf(subclass);
      break;
  }
  if (!m_r12) writeOtherExtras(w, extras, {"", "AcDbSymbolTableRecord", subclass}, true, m_codec);
  writeRawTags(w, xdata, m_codec);
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

void textValue(const AcDbText* t, TextEntity& e, DrawingWriter* self,
               const std::function<std::string(AcDbObjectId)>& nameOf) {
  (void)self;
  e.position = fromPoint(t->position());
  // A text that is not left-aligned has its alignment point; others keep one they were given.
  e.hasAlignment = !t->isDefaultAlignment() || t->alignmentPoint() != AcGePoint3d(0, 0, 0);
  e.alignment = fromPoint(t->alignmentPoint());
  e.height = t->height();
  e.text = t->textStringConst();
  e.rotation = toDegrees(t->rotation());
  e.widthFactor = t->widthFactor();
  e.oblique = toDegrees(t->oblique());
  e.style = t->textStyle().isNull() ? "Standard" : nameOf(t->textStyle());
  e.generation = std::int16_t((t->isMirroredInX() ? 2 : 0) | (t->isMirroredInY() ? 4 : 0));
  e.horizontal = std::int16_t(t->horizontalMode());
  e.vertical = std::int16_t(t->verticalMode());
  e.thickness = t->thickness();
  e.normal = fromVector(t->normal());
}

bool DrawingWriter::entityValue(AcDbEntity* ent, Entity& e, bool paperSpace) {
  e = Entity();
  commonOf(ent, e.common);
  e.common.paperSpace = paperSpace;
  auto names = [this](AcDbObjectId id) { return nameOf(id); };
  using K = Entity::Kind;
  if (!isBuiltIn(ent->isA())) return customValue(ent, e, names);
  if (auto* l = AcDbLine::cast(ent)) {
    e.kind = K::Line;
    e.line = {fromPoint(l->startPoint()), fromPoint(l->endPoint()), l->thickness(), fromVector(l->normal())};
  } else if (auto* a = AcDbArc::cast(ent)) {
    e.kind = K::Circle;
    e.circle = {fromPoint(a->center()), a->radius(), a->thickness(), fromVector(a->normal()), true,
                toDegrees(a->startAngle()), toDegrees(a->endAngle())};
  } else if (auto* c = AcDbCircle::cast(ent)) {
    e.kind = K::Circle;
    e.circle = {fromPoint(c->center()), c->radius(), c->thickness(), fromVector(c->normal()), false, 0, 0};
  } else if (auto* p = AcDbPoint::cast(ent)) {
    e.kind = K::Point;
    e.point = {fromPoint(p->position()), p->thickness(), fromVector(p->normal()), toDegrees(p->ecsRotation())};
  } else if (auto* s = AcDbSolid::cast(ent)) {
    e.kind = K::Solid;
    for (int i = 0; i < 4; ++i) {
      AcGePoint3d q;
      s->getPointAt(Adesk::UInt16(i), q);
      e.solid.corners[i] = fromPoint(q);
    }
    e.solid.thickness = s->thickness();
    e.solid.normal = fromVector(s->normal());
  } else if (auto* d = AcDbAttributeDefinition::cast(ent)) {
    e.kind = K::Text;
    e.text.kind = TextEntity::Kind::AttributeDefinition;
    textValue(d, e.text, this, names);
    e.text.tag = d->tagConst();
    e.text.prompt = d->promptConst();
    e.text.attributeFlags = std::int16_t((d->isInvisible() ? 1 : 0) | (d->isConstant() ? 2 : 0) |
                                         (d->isVerifiable() ? 4 : 0) | (d->isPreset() ? 8 : 0));
    e.text.fieldLength = std::int16_t(d->fieldLength());
  } else if (auto* t = AcDbText::cast(ent)) {
    e.kind = K::Text;
    textValue(t, e.text, this, names);
  } else if (auto* m = AcDbMText::cast(ent)) {
    e.kind = K::MText;
    MTextEntity& x = e.mtext;
    x.position = fromPoint(m->location());
    x.height = m->textHeight();
    x.width = m->width();
    x.attachment = std::int16_t(m->attachment());
    x.direction = std::int16_t(m->flowDirection());
    x.text = m->contentsConst();
    x.style = m->textStyle().isNull() ? "Standard" : nameOf(m->textStyle());
    x.normal = fromVector(m->normal());
    x.xDirection = fromVector(m->direction());
    x.hasXDirection = true;
    x.lineSpacingStyle = std::int16_t(m->lineSpacingStyle());
    x.lineSpacingFactor = m->lineSpacingFactor();
  } else if (auto* pl = AcDbPolyline::cast(ent)) {
    e.kind = K::Polyline;
    PolylineEntity& x = e.polyline;
    x.lightweight = true;
    x.flags = std::int16_t((pl->isClosed() ? 1 : 0) | (pl->hasPlinegen() ? 128 : 0));
    double width = 0;
    if (pl->getConstantWidth(width) == Acad::eOk && width != 0) {
      x.hasConstantWidth = true;
      x.constantWidth = width;
    }
    x.elevation = pl->elevation();
    x.thickness = pl->thickness();
    x.normal = fromVector(pl->normal());
    x.vertices.resize(pl->numVerts());
    for (unsigned i = 0; i < pl->numVerts(); ++i) {
      PolylineVertex& v = x.vertices[i];
      AcGePoint2d q;
      pl->getPointAt(i, q);
      v.point = {q.x, q.y, 0};
      pl->getBulgeAt(i, v.bulge);
      if (!x.hasConstantWidth) pl->getWidthsAt(i, v.startWidth, v.endWidth);
    }
  } else if (auto* p2 = AcDb2dPolyline::cast(ent)) {
    e.kind = K::Polyline;
    PolylineEntity& x = e.polyline;
    x.lightweight = false;
    std::int16_t flags = p2->isClosed() ? 1 : 0;
    switch (p2->polyType()) {
      case AcDb::k2dFitCurvePoly: flags |= 2; break;
      case AcDb::k2dQuadSplinePoly: flags |= 4; x.curveType = 5; break;
      case AcDb::k2dCubicSplinePoly: flags |= 4; x.curveType = 6; break;
      default: break;
    }
    if (p2->isLinetypeGenerationOn()) flags |= 128;
    x.flags = flags;
    x.defaultStartWidth = p2->defaultStartWidth();
    x.defaultEndWidth = p2->defaultEndWidth();
    x.elevation = p2->elevation();
    x.thickness = p2->thickness();
    x.normal = fromVector(p2->normal());
    std::unique_ptr<AcDbObjectIterator> it(p2->vertexIterator());
    for (; it && !it->done(); it->step()) {
      Reading<AcDb2dVertex> v(it->objectId());
      if (!v) continue;
      PolylineVertex& pv = x.vertices.emplace_back();
      commonOf(v.get(), pv.common);
      pv.point = fromPoint(v->position());
      pv.bulge = v->bulge();
      pv.startWidth = v->startWidth();
      pv.endWidth = v->endWidth();
      switch (v->vertexType()) {
        case AcDb::k2dSplineCtlVertex: pv.flags = 16; break;
        case AcDb::k2dSplineFitVertex: pv.flags = 8; break;
        case AcDb::k2dCurveFitVertex: pv.flags = 1; break;
        default: break;
      }
      if (v->isTangentUsed()) {
        pv.flags |= 2;
        pv.tangent = toDegrees(v->tangent());
      }
    }
  } else if (auto* el = AcDbEllipse::cast(ent)) {
    e.kind = K::Ellipse;
    e.ellipse = {fromPoint(el->center()), fromVector(el->majorAxis()), fromVector(el->normal()),
                 el->radiusRatio(), el->startParam(), el->endParam()};
  } else if (auto* sp = AcDbSpline::cast(ent)) {
    e.kind = K::Spline;
    SplineEntity& x = e.spline;
    int degree = 3;
    bool rational = false, closed = false, periodic = false;
    AcGePoint3dArray points;
    AcGeDoubleArray knots, weights;
    double controlTol = 0, knotTol = 0;
    if (sp->numControlPoints() > 0 &&
        sp->getNurbsData(degree, rational, closed, periodic, points, knots, weights, controlTol, knotTol) == Acad::eOk) {
      for (int i = 0; i < points.length(); ++i) x.controlPoints.push_back(fromPoint(points[i]));
      for (int i = 0; i < knots.length(); ++i) x.knots.push_back(knots[i]);
      if (rational) {
        for (int i = 0; i < weights.length(); ++i) x.weights.push_back(weights[i]);
      }
    } else {
      degree = sp->degree();
      closed = sp->isClosed();
      periodic = sp->isPeriodic();
    }
    x.degree = std::int16_t(degree);
    x.flags = std::int16_t((closed ? 1 : 0) | (periodic ? 2 : 0) | (rational ? 4 : 0) | 8);
    if (sp->hasFitData()) {
      AcGePoint3dArray fit;
      int fitDegree = 3;
      double fitTol = 0;
      bool tangents = false;
      AcGeVector3d start, end;
      if (sp->getFitData(fit, fitDegree, fitTol, tangents, start, end) == Acad::eOk) {
        for (int i = 0; i < fit.length(); ++i) x.fitPoints.push_back(fromPoint(fit[i]));
        x.fitTolerance = fitTol;
        x.hasFitTolerance = true;
        if (tangents) {
          x.startTangent = fromVector(start);
          x.endTangent = fromVector(end);
          x.hasStartTangent = x.hasEndTangent = true;
        }
      }
    }
  } else if (auto* xl = AcDbRay::cast(ent)) {
    e.kind = K::Ray;
    e.ray = {AcDbXline::cast(ent) != nullptr, fromPoint(xl->basePoint()), fromVector(xl->unitDir())};
  } else if (auto* ref = AcDbBlockReference::cast(ent)) {
    e.kind = K::Insert;
    InsertEntity& x = e.insert;
    std::string block = nameOf(ref->blockTableRecord());
    if (m_r12 && block == "*Model_Space") block = "$MODEL_SPACE";
    x.block = block;
    x.position = fromPoint(ref->position());
    AcGeScale3d s3 = ref->scaleFactors();
    x.scale = {s3.sx, s3.sy, s3.sz};
    x.rotation = toDegrees(ref->rotation());
    x.normal = fromVector(ref->normal());
    if (auto* mi = AcDbMInsertBlock::cast(ent)) {
      x.isMInsert = true;
      x.columns = std::int16_t(mi->columns());
      x.rows = std::int16_t(mi->rows());
      x.columnSpacing = mi->columnSpacing();
      x.rowSpacing = mi->rowSpacing();
    }
    std::unique_ptr<AcDbObjectIterator> it(ref->attributeIterator());
    for (; it && !it->done(); it->step()) {
      Reading<AcDbAttribute> a(it->objectId());
      if (!a) continue;
      InsertEntity::Attribute& attr = x.attributes.emplace_back();
      commonOf(a.get(), attr.common);
      attr.text.kind = TextEntity::Kind::Attribute;
      textValue(a.get(), attr.text, this, names);
      attr.text.tag = a->tagConst();
      attr.text.attributeFlags = std::int16_t((a->isInvisible() ? 1 : 0) | (a->isConstant() ? 2 : 0) |
                                              (a->isVerifiable() ? 4 : 0) | (a->isPreset() ? 8 : 0));
      attr.text.fieldLength = std::int16_t(a->fieldLength());
    }
  } else if (auto* hatch = AcDbHatch::cast(ent)) {
    e.kind = K::Hatch;
    e.hatch = hatchEntityOf(cdb::hatchData(*hatch), m_options.version, handleOf);
  } else if (AcDbRegion::cast(ent) || AcDb3dSolid::cast(ent)) {
    e.kind = K::Raw;
    const bool region = AcDbRegion::cast(ent) != nullptr;
    e.raw.type = region ? "REGION" : "3DSOLID";
    const std::vector<std::string>& lines =
        region ? cdb::regionData(*AcDbRegion::cast(ent)).modellerData
               : cdb::solidData(*AcDb3dSolid::cast(ent)).modellerData;
    if (lines.empty()) {
      warn("regions and solids made in this program are written without their modeller data");
    }
    // The modeller text goes back at the end of its subclass (after its version tag).
    RawTags extras;
    bool placed = false;
    auto emitLines = [&] {
      for (const std::string& l : lines) {
        std::string_view rest = l;
        extras.push_back({1, std::string(rest.substr(0, kModellerLine))});
        rest.remove_prefix(std::min(rest.size(), kModellerLine));
        while (!rest.empty()) {
          extras.push_back({3, std::string(rest.substr(0, kModellerLine))});
          rest.remove_prefix(std::min(rest.size(), kModellerLine));
        }
      }
      placed = true;
    };
    bool inModeller = false;
    for (const RawTag& t : e.common.extras) {
      if (t.code == 100 && inModeller && !placed) emitLines();
      if (t.code == 100) inModeller = t.value == "AcDbModelerGeometry";
      extras.push_back(t);
    }
    if (!placed) {
      if (!inModeller) {
        extras.push_back({100, "AcDbModelerGeometry"});
        extras.push_back({70, "1"});
      }
      emitLines();
    }
    e.common.extras = std::move(extras);
  } else if (auto* raw = AcDbRawEntity::cast(ent)) {
    e.kind = K::Raw;
    e.raw.type = raw->dxfName();
    // The record's own tags come first; complete follower records (from a "0" tag) after.
    e.common.extras.clear();
    for (const AcDbRawTag& t : raw->tags()) {
      if (t.code == 0) break;
      e.common.extras.push_back({t.code, t.value});
    }
  } else {
    warn(std::string("entities of class ") + ent->isA()->name() + " are not written");
    return false;
  }
  return true;
}

bool DrawingWriter::customValue(AcDbEntity* ent, Entity& e,
                                const std::function<std::string(AcDbObjectId)>& names) {
  const AcRxClass* cls = ent->isA();
  std::string dxfName = cls->dxfName() ? cls->dxfName() : "";
  if (dxfName.empty()) {
    for (const char* c = cls->name(); *c; ++c) dxfName += char(std::toupper(static_cast<unsigned char>(*c)));
  }
  m_customClasses[dxfName] = {cls->name(), cls->appName() ? cls->appName() : ""};
  if (auto* t = AcDbText::cast(ent)) {
    e.kind = Entity::Kind::Text;
    textValue(t, e.text, this, names);
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
  if (auto* raw = AcDbRawEntity::cast(ent.get())) {
    RawTags followers;
    bool started = false;
    for (const AcDbRawTag& t : raw->tags()) {
      started = started || t.code == 0;
      if (!started) continue;
      if (m_r12 && (t.code == 100 || t.code == 330)) continue;
      followers.push_back({t.code, t.value});
    }
    writeRawTags(w, followers, m_codec);
  }
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

void DrawingWriter::blocks(TagWriter& w) {
  w.string(0, "SECTION");
  w.string(2, "BLOCKS");
  std::vector<AcDbObjectId> ids;
  if (Reading<AcDbBlockTable> bt(m_db.blockTableId()); bt) ids = recordIdsOf(*bt.get());
  for (AcDbObjectId id : ids) {
    Reading<AcDbBlockTableRecord> b(id);
    if (!b) continue;
    const char* name = nullptr;
    b->getName(name);
    std::string blockName = name ? name : "";
    const bool model = id == m_modelSpace, paper = id == m_paperSpace;
    if (m_r12 && model) blockName = "$MODEL_SPACE";
    if (m_r12 && paper) blockName = "$PAPER_SPACE";
    w.string(0, "BLOCK");
    w.handle(5, newHandle());
    if (!m_r12) {
      w.handle(330, handleOf(id));
      w.string(100, "AcDbEntity");
    }
    if (paper) w.integer(67, 1);
    w.string(8, "0");
    if (!m_r12) w.string(100, "AcDbBlockBegin");
    str(w, 2, blockName);
    std::int64_t flags = (b->isAnonymous() ? 1 : 0) | (b->hasAttributeDefinitions() ? 2 : 0) |
                         (b->isFromExternalReference() ? 4 : 0) | (b->isFromOverlayReference() ? 8 : 0);
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
    w.string(0, "ENDBLK");
    w.handle(5, newHandle());
    if (!m_r12) {
      w.handle(330, handleOf(id));
      w.string(100, "AcDbEntity");
    }
    if (paper) w.integer(67, 1);
    w.string(8, "0");
    if (!m_r12) w.string(100, "AcDbBlockEnd");
  }
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
    ACHAR* description = g->description();
    str(w, 300, description ? description : "");
    delete[] description;
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
