// The variable entity: its properties, their filing after the text's data, its transform,
// and its registration with the runtime while the library is loaded.
#include "AcDbVarCommon.h"

#include <acgi.h>
#include <dbfiler.h>
#include <gemat3d.h>
#include <gevec3d.h>

#include <cmath>
#include <vector>

ACRX_DXF_DEFINE_MEMBERS(AcDbVarCommon, AcDbText, AcDb::kDHL_CURRENT, AcDb::kMReleaseCurrent, 0,
                        VARCOMMON, Varlune)

namespace {

// Group codes of the variable's properties after the subclass marker.
enum VarGroup : int {
  kGroupCode = 300,
  kGroupType = 301,
  kGroupSetValue = 302,
  kGroupInitialValue = 303,
  kGroupRemarkLine = 304,  // one per line of the remark, after the line count
  kGroupCondition = 305,
  kGroupRemarkLines = 90,
  kGroupSort = 91,
  kGroupNameVisible = 92,
  kGroupValueColor = 93,
  kGroupValuePosition = 10,
  kGroupValueHeight = 40,
  kGroupValueAngle = 41,  // radians, as held (not the degrees of group 50)
};

const char kSubclassName[] = "AcDbVarCommon";

CString toCString(const std::string& s) { return CString(s.data(), static_cast<int>(s.size())); }
std::string toStd(const CString& s) { return std::string(s.GetString(), s.GetLength()); }

// The remark's lines (cut at line feeds; an empty remark is one empty line).
std::vector<std::string> remarkLines(const std::string& remark) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    std::size_t lf = remark.find('\n', start);
    lines.push_back(remark.substr(start, lf == std::string::npos ? std::string::npos : lf - start));
    if (lf == std::string::npos) return lines;
    start = lf + 1;
  }
}

}  // namespace

AcDbVarCommon::AcDbVarCommon() = default;
AcDbVarCommon::~AcDbVarCommon() = default;

// Each setter: refuse on a resident entity that is not open for write, else mark the entity
// modified and store.
#define VARLUNE_SET(member, value)                      \
  do {                                                  \
    if (!writable()) return Acad::eNotOpenForWrite;     \
    assertWriteEnabled();                               \
    member = value;                                     \
    return Acad::eOk;                                   \
  } while (0)

CString AcDbVarCommon::getVarType() const { return toCString(mData.type); }
Acad::ErrorStatus AcDbVarCommon::putVarType(const CString& type) { VARLUNE_SET(mData.type, toStd(type)); }
long AcDbVarCommon::getVarValueColor() const { return mData.valueColor; }
Acad::ErrorStatus AcDbVarCommon::putVarValueColor(long colorIndex) { VARLUNE_SET(mData.valueColor, colorIndex); }
double AcDbVarCommon::getVarAngle() const { return mData.valueAngle; }
Acad::ErrorStatus AcDbVarCommon::putVarAngle(double angle) { VARLUNE_SET(mData.valueAngle, angle); }
AcGePoint3d AcDbVarCommon::getValuePosition() const { return mData.valuePosition; }
Acad::ErrorStatus AcDbVarCommon::putValuePosition(const AcGePoint3d& position) { VARLUNE_SET(mData.valuePosition, position); }
double AcDbVarCommon::getVarValueHeight() const { return mData.valueHeight; }
Acad::ErrorStatus AcDbVarCommon::putVarValueHeight(double height) { VARLUNE_SET(mData.valueHeight, height); }
CString AcDbVarCommon::getVarSetValue() const { return toCString(mData.setValue); }
Acad::ErrorStatus AcDbVarCommon::putVarSetValue(const CString& value) { VARLUNE_SET(mData.setValue, toStd(value)); }
CString AcDbVarCommon::getVarInitialValue() const { return toCString(mData.initialValue); }
Acad::ErrorStatus AcDbVarCommon::putVarInitialValue(const CString& value) { VARLUNE_SET(mData.initialValue, toStd(value)); }
CString AcDbVarCommon::getVarRemark() const { return toCString(mData.remark); }
Acad::ErrorStatus AcDbVarCommon::putVarRemark(const CString& remark) { VARLUNE_SET(mData.remark, toStd(remark)); }
CString AcDbVarCommon::getCondiction() const { return toCString(mData.condition); }
Acad::ErrorStatus AcDbVarCommon::putCondiction(const CString& condition) { VARLUNE_SET(mData.condition, toStd(condition)); }
long AcDbVarCommon::getVarSort() const { return mData.sort; }
Acad::ErrorStatus AcDbVarCommon::putVarSort(long sort) { VARLUNE_SET(mData.sort, sort); }
long AcDbVarCommon::getVarNameVisible() const { return mData.nameVisible; }
Acad::ErrorStatus AcDbVarCommon::putNameVisible(long visible) { VARLUNE_SET(mData.nameVisible, visible); }
CString AcDbVarCommon::getVarCode() const { return toCString(mData.code); }
Acad::ErrorStatus AcDbVarCommon::putVarCode(const CString& code) { VARLUNE_SET(mData.code, toStd(code)); }

#undef VARLUNE_SET

