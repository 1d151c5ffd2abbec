// CDwgDatabase: texts — the content, position, rotation, colour, layer and box vectors of a
// single-line or paragraph text, texts equal to a given one, and replacing contents.
//
// Choices where the interface leaves the meaning to the name (codes count the steps):
// - Paragraph text, full getTextInfo: the attachment offset moves the location along the
//   text's own directions (rotated), so the position is the bottom-left corner of the box
//   that the width and height vectors span, for rotated text too.
// - getSameTextIdArray(ids, id, sameLayer, sameColor): the text-bearing entities of model
//   space whose text (getTextInfo, two arguments) equals the given entity's exactly, in
//   model-space order, the given one included; a non-zero sameLayer keeps only those on its
//   layer, a non-zero sameColor only those of its colour index. 1: the given entity not
//   opened or not a text; 2: model space not listed.
// - getSameTextPropIdArray: as getSameTextIdArray, also requiring the same class (single-line
//   or paragraph), the same text height and the same rotation (within kSameSizeTol and
//   kSameAngleTol). The form with an id array looks among those ids instead of model space
//   (ids that cannot be opened are passed over).
// - replaceText(ids, olds, news): every text-bearing entity of ids whose whole text equals
//   olds[k] (exact; the first k that matches) gets news[k]; other entities are left as they
//   are, so nothing is replaced in part. 1: the two lists differ in length (nothing done);
//   2: an entity not opened for write; 3: the new text refused.
#include <acutmem.h>
#include <dbmtext.h>

#include <cmath>

#include "DwgDatabase.h"
#include "DwgToolkitCommon.h"

using namespace dwgtoolkit;

namespace {

// Rotations below this (radians) need no unrotated copy to measure a single-line text.
const double kUnrotatedTol = 0.0001;
// Text heights that differ by at most this are one height.
const double kSameSizeTol = 1e-6;
// Rotations that differ by at most this (radians) are one rotation.
const double kSameAngleTol = 1e-6;

// Fraction of the width left of the location (0 left, 0.5 centre, 1 right) and of the height
// below it (1 top, 0.5 middle, 0 bottom), by attachment.
void attachmentFractions(AcDbMText::AttachmentPoint at, double& leftOf, double& below) {
  const int column = (int(at) - 1) % 3;
  const int row = (int(at) - 1) / 3;
  leftOf = column * 0.5;
  below = 1.0 - row * 0.5;
}

// Width and height of a single-line text, measured unrotated about its position.
bool singleLineSize(AcDbText* pText, double& width, double& height) {
  AcDbExtents box;
  if (std::fabs(pText->rotation()) < kUnrotatedTol) {
    if (pText->getGeomExtents(box) != Acad::eOk) return false;
  } else {
    AcGeMatrix3d unrotate = AcGeMatrix3d::rotation(-pText->rotation(), AcGeVector3d::kZAxis, pText->position());
    AcDbEntity* pCopy = NULL;
    if (pText->getTransformedCopy(unrotate, pCopy) != Acad::eOk) return false;
    OwnedObject<AcDbEntity> copy(pCopy);
    if (copy.get()->getGeomExtents(box) != Acad::eOk) return false;
  }
  width = box.maxPoint().x - box.minPoint().x;
  height = box.maxPoint().y - box.minPoint().y;
  return true;
}

double textHeightOf(AcDbEntity* pEnt) {
  if (AcDbText* pText = AcDbText::cast(pEnt)) return pText->height();
  if (AcDbMText* pMText = AcDbMText::cast(pEnt)) return pMText->textHeight();
  return 0.0;
}

double rotationOf(AcDbEntity* pEnt) {
  if (AcDbText* pText = AcDbText::cast(pEnt)) return pText->rotation();
  if (AcDbMText* pMText = AcDbMText::cast(pEnt)) return pMText->rotation();
  return 0.0;
}

// What two texts must share besides their text.
struct TextMatch {
  CString text;
  AcDbObjectId layerId;
  Adesk::UInt16 color = 0;
  bool byLayer = false, byColor = false, byProps = false;
  const AcRxClass* pClass = NULL;
  double height = 0.0, rotation = 0.0;

  bool matches(AcDbEntity* pEnt, const CString& otherText) const {
    if (!isSameName(text, otherText)) return false;
    if (byLayer && pEnt->layerId() != layerId) return false;
    if (byColor && pEnt->colorIndex() != color) return false;
    if (!byProps) return true;
    return pEnt->isA() == pClass && std::fabs(textHeightOf(pEnt) - height) <= kSameSizeTol &&
           std::fabs(rotationOf(pEnt) - rotation) <= kSameAngleTol;
  }
};

}  // namespace

// ---- Reading ---------------------------------------------------------------------------------

