// Table entry values to database records and back: the functions the table rows name.
#include "entity_db.h"

#include "drawing_common.h"

#include <cstdlib>

namespace contura::dxf::detail {

namespace {

// Flags every kind of entry writes: those of an entry from an external reference.
std::int16_t commonFlagsOf(const AcDbSymbolTableRecord& record) {
  return record.isDependent() ? kXrefDependent : 0;
}

template <class T>
std::unique_ptr<AcDbSymbolTableRecord> named(std::unique_ptr<T> record, const std::string& name) {
  record->setName(name.c_str());
  return record;
}

}  // namespace

// --- to the database ------------------------------------------------------------------------

std::unique_ptr<AcDbSymbolTableRecord> layerToDb(const TableRecord& value) {
  const LayerRecord& l = value.layer;
  auto rec = std::make_unique<AcDbLayerTableRecord>();
  rec->setColor(toColor(l.color));
  rec->setIsOff(l.off);
  rec->setIsFrozen(value.flags & kLayerFrozen);
  rec->setIsLocked(value.flags & kLayerLocked);
  rec->setIsPlottable(l.plot);
  if (l.hasLineweight && isLineWeightValue(l.lineweight)) rec->setLineWeight(AcDb::LineWeight(l.lineweight));
  return named(std::move(rec), value.name);
}

void layerAfterAdd(AcDbSymbolTableRecord& record, const TableRecord& value, ToDatabase& db) {
  auto* rec = AcDbLayerTableRecord::cast(&record);
  if (!value.layer.description.empty()) rec->setDescription(value.layer.description.c_str());
  if (!value.layer.linetype.empty()) rec->setLinetypeObjectId(db.linetypeId(value.layer.linetype));
}

std::unique_ptr<AcDbSymbolTableRecord> styleToDb(const TableRecord& value) {
  const TextStyleRecord& s = value.style;
  auto rec = std::make_unique<AcDbTextStyleTableRecord>();
  rec->setTextSize(s.textSize);
  rec->setXScale(s.xScale);
  rec->setObliquingAngle(toRadians(s.oblique));
  rec->setFlagBits(Adesk::UInt8(s.generation));
  rec->setPriorSize(s.priorSize);
  rec->setFileName(s.font.c_str());
  rec->setBigFontFileName(s.bigFont.c_str());
  rec->setIsShapeFile(value.flags & kStyleShapeFile);
  rec->setIsVertical(value.flags & kStyleVertical);
  return named(std::move(rec), value.name);
}

std::unique_ptr<AcDbSymbolTableRecord> linetypeToDb(const TableRecord& value) {
  const LinetypeRecord& l = value.linetype;
  auto rec = std::make_unique<AcDbLinetypeTableRecord>();
  rec->setComments(l.comments.c_str());
  rec->setPatternLength(l.patternLength);
  rec->setNumDashes(int(l.dashes.size()));
  for (std::size_t i = 0; i < l.dashes.size(); ++i) rec->setDashLengthAt(int(i), l.dashes[i]);
  return named(std::move(rec), value.name);
}

std::unique_ptr<AcDbSymbolTableRecord> dimStyleToDb(const TableRecord& value) {
  const DimStyleRecord& d = value.dimStyle;
  auto rec = std::make_unique<AcDbDimStyleTableRecord>();
  rec->setDimscale(d.dimscale);
  rec->setDimasz(d.dimasz);
  rec->setDimtxt(d.dimtxt);
  rec->setDimsah(d.dimsah);
  return named(std::move(rec), value.name);
}

// Arrowhead blocks come later in the file (BLOCK_RECORD follows DIMSTYLE): linked at the end.
void dimStyleAfterAdd(AcDbSymbolTableRecord& record, const TableRecord& value, ToDatabase& db) {
  db.linkDimStyle(record.objectId(), value);
}

std::unique_ptr<AcDbSymbolTableRecord> blockRecordToDb(const TableRecord& value) {
  return named(std::make_unique<AcDbBlockTableRecord>(), canonicalBlockName(value.name));
}

void blockRecordAfterAdd(AcDbSymbolTableRecord& record, const TableRecord& value, ToDatabase& db) {
  if (value.layout) AcDbBlockTableRecord::cast(&record)->setLayoutId(db.idOf(value.layout));
}

// --- from the database ----------------------------------------------------------------------

void layerFromDb(AcDbSymbolTableRecord* record, TableRecord& value, FromDatabase& db) {
  auto* l = AcDbLayerTableRecord::cast(record);
  LayerRecord& x = value.layer;
  value.flags = std::int16_t(commonFlagsOf(*l) | (l->isFrozen() ? kLayerFrozen : 0) | (l->isLocked() ? kLayerLocked : 0));
  x.color = fromColor(l->color());
  x.off = l->isOff();
  x.linetype = l->linetypeObjectId().isNull() ? "Continuous" : db.nameOf(l->linetypeObjectId());
  x.plot = l->isPlottable();
  x.lineweight = std::int16_t(l->lineWeight());
  x.hasLineweight = true;
  std::unique_ptr<ACHAR[]> description(l->description());
  if (description) x.description = description.get();
}

void styleFromDb(AcDbSymbolTableRecord* record, TableRecord& value, FromDatabase&) {
  auto* s = AcDbTextStyleTableRecord::cast(record);
  TextStyleRecord& x = value.style;
  value.flags = std::int16_t(commonFlagsOf(*s) | (s->isShapeFile() ? kStyleShapeFile : 0) |
                             (s->isVertical() ? kStyleVertical : 0));
  x.textSize = s->textSize();
  x.xScale = s->xScale();
  x.oblique = toDegrees(s->obliquingAngle());
  x.generation = s->flagBits();
  x.priorSize = s->priorSize();
  const ACHAR* font = nullptr;
  const ACHAR* bigFont = nullptr;
  s->fileName(font);
  s->bigFontFileName(bigFont);
  x.font = font ? font : "";
  x.bigFont = bigFont ? bigFont : "";
}

void linetypeFromDb(AcDbSymbolTableRecord* record, TableRecord& value, FromDatabase&) {
  auto* l = AcDbLinetypeTableRecord::cast(record);
  LinetypeRecord& x = value.linetype;
  value.flags = commonFlagsOf(*l);
  const ACHAR* comments = nullptr;
  l->comments(comments);
  x.comments = comments ? comments : "";
  x.patternLength = l->patternLength();
  for (int i = 0; i < l->numDashes(); ++i) x.dashes.push_back(l->dashLengthAt(i));
}

void dimStyleFromDb(AcDbSymbolTableRecord* record, TableRecord& value, FromDatabase& db) {
  auto* d = AcDbDimStyleTableRecord::cast(record);
  DimStyleRecord& x = value.dimStyle;
  value.flags = commonFlagsOf(*d);
  x.dimscale = d->dimscale();
  x.dimasz = d->dimasz();
  x.dimtxt = d->dimtxt();
  x.dimsah = d->dimsah();
  const AcDbObjectId links[] = {d->dimblk(), d->dimblk1(), d->dimblk2(), d->dimldrblk(), d->dimtxsty()};
  for (int i = 0; i < DimStyleRecord::kLinkCount; ++i) x.links[i] = handleOf(links[i]);
  if (db.version() < DxfVersion::R13) {
    for (int i = 0; i < 3; ++i) {
      if (!links[i].isNull()) x.arrowNames[i] = db.nameOf(links[i]);
    }
  }
}

void blockRecordFromDb(AcDbSymbolTableRecord* record, TableRecord& value, FromDatabase& db) {
  auto* b = AcDbBlockTableRecord::cast(record);
  value.flags = commonFlagsOf(*b);
  value.layout = handleOf(b->getLayoutId());
  if (!value.layout) value.layout = db.addedLayoutOf(b->objectId());
}

void viewportFromDb(AcDbSymbolTableRecord* record, TableRecord& value, FromDatabase&) {
  auto* v = AcDbViewportTableRecord::cast(record);
  ViewportRecord& x = value.viewport;
  value.flags = commonFlagsOf(*v);
  x.lowerLeft = {v->lowerLeftCorner().x, v->lowerLeftCorner().y};
  x.upperRight = {v->upperRightCorner().x, v->upperRightCorner().y};
  x.center = {v->centerPoint().x, v->centerPoint().y};
  x.viewDirection = fromVector(v->viewDirection());
  x.target = fromPoint(v->target());
  x.height = v->height();
  x.width = v->width();
  x.twist = toDegrees(v->viewTwist());
}

void flagsFromDb(AcDbSymbolTableRecord* record, TableRecord& value, FromDatabase&) {
  value.flags = commonFlagsOf(*record);
}

}  // namespace contura::dxf::detail