Acad::ErrorStatus AcDbVarCommon::dxfOutFields(AcDbDxfFiler* filer) const {
  assertReadEnabled();
  Acad::ErrorStatus es = AcDbText::dxfOutFields(filer);
  if (es != Acad::eOk) return es;
  filer->writeString(100, kSubclassName);
  const Fields& d = mData;
  filer->writeString(kGroupCode, d.code.c_str());
  filer->writeString(kGroupType, d.type.c_str());
  filer->writeString(kGroupSetValue, d.setValue.c_str());
  filer->writeString(kGroupInitialValue, d.initialValue.c_str());
  filer->writeString(kGroupCondition, d.condition.c_str());
  // A drawing file's strings hold no line feeds: the remark goes line by line.
  std::vector<std::string> lines = remarkLines(d.remark);
  filer->writeInt32(kGroupRemarkLines, static_cast<Adesk::Int32>(lines.size()));
  for (const std::string& line : lines) filer->writeString(kGroupRemarkLine, line.c_str());
  filer->writeInt32(kGroupSort, static_cast<Adesk::Int32>(d.sort));
  filer->writeInt32(kGroupNameVisible, static_cast<Adesk::Int32>(d.nameVisible));
  filer->writeInt32(kGroupValueColor, static_cast<Adesk::Int32>(d.valueColor));
  filer->writePoint3d(kGroupValuePosition, d.valuePosition);
  filer->writeDouble(kGroupValueHeight, d.valueHeight);
  filer->writeDouble(kGroupValueAngle, d.valueAngle);
  return filer->filerStatus();
}

Acad::ErrorStatus AcDbVarCommon::dxfInFields(AcDbDxfFiler* filer) {
  assertWriteEnabled();
  Acad::ErrorStatus es = AcDbText::dxfInFields(filer);
  if (es != Acad::eOk) return es;
  if (!filer->atSubclassData(kSubclassName)) return Acad::eBadDxfSequence;
  // Read into a copy so that a failed read leaves the entity as it was.
  Fields fields = mData;
  std::string remark;
  bool firstRemarkLine = true;
  resbuf rb{};
  for (;;) {
    es = filer->readResBuf(&rb);
    if (es == Acad::eEndOfFile) break;
    if (es != Acad::eOk) return es;
    switch (rb.restype) {
      case kGroupCode: fields.code = rb.resval.rstring ? rb.resval.rstring : ""; break;
      case kGroupType: fields.type = rb.resval.rstring ? rb.resval.rstring : ""; break;
      case kGroupSetValue: fields.setValue = rb.resval.rstring ? rb.resval.rstring : ""; break;
      case kGroupInitialValue: fields.initialValue = rb.resval.rstring ? rb.resval.rstring : ""; break;
      case kGroupCondition: fields.condition = rb.resval.rstring ? rb.resval.rstring : ""; break;
      case kGroupRemarkLines: remark.clear(); firstRemarkLine = true; break;
      case kGroupRemarkLine:
        if (!firstRemarkLine) remark += '\n';
        remark += rb.resval.rstring ? rb.resval.rstring : "";
        firstRemarkLine = false;
        break;
      case kGroupSort: fields.sort = rb.resval.rlong; break;
      case kGroupNameVisible: fields.nameVisible = rb.resval.rlong; break;
      case kGroupValueColor: fields.valueColor = rb.resval.rlong; break;
      case kGroupValuePosition:
        fields.valuePosition.set(rb.resval.rpoint[0], rb.resval.rpoint[1], rb.resval.rpoint[2]);
        break;
      case kGroupValueHeight: fields.valueHeight = rb.resval.rreal; break;
      case kGroupValueAngle: fields.valueAngle = rb.resval.rreal; break;
      default:
        // Data of a class derived from this one (or of a later version): leave it to them.
        filer->pushBackItem();
        fields.remark = remark;
        mData = fields;
        return filer->filerStatus();
    }
  }
  fields.remark = remark;
  mData = fields;
  return Acad::eOk;
}

Acad::ErrorStatus AcDbVarCommon::transformBy(const AcGeMatrix3d& xform) {
  Acad::ErrorStatus es = AcDbText::transformBy(xform);
  if (es != Acad::eOk) return es;
  Fields& d = mData;
  AcGeVector3d dir(std::cos(d.valueAngle), std::sin(d.valueAngle), 0.0);
  dir.transformBy(xform);
  AcGeVector3d up(-std::sin(d.valueAngle), std::cos(d.valueAngle), 0.0);
  up.transformBy(xform);
  d.valuePosition.transformBy(xform);
  if (dir.length() > 0.0) d.valueAngle = std::atan2(dir.y, dir.x);
  d.valueHeight *= up.length();
  return Acad::eOk;
}

Adesk::Boolean AcDbVarCommon::worldDraw(AcGiWorldDraw* mode) {
  if (mData.nameVisible != 0) AcDbText::worldDraw(mode);
  const std::string& value = mData.setValue.empty() ? mData.initialValue : mData.setValue;
  if (value.empty()) return Adesk::kTrue;
  const double a = mData.valueAngle;
  // An index outside the table shows white, as a new entity's value does.
  const long color = mData.valueColor >= 1 && mData.valueColor <= 255 ? mData.valueColor : 7;
  mode->subEntityTraits().setColor(static_cast<Adesk::UInt16>(color));
  mode->geometry().text(mData.valuePosition, AcGeVector3d::kZAxis, AcGeVector3d(std::cos(a), std::sin(a), 0.0),
                        mData.valueHeight, 1.0, 0.0, value.c_str());
  return Adesk::kTrue;
}

// Registration while the library is loaded, as an object enabler does: the class is known
// to the runtime (and so to the drawing file reader) from the moment the library is in the
// process, and leaves with it.
namespace {

struct VarCommonRegistration {
  VarCommonRegistration() {
    AcDbVarCommon::rxInit();
    acrxBuildClassHierarchy();
  }
  ~VarCommonRegistration() {
    // By name: the class may already have been removed by someone else.
    AcRxObject* cls = acrxClassDictionary->at(ACRX_T("AcDbVarCommon"));
    if (cls != nullptr) deleteAcRxClass(AcRxClass::cast(cls));
  }
};

const VarCommonRegistration gRegistration;

}  // namespace
