// AcDbDxfFiler's shared members and the in-memory filer that copies data of other modules'
// classes.
#include "filing.h"

#include <cstring>

AcDbDxfFiler::AcDbDxfFiler() = default;
AcDbDxfFiler::~AcDbDxfFiler() = default;

Acad::ErrorStatus AcDbDxfFiler::setError(Acad::ErrorStatus es, const ACHAR*, ...) { return es; }
Acad::ErrorStatus AcDbDxfFiler::dwgVersion(AcDb::AcDbDwgVersion& ver,
                                           AcDb::MaintenanceReleaseVersion& maintVer) const {
  ver = AcDb::kDHL_CURRENT;
  maintVer = AcDb::kMReleaseCurrent;
  return Acad::eOk;
}
int AcDbDxfFiler::precision() const { return AcDb::kDfltPrec; }
void AcDbDxfFiler::setPrecision(int) {}
bool AcDbDxfFiler::atEmbeddedObjectStart() { return false; }
Acad::ErrorStatus AcDbDxfFiler::writeInt64(int code, Adesk::Int64 val) { return writeInt32(code, Adesk::Int32(val)); }
Acad::ErrorStatus AcDbDxfFiler::writeUInt8(int code, Adesk::UInt8 val) { return writeInt8(code, Adesk::Int8(val)); }
Acad::ErrorStatus AcDbDxfFiler::writeUInt16(int code, Adesk::UInt16 val) { return writeInt16(code, Adesk::Int16(val)); }
Acad::ErrorStatus AcDbDxfFiler::writeUInt32(int code, Adesk::UInt32 val) { return writeInt32(code, Adesk::Int32(val)); }
Acad::ErrorStatus AcDbDxfFiler::writeVector2d(int code, const AcGeVector2d& vec, int prec) {
  return writePoint2d(code, AcGePoint2d(vec.x, vec.y), prec);
}
Acad::ErrorStatus AcDbDxfFiler::writeVector3d(int code, const AcGeVector3d& vec, int prec) {
  return writePoint3d(code, AcGePoint3d(vec.x, vec.y, vec.z), prec);
}
Acad::ErrorStatus AcDbDxfFiler::writeScale3d(int code, const AcGeScale3d& scale, int prec) {
  return writePoint3d(code, AcGePoint3d(scale.sx, scale.sy, scale.sz), prec);
}
Acad::ErrorStatus AcDbDxfFiler::writeAngle(int code, double angle, int prec) {
  return writeDouble(code, angle, prec);
}
Acad::ErrorStatus AcDbDxfFiler::writeEmbeddedObjectStart() { return writeString(100, "AcDbEmbeddedObjectStart"); }

