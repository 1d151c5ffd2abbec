// AcDbDxfFiler over raw tags: reads items as resbufs (points from their three tags, ids
// from handles) and writes items as tags in the file's number forms.
#include "tag_filer.h"

#include <cstring>

namespace contura::dxf::detail {

TagFiler::TagFiler(AcDbDatabase* db, DxfVersion version, RawTags tags)
    : m_db(db), m_version(version), m_tags(std::move(tags)) {}

Acad::ErrorStatus TagFiler::dwgVersion(AcDb::AcDbDwgVersion& ver,
                                       AcDb::MaintenanceReleaseVersion& maintVer) const {
  switch (m_version) {
    case DxfVersion::R12: ver = AcDb::kDHL_MC0_0; break;
    case DxfVersion::R13: ver = AcDb::kDHL_1012; break;
    case DxfVersion::R14: ver = AcDb::kDHL_1014; break;
    case DxfVersion::R2000: ver = AcDb::kDHL_1015; break;
    case DxfVersion::R2004: ver = AcDb::kDHL_1018; break;
    case DxfVersion::R2007: ver = AcDb::kDHL_1021; break;
    case DxfVersion::R2010: ver = AcDb::kDHL_1024; break;
    case DxfVersion::R2013: ver = AcDb::kDHL_1027; break;
    case DxfVersion::R2018: ver = AcDb::kDHL_1032; break;
  }
  maintVer = AcDb::kMReleaseCurrent;
  return Acad::eOk;
}

namespace {
bool isPointCode(int code) {
  return (code >= 10 && code <= 18) || (code >= 110 && code <= 112) || code == 210 ||
         (code >= 1010 && code <= 1013);
}
}  // namespace

Acad::ErrorStatus TagFiler::readResBuf(resbuf* rb) {
  if (!rb) return Acad::eNullPtr;
  if (atEOF()) return Acad::eEndOfFile;
  m_lastStart = m_next;
  const RawTag& t = m_tags[m_next++];
  rb->restype = t.code;
  rb->rbnext = nullptr;
  switch (acutResbufValueKind(t.code)) {
    case AdsValueKind::kString:
      m_text = t.value;
      rb->resval.rstring = m_text.data();
      break;
    case AdsValueKind::kPoint: {
      double p[3] = {0, 0, 0};
      parseReal(t.value, p[0]);
      // The y and z of a point are the tags coded 10 and 20 above its x.
      for (int axis = 1; axis < 3 && !atEOF(); ++axis) {
        if (m_tags[m_next].code != t.code + 10 * axis) break;
        parseReal(m_tags[m_next++].value, p[axis]);
      }
      std::memcpy(rb->resval.rpoint, p, sizeof p);
      break;
    }
    case AdsValueKind::kReal:
      rb->resval.rreal = 0;
      parseReal(t.value, rb->resval.rreal);
      break;
    case AdsValueKind::kShort:
    case AdsValueKind::kLong:
    case AdsValueKind::kInt64: {
      std::int64_t v = 0;
      parseInteger(t.value, v);
      if (acutResbufValueKind(t.code) == AdsValueKind::kShort) rb->resval.rint = short(v);
      else if (acutResbufValueKind(t.code) == AdsValueKind::kLong) rb->resval.rlong = Adesk::Int32(v);
      else rb->resval.mnInt64 = v;
      break;
    }
    case AdsValueKind::kName: {
      std::uint64_t h = 0;
      parseHandle(t.value, h);
      AcDbObjectId id;
      if (h && m_db) m_db->getAcDbObjectId(id, true, AcDbHandle(h));
      rb->resval.rlname[0] = rb->resval.rlname[1] = 0;
      if (!id.isNull()) acdbGetAdsName(rb->resval.rlname, id);
      break;
    }
    case AdsValueKind::kBinary: {
      m_binary.clear();
      for (std::size_t i = 0; i + 1 < t.value.size(); i += 2) {
        std::uint64_t byte = 0;
        if (parseHandle(t.value.substr(i, 2), byte)) m_binary += char(byte);
      }
      rb->resval.rbinary.clen = short(m_binary.size());
      rb->resval.rbinary.buf = m_binary.data();
      break;
    }
    case AdsValueKind::kNone:
      break;
  }
  return Acad::eOk;
}

void TagFiler::pushBackItem() { m_next = m_lastStart; }

bool TagFiler::atSubclassData(const ACHAR* subClassName) {
  if (atEOF() || m_tags[m_next].code != 100 || !subClassName || m_tags[m_next].value != subClassName) {
    return false;
  }
  ++m_next;
  return true;
}

Acad::ErrorStatus TagFiler::writeResBuf(const resbuf& rb) {
  switch (acutResbufValueKind(rb.restype)) {
    case AdsValueKind::kString: return writeString(rb.restype, rb.resval.rstring);
    case AdsValueKind::kPoint:
      if (isPointCode(rb.restype)) {
        return writePoint3d(rb.restype, AcGePoint3d(rb.resval.rpoint[0], rb.resval.rpoint[1], rb.resval.rpoint[2]));
      }
      return writeDouble(rb.restype, rb.resval.rpoint[0]);
    case AdsValueKind::kReal: return writeDouble(rb.restype, rb.resval.rreal);
    case AdsValueKind::kShort: return writeInt16(rb.restype, rb.resval.rint);
    case AdsValueKind::kLong: return writeInt32(rb.restype, rb.resval.rlong);
    case AdsValueKind::kInt64: return writeInt64(rb.restype, rb.resval.mnInt64);
    case AdsValueKind::kName: {
      AcDbObjectId id;
      acdbGetObjectId(id, rb.resval.rlname);
      return writeObjectId(rb.restype, id);
    }
    case AdsValueKind::kBinary: {
      static const char kHex[] = "0123456789ABCDEF";
      std::string hex;
      for (short i = 0; i < rb.resval.rbinary.clen; ++i) {
        unsigned char c = static_cast<unsigned char>(rb.resval.rbinary.buf[i]);
        hex += kHex[c >> 4];
        hex += kHex[c & 15];
      }
      m_tags.push_back({std::int16_t(rb.restype), hex});
      return m_status;
    }
    case AdsValueKind::kNone:
      m_tags.push_back({std::int16_t(rb.restype), ""});
      return m_status;
  }
  return m_status;
}

Acad::ErrorStatus TagFiler::writeString(int code, const ACHAR* text) {
  m_tags.push_back({std::int16_t(code), text ? text : ""});
  return m_status;
}

Acad::ErrorStatus TagFiler::writeObjectId(int code, const AcDbObjectId& id) {
  m_tags.push_back({std::int16_t(code), formatHandle(id.isNull() ? 0 : id.handle().value())});
  return m_status;
}

Acad::ErrorStatus TagFiler::writeInt8(int code, Adesk::Int8 val) { return writeInt64(code, val); }
Acad::ErrorStatus TagFiler::writeInt16(int code, Adesk::Int16 val) { return writeInt64(code, val); }
Acad::ErrorStatus TagFiler::writeInt32(int code, Adesk::Int32 val) { return writeInt64(code, val); }

Acad::ErrorStatus TagFiler::writeInt64(int code, Adesk::Int64 val) {
  m_tags.push_back({std::int16_t(code), std::to_string(val)});
  return m_status;
}

Acad::ErrorStatus TagFiler::writeBool(int code, bool val) { return writeInt64(code, val ? 1 : 0); }

Acad::ErrorStatus TagFiler::writeDouble(int code, double val, int) {
  m_tags.push_back({std::int16_t(code), formatReal(val)});
  return m_status;
}

Acad::ErrorStatus TagFiler::writePoint2d(int code, const AcGePoint2d& pt, int) {
  writeDouble(code, pt.x);
  return writeDouble(code + 10, pt.y);
}

Acad::ErrorStatus TagFiler::writePoint3d(int code, const AcGePoint3d& pt, int) {
  writeDouble(code, pt.x);
  writeDouble(code + 10, pt.y);
  return writeDouble(code + 20, pt.z);
}

}  // namespace contura::dxf::detail
