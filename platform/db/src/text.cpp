// Single-line text, attribute definitions and attributes, and paragraph text (layout,
// formatting codes, explode into single-line texts).
#include "internal.h"

#include <contura/db/database_access.h>

#include <dbmtext.h>

#include <contura/ge/text_box.h>

#include <algorithm>
#include <cmath>

using contura::db::ObjectAccess;
using contura::db::kPi;
using contura::db::normalizeAngle;
using contura::ge::textBoxWidth;

namespace {

Acad::ErrorStatus setUnit(AcGeVector3d& slot, const AcGeVector3d& normal) {
  if (normal.isZeroLength()) return Acad::eInvalidInput;
  slot = normal.normal();
  return Acad::eOk;
}

// A point given in the text's own frame (x along the rotation, y across) from origin, in
// the OCS of normal, to world.
AcGePoint3d framePoint(const AcGePoint3d& origin, const AcGeVector3d& normal, double rotation, double x, double y) {
  const AcGeMatrix3d toWorld = contura::db::ocsToWorld(normal);
  const AcGeMatrix3d toOcs = contura::db::worldToOcs(normal);
  const AcGePoint3d o = toOcs * origin;
  const double c = std::cos(rotation), s = std::sin(rotation);
  return toWorld * AcGePoint3d(o.x + x * c - y * s, o.y + x * s + y * c, o.z);
}

// How a transform maps the text frame given by normal and rotation: new normal, rotation,
// the scale of the x and y directions, and whether it mirrors.
struct FrameMap {
  AcGeVector3d normal;
  double rotation = 0.0;
  double xScale = 1.0;
  double yScale = 1.0;
  bool mirrored = false;
};

bool mapFrame(const AcGeMatrix3d& xform, const AcGeVector3d& normal, double rotation, FrameMap& out) {
  const AcGeMatrix3d toWorld = contura::db::ocsToWorld(normal);
  AcGeVector3d x = toWorld * AcGeVector3d(std::cos(rotation), std::sin(rotation), 0.0);
  AcGeVector3d y = toWorld * AcGeVector3d(-std::sin(rotation), std::cos(rotation), 0.0);
  x.transformBy(xform);
  y.transformBy(xform);
  out.normal = contura::db::transformNormal(xform, normal);
  if (out.normal.isZeroLength() || x.isZeroLength() || y.isZeroLength()) return false;
  const AcGeVector3d local = contura::db::worldToOcs(out.normal) * x;
  out.rotation = normalizeAngle(std::atan2(local.y, local.x));
  out.xScale = x.length();
  out.yScale = y.length();
  out.mirrored = x.crossProduct(y).dotProduct(out.normal) < 0.0;
  return true;
}

}  // namespace

// ---- AcDbText ------------------------------------------------------------------------------
ACRX_DXF_DEFINE_MEMBERS(AcDbText, AcDbEntity, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, TEXT,
                        ObjectDBX Classes)

AcDbText::AcDbText() = default;
AcDbText::AcDbText(const AcGePoint3d& position, const ACHAR* text, AcDbObjectId style, double height,
                   double rotation)
    : mText(contura::db::safeString(text)), mPosition(position), mAlignment(position), mpStyle(style),
      mHeight(std::fabs(height)), mRotation(normalizeAngle(rotation)) {}
AcDbText::~AcDbText() = default;

const AcRxClass* AcDbText::copyTypedData(const AcDbObject& src) {
  *this = static_cast<const AcDbText&>(src);
  return AcDbText::desc();
}

void AcDbText::translateIds(const contura::db::IdTranslator& translator) {
  AcDbEntity::translateIds(translator);
  mpStyle = translator.translate(mpStyle);
}

#define TEXT_SET(MEMBER, VALUE)                                                                \
  do {                                                                                          \
    if (!writable()) return Acad::eNotOpenForWrite;                                             \
    MEMBER = (VALUE);                                                                           \
    return Acad::eOk;                                                                           \
  } while (0)