namespace contura::db {

Acad::ErrorStatus MemoryFiler::add(FiledItem item) {
  if (mStatus != Acad::eOk) return mStatus;
  mItems.push_back(std::move(item));
  return Acad::eOk;
}

Acad::ErrorStatus MemoryFiler::readResBuf(resbuf* pRb) {
  if (pRb == nullptr) return Acad::eNullPtr;
  if (mRead >= mItems.size()) return Acad::eEndOfFile;
  fillResbuf(mItems[mRead++], pRb);
  return Acad::eOk;
}

void MemoryFiler::pushBackItem() {
  if (mRead > 0) --mRead;
}

bool MemoryFiler::atSubclassData(const ACHAR* subClassName) {
  if (mRead >= mItems.size() || subClassName == nullptr) return false;
  const FiledItem& item = mItems[mRead];
  if (item.code != 100 || item.text != subClassName) return false;
  ++mRead;
  return true;
}

Acad::ErrorStatus MemoryFiler::writeResBuf(const resbuf& rb) { return add(itemFromResbuf(rb)); }

Acad::ErrorStatus MemoryFiler::writeString(int code, const ACHAR* pString) {
  FiledItem item;
  item.code = short(code);
  item.kind = AdsValueKind::kString;
  item.text = safeString(pString);
  return add(std::move(item));
}

Acad::ErrorStatus MemoryFiler::writeObjectId(int code, const AcDbObjectId& id) {
  FiledItem item;
  item.code = short(code);
  item.kind = AdsValueKind::kName;
  item.integer = Adesk::Int64(reinterpret_cast<Adesk::LongPtr>(static_cast<AcDbStub*>(id)));
  return add(std::move(item));
}

namespace {
FiledItem integerItem(int code, AdsValueKind kind, Adesk::Int64 value) {
  FiledItem item;
  item.code = short(code);
  item.kind = kind;
  item.integer = value;
  return item;
}
}  // namespace

Acad::ErrorStatus MemoryFiler::writeInt8(int code, Adesk::Int8 val) { return add(integerItem(code, AdsValueKind::kShort, val)); }
Acad::ErrorStatus MemoryFiler::writeInt16(int code, Adesk::Int16 val) { return add(integerItem(code, AdsValueKind::kShort, val)); }
Acad::ErrorStatus MemoryFiler::writeInt32(int code, Adesk::Int32 val) { return add(integerItem(code, AdsValueKind::kLong, val)); }
Acad::ErrorStatus MemoryFiler::writeInt64(int code, Adesk::Int64 val) { return add(integerItem(code, AdsValueKind::kInt64, val)); }
Acad::ErrorStatus MemoryFiler::writeBool(int code, bool val) { return add(integerItem(code, AdsValueKind::kShort, val ? 1 : 0)); }

Acad::ErrorStatus MemoryFiler::writeDouble(int code, double val, int) {
  FiledItem item;
  item.code = short(code);
  item.kind = AdsValueKind::kReal;
  item.values[0] = val;
  return add(std::move(item));
}

Acad::ErrorStatus MemoryFiler::writePoint2d(int code, const AcGePoint2d& pt, int) {
  return writePoint3d(code, AcGePoint3d(pt.x, pt.y, 0.0));
}

Acad::ErrorStatus MemoryFiler::writePoint3d(int code, const AcGePoint3d& pt, int) {
  FiledItem item;
  item.code = short(code);
  item.kind = AdsValueKind::kPoint;
  item.values[0] = pt.x;
  item.values[1] = pt.y;
  item.values[2] = pt.z;
  return add(std::move(item));
}

void fillResbuf(const FiledItem& item, resbuf* rb) {
  rb->restype = item.code;
  rb->rbnext = nullptr;
  std::memset(&rb->resval, 0, sizeof rb->resval);
  switch (item.kind) {
    case AdsValueKind::kString:
      rb->resval.rstring = const_cast<ACHAR*>(item.text.c_str());
      break;
    case AdsValueKind::kBinary:
      rb->resval.rbinary.clen = short(item.text.size());
      rb->resval.rbinary.buf = const_cast<char*>(item.text.data());
      break;
    case AdsValueKind::kPoint:
      for (int i = 0; i < 3; ++i) rb->resval.rpoint[i] = item.values[i];
      break;
    case AdsValueKind::kReal:
      rb->resval.rreal = item.values[0];
      break;
    case AdsValueKind::kShort:
      rb->resval.rint = short(item.integer);
      break;
    case AdsValueKind::kLong:
      rb->resval.rlong = Adesk::Int32(item.integer);
      break;
    case AdsValueKind::kInt64:
      rb->resval.mnInt64 = item.integer;
      break;
    case AdsValueKind::kName:
      rb->resval.rlname[0] = Adesk::LongPtr(item.integer);
      rb->resval.rlname[1] = 0;
      break;
    case AdsValueKind::kNone:
      break;
  }
}

FiledItem itemFromResbuf(const resbuf& rb) {
  FiledItem item;
  item.code = rb.restype;
  item.kind = acutResbufValueKind(rb.restype);
  switch (item.kind) {
    case AdsValueKind::kString:
      item.text = safeString(rb.resval.rstring);
      break;
    case AdsValueKind::kBinary:
      if (rb.resval.rbinary.buf && rb.resval.rbinary.clen > 0)
        item.text.assign(rb.resval.rbinary.buf, size_t(rb.resval.rbinary.clen));
      break;
    case AdsValueKind::kPoint:
      for (int i = 0; i < 3; ++i) item.values[i] = rb.resval.rpoint[i];
      break;
    case AdsValueKind::kReal:
      item.values[0] = rb.resval.rreal;
      break;
    case AdsValueKind::kShort:
      item.integer = rb.resval.rint;
      break;
    case AdsValueKind::kLong:
      item.integer = rb.resval.rlong;
      break;
    case AdsValueKind::kInt64:
      item.integer = rb.resval.mnInt64;
      break;
    case AdsValueKind::kName:
      item.integer = rb.resval.rlname[0];
      break;
    case AdsValueKind::kNone:
      break;
  }
  return item;
}

Acad::ErrorStatus copyFiledData(const AcDbObject& src, AcDbObject& dst) {
  MemoryFiler filer(src.database() ? src.database() : dst.database());
  Acad::ErrorStatus es = src.dxfOutFields(&filer);
  if (es != Acad::eOk) return es;
  filer.rewind();
  return dst.dxfInFields(&filer);
}

}  // namespace contura::db