int CDwgDatabase::getTextInfo(CString& text, AcDbEntity* pEnt) {
  text.Empty();
  if (pEnt == NULL) return 1;
  const AcRxClass* pClass = pEnt->isA();
  if (pClass == AcDbText::desc() || pClass == AcDbAttribute::desc() || pClass == AcDbAttributeDefinition::desc()) {
    text = static_cast<AcDbText*>(pEnt)->textStringConst();
    return 0;
  }
  if (pClass == AcDbMText::desc()) {
    text = static_cast<AcDbMText*>(pEnt)->contentsConst();
    return 0;
  }
  return 3;
}

int CDwgDatabase::getTextInfo(CString& text, AcDbObjectId id) {
  text.Empty();
  OpenedObject<AcDbEntity> ent;
  m_esLast = openEntity(ent, id, AcDb::kForRead);
  if (m_esLast != Acad::eOk) return 1;
  m_nLastResult = getTextInfo(text, ent.get());
  return m_nLastResult == 0 ? 0 : 2;
}

int CDwgDatabase::getTextInfo(CString& text, AcGePoint3d& position, double& rotation, int& color, CString& layer,
                              AcGeVector3d& heightVect, AcGeVector3d& widthVect, AcDbEntity* pEnt) {
  m_nLastResult = getTextInfo(text, pEnt);
  if (m_nLastResult != 0) return 3;
  double width = 0.0, height = 0.0;
  AcGeVector3d along = AcGeVector3d::kXAxis, up = AcGeVector3d::kYAxis;
  if (AcDbMText* pMText = AcDbMText::cast(pEnt)) {
    rotation = pMText->rotation();
    width = pMText->actualWidth();
    height = pMText->actualHeight();
    along.rotateBy(rotation, AcGeVector3d::kZAxis);
    up.rotateBy(rotation, AcGeVector3d::kZAxis);
    double leftOf = 0.0, below = 0.0;
    attachmentFractions(pMText->attachment(), leftOf, below);
    position = pMText->location() - along * (width * leftOf) - up * (height * below);
  } else {
    AcDbText* pText = AcDbText::cast(pEnt);
    rotation = pText->rotation();
    position = pText->position();
    if (!singleLineSize(pText, width, height)) return 3;
    along.rotateBy(rotation, AcGeVector3d::kZAxis);
    up.rotateBy(rotation, AcGeVector3d::kZAxis);
  }
  color = pEnt->colorIndex() & 0xFFFF;
  ACHAR* pLayer = pEnt->layer();
  layer = pLayer != NULL ? pLayer : "";
  acutDelString(pLayer);
  heightVect = up * height;
  widthVect = along * width;
  return 0;
}

int CDwgDatabase::getTextInfo(CString& text, AcGePoint3d& position, double& rotation, int& color, CString& layer,
                              AcGeVector3d& heightVect, AcGeVector3d& widthVect, AcDbObjectId id) {
  text.Empty();
  OpenedObject<AcDbEntity> ent;
  m_esLast = openEntity(ent, id, AcDb::kForRead);
  if (m_esLast != Acad::eOk) return 1;
  m_nLastResult = getTextInfo(text, position, rotation, color, layer, heightVect, widthVect, ent.get());
  return m_nLastResult == 0 ? 0 : 2;
}

int CDwgDatabase::getTextInfo(CString& text, AcGePoint3d& position, double& rotation, int& color, CString& layer,
                              AcDbEntity* pEnt) {
  AcGeVector3d heightVect, widthVect;
  return getTextInfo(text, position, rotation, color, layer, heightVect, widthVect, pEnt);
}

int CDwgDatabase::getTextInfo(CString& text, AcGePoint3d& position, double& rotation, CString& layer, AcDbEntity* pEnt) {
  int color = 0;
  return getTextInfo(text, position, rotation, color, layer, pEnt);
}

int CDwgDatabase::getTextInfo(CString& text, AcGePoint3d& position, double& rotation, AcDbEntity* pEnt) {
  CString layer;
  return getTextInfo(text, position, rotation, layer, pEnt);
}

int CDwgDatabase::getTextInfo(CString& text, AcGePoint3d& position, AcDbEntity* pEnt) {
  double rotation = 0.0;
  return getTextInfo(text, position, rotation, pEnt);
}

int CDwgDatabase::getTextInfo(CString& text, AcGePoint3d& position, AcGeVector3d& heightVect, AcGeVector3d& widthVect,
                              AcDbEntity* pEnt) {
  double rotation = 0.0;
  int color = 0;
  CString layer;
  return getTextInfo(text, position, rotation, color, layer, heightVect, widthVect, pEnt);
}

// The id forms: text "" first, 1 when the open fails, 2 when the pointer form fails.
#define TEXT_INFO_BY_ID(CALL)                                    \
  text.Empty();                                                  \
  OpenedObject<AcDbEntity> ent;                                  \
  m_esLast = openEntity(ent, id, AcDb::kForRead);                \
  if (m_esLast != Acad::eOk) return 1;                           \
  m_nLastResult = CALL;                                          \
  return m_nLastResult == 0 ? 0 : 2