Acad::ErrorStatus AcDbText::setPosition(const AcGePoint3d& pos) { TEXT_SET(mPosition, pos); }
Acad::ErrorStatus AcDbText::setAlignmentPoint(const AcGePoint3d& pos) { TEXT_SET(mAlignment, pos); }
bool AcDbText::isDefaultAlignment() const { return mHorzMode == AcDb::kTextLeft && mVertMode == AcDb::kTextBase; }
Acad::ErrorStatus AcDbText::setNormal(const AcGeVector3d& normal) {
  if (!writable()) return Acad::eNotOpenForWrite;
  return setUnit(mNormal, normal);
}
Acad::ErrorStatus AcDbText::setThickness(double thickness) { TEXT_SET(mThickness, thickness); }
Acad::ErrorStatus AcDbText::setOblique(double angle) { TEXT_SET(mOblique, angle); }
Acad::ErrorStatus AcDbText::setRotation(double angle) { TEXT_SET(mRotation, normalizeAngle(angle)); }
Acad::ErrorStatus AcDbText::setHeight(double height) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (!(height >= 0.0)) return Acad::eInvalidInput;
  mHeight = height;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbText::setWidthFactor(double factor) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (!(factor > 0.0)) return Acad::eInvalidInput;
  mWidthFactor = factor;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbText::mirrorInX(bool mirror) {
  TEXT_SET(mGenFlags, mirror ? Adesk::UInt8(mGenFlags | 2) : Adesk::UInt8(mGenFlags & ~2));
}
Acad::ErrorStatus AcDbText::mirrorInY(bool mirror) {
  TEXT_SET(mGenFlags, mirror ? Adesk::UInt8(mGenFlags | 4) : Adesk::UInt8(mGenFlags & ~4));
}
ACHAR* AcDbText::textString() const { return contura::db::copyString(mText); }
Acad::ErrorStatus AcDbText::setTextString(const ACHAR* text) { TEXT_SET(mText, contura::db::safeString(text)); }
AcDbObjectId AcDbText::textStyle() const { return AcDbObjectId(mpStyle); }
Acad::ErrorStatus AcDbText::setTextStyle(AcDbObjectId styleId) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (!styleId.isNull() && !AcDbTextStyleTableRecord::cast(contura::db::peek(styleId))) return Acad::eWrongObjectType;
  mpStyle = styleId;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbText::setHorizontalMode(AcDb::TextHorzMode mode) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (mode < AcDb::kTextLeft || mode > AcDb::kTextFit) return Acad::eInvalidInput;
  mHorzMode = Adesk::UInt8(mode);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbText::setVerticalMode(AcDb::TextVertMode mode) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (mode < AcDb::kTextBase || mode > AcDb::kTextTop) return Acad::eInvalidInput;
  mVertMode = Adesk::UInt8(mode);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbText::adjustAlignment(const AcDbDatabase*) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (isDefaultAlignment()) return Acad::eOk;
  const double units = textBoxWidth(mText, 1.0, 1.0);
  if (mHorzMode == AcDb::kTextAlign || mHorzMode == AcDb::kTextFit) {
    // The text runs from the position to the alignment point.
    const AcGeMatrix3d toOcs = contura::db::worldToOcs(mNormal);
    const AcGePoint3d a = toOcs * mPosition, b = toOcs * mAlignment;
    const double dist = std::hypot(b.x - a.x, b.y - a.y);
    if (dist > 0.0 && units > 0.0) {
      mRotation = normalizeAngle(std::atan2(b.y - a.y, b.x - a.x));
      if (mHorzMode == AcDb::kTextAlign) mHeight = dist / (units * mWidthFactor);
      else if (mHeight > 0.0) mWidthFactor = dist / (units * mHeight);
    }
    return Acad::eOk;
  }
  const double w = units * mHeight * mWidthFactor;
  double dx = 0.0, dy = 0.0;
  switch (mHorzMode) {
    case AcDb::kTextCenter: dx = -0.5 * w; break;
    case AcDb::kTextRight: dx = -w; break;
    case AcDb::kTextMid: dx = -0.5 * w; dy = -0.5 * mHeight; break;
    default: break;
  }
  if (mHorzMode != AcDb::kTextMid) {
    if (mVertMode == AcDb::kTextVertMid) dy = -0.5 * mHeight;
    else if (mVertMode == AcDb::kTextTop) dy = -mHeight;
  }
  mPosition = framePoint(mAlignment, mNormal, mRotation, dx, dy);
  return Acad::eOk;
}

Acad::ErrorStatus AcDbText::subClose() {
  // The position is left as it is: with estimated font metrics, recomputing it on every
  // close would move texts read from drawing files. adjustAlignment does it on request.
  return Acad::eOk;
}

Acad::ErrorStatus AcDbText::transformBy(const AcGeMatrix3d& xform) {
  if (!writable()) return Acad::eNotOpenForWrite;
  FrameMap map;
  if (!mapFrame(xform, mNormal, mRotation, map)) return Acad::eInvalidInput;
  mPosition.transformBy(xform);
  mAlignment.transformBy(xform);
  mNormal = map.normal;
  mRotation = map.rotation;
  mHeight *= map.yScale;
  if (map.yScale > 0.0) mWidthFactor *= map.xScale / map.yScale;
  // A mirrored frame keeps the text's direction and turns it over across its baseline.
  if (map.mirrored) mGenFlags ^= 4;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbText::getGeomExtents(AcDbExtents& extents) const {
  const double w = textBoxWidth(mText, mHeight, mWidthFactor);
  const double h = mHeight;
  const double sx = isMirroredInX() ? -1.0 : 1.0, sy = isMirroredInY() ? -1.0 : 1.0;
  const double shear = std::tan(mOblique);
  AcDbExtents box;
  for (int k = 0; k < 4; ++k) {
    const double y = (k & 2) ? h : 0.0;
    const double x = ((k & 1) ? w : 0.0) + y * shear;
    box.addPoint(framePoint(mPosition, mNormal, mRotation, sx * x, sy * y));
  }
  extents = box;
  return Acad::eOk;
}

// ---- attributes ----------------------------------------------------------------------------
ACRX_DXF_DEFINE_MEMBERS(AcDbAttributeDefinition, AcDbText, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0,
                        ATTDEF, ObjectDBX Classes)

AcDbAttributeDefinition::AcDbAttributeDefinition() = default;
AcDbAttributeDefinition::AcDbAttributeDefinition(const AcGePoint3d& position, const ACHAR* text, const ACHAR* tag,
                                                 const ACHAR* prompt, AcDbObjectId style)
    : AcDbText(position, text, style), mTag(contura::db::safeString(tag)), mPrompt(contura::db::safeString(prompt)) {}
AcDbAttributeDefinition::~AcDbAttributeDefinition() = default;

const AcRxClass* AcDbAttributeDefinition::copyTypedData(const AcDbObject& src) {
  *this = static_cast<const AcDbAttributeDefinition&>(src);
  return AcDbAttributeDefinition::desc();
}

ACHAR* AcDbAttributeDefinition::prompt() const { return contura::db::copyString(mPrompt); }
Acad::ErrorStatus AcDbAttributeDefinition::setPrompt(const ACHAR* prompt) { TEXT_SET(mPrompt, contura::db::safeString(prompt)); }
ACHAR* AcDbAttributeDefinition::tag() const { return contura::db::copyString(mTag); }
Acad::ErrorStatus AcDbAttributeDefinition::setTag(const ACHAR* tag) {
  if (tag == nullptr || tag[0] == '\0') return Acad::eInvalidInput;
  TEXT_SET(mTag, std::string(tag));
}
Acad::ErrorStatus AcDbAttributeDefinition::setInvisible(bool v) { TEXT_SET(mFlags, v ? Adesk::UInt8(mFlags | 1) : Adesk::UInt8(mFlags & ~1)); }
Acad::ErrorStatus AcDbAttributeDefinition::setConstant(bool v) { TEXT_SET(mFlags, v ? Adesk::UInt8(mFlags | 2) : Adesk::UInt8(mFlags & ~2)); }
Acad::ErrorStatus AcDbAttributeDefinition::setVerifiable(bool v) { TEXT_SET(mFlags, v ? Adesk::UInt8(mFlags | 4) : Adesk::UInt8(mFlags & ~4)); }
Acad::ErrorStatus AcDbAttributeDefinition::setPreset(bool v) { TEXT_SET(mFlags, v ? Adesk::UInt8(mFlags | 8) : Adesk::UInt8(mFlags & ~8)); }
Acad::ErrorStatus AcDbAttributeDefinition::setFieldLength(Adesk::UInt16 length) { TEXT_SET(mFieldLength, length); }

ACRX_DXF_DEFINE_MEMBERS(AcDbAttribute, AcDbText, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, ATTRIB,
                        ObjectDBX Classes)

AcDbAttribute::AcDbAttribute() = default;
AcDbAttribute::AcDbAttribute(const AcGePoint3d& position, const ACHAR* text, const ACHAR* tag, AcDbObjectId style)
    : AcDbText(position, text, style), mTag(contura::db::safeString(tag)) {}
AcDbAttribute::~AcDbAttribute() = default;

const AcRxClass* AcDbAttribute::copyTypedData(const AcDbObject& src) {
  *this = static_cast<const AcDbAttribute&>(src);
  return AcDbAttribute::desc();
}

ACHAR* AcDbAttribute::tag() const { return contura::db::copyString(mTag); }
Acad::ErrorStatus AcDbAttribute::setTag(const ACHAR* tag) {
  if (tag == nullptr || tag[0] == '\0') return Acad::eInvalidInput;
  TEXT_SET(mTag, std::string(tag));
}
Acad::ErrorStatus AcDbAttribute::setInvisible(bool v) { TEXT_SET(mFlags, v ? Adesk::UInt8(mFlags | 1) : Adesk::UInt8(mFlags & ~1)); }
Acad::ErrorStatus AcDbAttribute::setFieldLength(Adesk::UInt16 length) { TEXT_SET(mFieldLength, length); }

Acad::ErrorStatus AcDbAttribute::setAttributeFromBlock(const AcDbAttributeDefinition* pAttdef,
                                                       const AcGeMatrix3d& blkXform) {
  if (pAttdef == nullptr) return Acad::eNullObjectPointer;
  if (!writable()) return Acad::eNotOpenForWrite;
  // The definition's text part (position, height, style, justification, properties and the
  // default value), then the attribute's own data, placed by the block transform.
  AcDbText::operator=(*pAttdef);
  mTag = pAttdef->tagConst();
  mFlags = Adesk::UInt8((pAttdef->isInvisible() ? 1 : 0) | (pAttdef->isConstant() ? 2 : 0) |
                        (pAttdef->isVerifiable() ? 4 : 0) | (pAttdef->isPreset() ? 8 : 0));
  mFieldLength = pAttdef->fieldLength();
  return transformBy(blkXform);
}

Acad::ErrorStatus AcDbAttribute::setAttributeFromBlock(const AcGeMatrix3d& blkXform) { return transformBy(blkXform); }

Adesk::UInt8& contura::db::ObjectAccess::attributeFlags(AcDbAttribute& a) { return a.mFlags; }

void contura::db::setAttributeFlags(AcDbAttribute& attribute, int flags) {
  ObjectAccess::attributeFlags(attribute) = Adesk::UInt8(flags & 0x0F);
}

// ---- AcDbMText ----------------------------------------------------------------------------
ACRX_DXF_DEFINE_MEMBERS(AcDbMText, AcDbEntity, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0, MTEXT,
                        ObjectDBX Classes)

namespace {
// Bounds of the paragraph text's line spacing factor.
constexpr double kMinSpacingFactor = 0.25;
constexpr double kMaxSpacingFactor = 4.0;
}  // namespace

AcDbMText::AcDbMText() = default;
AcDbMText::~AcDbMText() = default;

const AcRxClass* AcDbMText::copyTypedData(const AcDbObject& src) {
  *this = static_cast<const AcDbMText&>(src);
  return AcDbMText::desc();
}

void AcDbMText::translateIds(const contura::db::IdTranslator& translator) {
  AcDbEntity::translateIds(translator);
  mpStyle = translator.translate(mpStyle);
}

Acad::ErrorStatus AcDbMText::setLocation(const AcGePoint3d& point) { TEXT_SET(mLocation, point); }
Acad::ErrorStatus AcDbMText::setNormal(const AcGeVector3d& normal) {
  if (!writable()) return Acad::eNotOpenForWrite;
  return setUnit(mNormal, normal);
}
AcGeVector3d AcDbMText::direction() const {
  return contura::db::ocsToWorld(mNormal) * AcGeVector3d(std::cos(mRotation), std::sin(mRotation), 0.0);
}
Acad::ErrorStatus AcDbMText::setDirection(const AcGeVector3d& direction) {
  if (!writable()) return Acad::eNotOpenForWrite;
  const AcGeVector3d local = contura::db::worldToOcs(mNormal) * direction;
  if (std::hypot(local.x, local.y) <= contura::db::kZeroLength) return Acad::eInvalidInput;
  mRotation = normalizeAngle(std::atan2(local.y, local.x));
  return Acad::eOk;
}
Acad::ErrorStatus AcDbMText::setRotation(double angle) { TEXT_SET(mRotation, normalizeAngle(angle)); }
Acad::ErrorStatus AcDbMText::setWidth(double width) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (!(width >= 0.0)) return Acad::eInvalidInput;
  mWidth = width;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbMText::setHeight(double height) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (!(height >= 0.0)) return Acad::eInvalidInput;
  mBoxHeight = height;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbMText::setTextHeight(double height) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (!(height > 0.0)) return Acad::eInvalidInput;
  mTextHeight = height;
  return Acad::eOk;
}
Acad::ErrorStatus AcDbMText::setAttachment(AttachmentPoint attachment) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (attachment < kTopLeft || attachment > kBottomRight) return Acad::eInvalidInput;
  mAttachment = Adesk::UInt8(attachment);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbMText::setFlowDirection(FlowDirection flow) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (flow < kLtoR || flow > kByStyle) return Acad::eInvalidInput;
  mFlow = Adesk::UInt8(flow);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbMText::setLineSpacingStyle(LineSpacingStyle style) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (style != kAtLeast && style != kExactly) return Acad::eInvalidInput;
  mSpacingStyle = Adesk::UInt8(style);
  return Acad::eOk;
}
Acad::ErrorStatus AcDbMText::setLineSpacingFactor(double factor) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (!(factor >= kMinSpacingFactor && factor <= kMaxSpacingFactor)) return Acad::eInvalidInput;
  mSpacingFactor = factor;
  return Acad::eOk;
}
AcDbObjectId AcDbMText::textStyle() const { return AcDbObjectId(mpStyle); }
Acad::ErrorStatus AcDbMText::setTextStyle(AcDbObjectId styleId) {
  if (!writable()) return Acad::eNotOpenForWrite;
  if (!styleId.isNull() && !AcDbTextStyleTableRecord::cast(contura::db::peek(styleId))) return Acad::eWrongObjectType;
  mpStyle = styleId;
  return Acad::eOk;
}
ACHAR* AcDbMText::contents() const { return contura::db::copyString(mContents); }
Acad::ErrorStatus AcDbMText::setContents(const ACHAR* text) { TEXT_SET(mContents, contura::db::safeString(text)); }