int CDwgDatabase::getTextInfo(CString& text, AcGePoint3d& position, AcDbObjectId id) {
  TEXT_INFO_BY_ID(getTextInfo(text, position, ent.get()));
}

int CDwgDatabase::getTextInfo(CString& text, AcGePoint3d& position, AcGeVector3d& heightVect, AcGeVector3d& widthVect,
                              AcDbObjectId id) {
  TEXT_INFO_BY_ID(getTextInfo(text, position, heightVect, widthVect, ent.get()));
}

int CDwgDatabase::getTextInfo(CString& text, AcGePoint3d& position, double& rotation, AcDbObjectId id) {
  TEXT_INFO_BY_ID(getTextInfo(text, position, rotation, ent.get()));
}

int CDwgDatabase::getTextInfo(CString& text, AcGePoint3d& position, double& rotation, CString& layer, AcDbObjectId id) {
  TEXT_INFO_BY_ID(getTextInfo(text, position, rotation, layer, ent.get()));
}

int CDwgDatabase::getTextInfo(CString& text, AcGePoint3d& position, double& rotation, int& color, CString& layer,
                              AcDbObjectId id) {
  TEXT_INFO_BY_ID(getTextInfo(text, position, rotation, color, layer, ent.get()));
}

#undef TEXT_INFO_BY_ID

// ---- Finding and replacing -------------------------------------------------------------------

// The ids among `among` whose text matches what `id` sets. 1: the given entity not opened
// or not a text.
static int collectSameTexts(CDwgDatabase& toolkit, AcDbObjectIdArray& ids, AcDbObjectId id,
                            const AcDbObjectIdArray& among, int sameLayer, int sameColor, bool sameProps) {
  ids.setLogicalLength(0);
  TextMatch match;
  {
    OpenedObject<AcDbEntity> given;
    if (openEntity(given, id, AcDb::kForRead) != Acad::eOk) return 1;
    if (toolkit.getTextInfo(match.text, given.get()) != 0) return 1;
    match.layerId = given->layerId();
    match.color = given->colorIndex();
    match.pClass = given->isA();
    match.height = textHeightOf(given.get());
    match.rotation = rotationOf(given.get());
  }
  match.byLayer = sameLayer != 0;
  match.byColor = sameColor != 0;
  match.byProps = sameProps;
  for (int i = 0; i < among.length(); i++) {
    OpenedObject<AcDbEntity> ent;
    if (openEntity(ent, among[i], AcDb::kForRead) != Acad::eOk) continue;
    CString text;
    if (toolkit.getTextInfo(text, ent.get()) != 0) continue;
    if (match.matches(ent.get(), text)) ids.append(among[i]);
  }
  return 0;
}

int CDwgDatabase::getSameTextIdArray(AcDbObjectIdArray& ids, AcDbObjectId id, int sameLayer, int sameColor) {
  ids.setLogicalLength(0);
  AcDbObjectIdArray all;
  m_nLastResult = getEntIdArray(all);
  if (m_nLastResult != 0) return 2;
  return collectSameTexts(*this, ids, id, all, sameLayer, sameColor, false);
}

int CDwgDatabase::getSameTextPropIdArray(AcDbObjectIdArray& ids, AcDbObjectId id, AcDbObjectIdArray& among,
                                         int sameLayer, int sameColor) {
  return collectSameTexts(*this, ids, id, among, sameLayer, sameColor, true);
}

int CDwgDatabase::getSameTextPropIdArray(AcDbObjectIdArray& ids, AcDbObjectId id, int sameLayer, int sameColor) {
  ids.setLogicalLength(0);
  AcDbObjectIdArray all;
  m_nLastResult = getEntIdArray(all);
  if (m_nLastResult != 0) return 2;
  return getSameTextPropIdArray(ids, id, all, sameLayer, sameColor);
}

int CDwgDatabase::replaceText(AcDbObjectIdArray& ids, CStringArray& olds, CStringArray& news) {
  if (olds.GetSize() != news.GetSize()) return 1;
  for (int i = 0; i < ids.length(); i++) {
    OpenedObject<AcDbEntity> ent;
    m_esLast = openEntity(ent, ids[i], AcDb::kForRead);
    if (m_esLast != Acad::eOk) return 2;
    CString text;
    if (getTextInfo(text, ent.get()) != 0) continue;
    int k = 0;
    while (k < olds.GetSize() && !isSameName(text, olds[k])) k++;
    if (k == olds.GetSize()) continue;
    m_esLast = ent->upgradeOpen();
    if (m_esLast != Acad::eOk) return 2;
    if (AcDbMText* pMText = AcDbMText::cast(ent.get()))
      m_esLast = pMText->setContents(news[k]);
    else
      m_esLast = static_cast<AcDbText*>(ent.get())->setTextString(news[k]);
    if (m_esLast != Acad::eOk) return 3;
  }
  return 0;
}