std::vector<std::string> AcDbMText::plainLines() const { return plainLinesOf(mContents); }

std::vector<std::string> AcDbMText::plainLinesOf(const std::string& s) {
  std::vector<std::string> lines(1);
  const size_t n = s.size();
  // Skips a code's argument up to and including its ';' (double-byte characters whole).
  auto skipToSemicolon = [&](size_t i, std::string* keep) {
    while (i < n && s[i] != ';') {
      if (contura::db::isLeadByte(static_cast<unsigned char>(s[i])) && i + 1 < n) {
        if (keep) keep->append(s, i, 2);
        i += 2;
        continue;
      }
      if (keep) keep->push_back(s[i]);
      ++i;
    }
    return i < n ? i + 1 : n;
  };
  for (size_t i = 0; i < n;) {
    const unsigned char c = static_cast<unsigned char>(s[i]);
    if (contura::db::isLeadByte(c) && i + 1 < n) {
      lines.back().append(s, i, 2);
      i += 2;
      continue;
    }
    if (c == '{' || c == '}' || c == '\r') {
      ++i;
      continue;
    }
    if (c == '\n') {
      lines.emplace_back();
      ++i;
      continue;
    }
    if (c != '\\' || i + 1 >= n) {
      lines.back().push_back(char(c));
      ++i;
      continue;
    }
    const char code = s[i + 1];
    i += 2;
    switch (code) {
      case 'P': case 'X': case 'N':
        lines.emplace_back();
        break;
      case '~':
        lines.back().push_back(' ');
        break;
      case 'L': case 'l': case 'O': case 'o': case 'K': case 'k':
        break;
      case 'f': case 'F': case 'H': case 'W': case 'Q': case 'T': case 'A': case 'C': case 'c': case 'p':
        i = skipToSemicolon(i, nullptr);
        break;
      case 'S': {
        std::string stacked;
        i = skipToSemicolon(i, &stacked);
        for (char& ch : stacked)
          if (ch == '#' || ch == '^') ch = '/';
        lines.back() += stacked;
        break;
      }
      case 'U':
        lines.back() += "\\U";
        break;
      default:
        // \\, \{, \} and any other escaped character stand for themselves.
        if (contura::db::isLeadByte(static_cast<unsigned char>(code)) && i < n) {
          lines.back().push_back(code);
          lines.back().push_back(s[i++]);
        } else {
          lines.back().push_back(code);
        }
        break;
    }
  }
  return lines;
}

double AcDbMText::lineSpacing() const { return mTextHeight * contura::ge::kMTextLineSpacing * mSpacingFactor; }

double AcDbMText::actualWidth() const {
  double w = 0.0;
  for (const std::string& line : plainLines()) w = std::max(w, textBoxWidth(line, mTextHeight, 1.0));
  return w;
}

double AcDbMText::actualHeight() const {
  const std::vector<std::string> lines = plainLines();
  if (std::all_of(lines.begin(), lines.end(), [](const std::string& l) { return l.empty(); })) return 0.0;
  return double(lines.size() - 1) * lineSpacing() + mTextHeight;
}

void AcDbMText::topLeftOffset(double width, double height, double& dx, double& dy) const {
  const int column = (mAttachment - 1) % 3;  // left, centre, right
  const int row = (mAttachment - 1) / 3;     // top, middle, bottom
  dx = -width * 0.5 * column;
  dy = height * 0.5 * row;
}

Acad::ErrorStatus AcDbMText::explode(AcDbVoidPtrArray& entitySet) const {
  const std::vector<std::string> lines = plainLines();
  const double w = actualWidth(), h = actualHeight();
  double dx = 0.0, dy = 0.0;
  topLeftOffset(w, h, dx, dy);
  const int column = (mAttachment - 1) % 3;
  for (size_t k = 0; k < lines.size(); ++k) {
    if (lines[k].empty()) continue;
    const double lw = textBoxWidth(lines[k], mTextHeight, 1.0);
    // Each line sits inside the text's box the way the attachment aligns it.
    const double x = dx + (w - lw) * 0.5 * column;
    const double y = dy - mTextHeight - double(k) * lineSpacing();
    auto* piece = new AcDbText(framePoint(mLocation, mNormal, mRotation, x, y), lines[k].c_str(),
                               AcDbObjectId(mpStyle), mTextHeight, mRotation);
    piece->setNormal(mNormal);
    piece->setPropertiesFrom(this);
    entitySet.append(piece);
  }
  return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::transformBy(const AcGeMatrix3d& xform) {
  if (!writable()) return Acad::eNotOpenForWrite;
  FrameMap map;
  if (!mapFrame(xform, mNormal, mRotation, map)) return Acad::eInvalidInput;
  mLocation.transformBy(xform);
  mNormal = map.normal;
  mRotation = map.rotation;
  mTextHeight *= map.yScale;
  mBoxHeight *= map.yScale;
  mWidth *= map.xScale;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::getGeomExtents(AcDbExtents& extents) const {
  const double w = actualWidth(), h = actualHeight();
  double dx = 0.0, dy = 0.0;
  topLeftOffset(w, h, dx, dy);
  AcDbExtents box;
  for (int k = 0; k < 4; ++k)
    box.addPoint(framePoint(mLocation, mNormal, mRotation, dx + ((k & 1) ? w : 0.0), dy - ((k & 2) ? h : 0.0)));
  extents = box;
  return Acad::eOk;
}
