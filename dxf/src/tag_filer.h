// Internal: AcDbDxfFiler over a list of raw tags, through which classes of other modules
// (the variable text entity) read and write their own data in a DXF file.
#pragma once
#include <contura/dxf/entities.h>

#include <dbfiler.h>
#include <dbmain.h>

#include <string>

namespace contura::dxf::detail {

class TagFiler : public AcDbDxfFiler {
 public:
  // Reading `tags` (drawing text, as RawTags hold it) or, with none, collecting writes.
  TagFiler(AcDbDatabase* db, DxfVersion version, RawTags tags = {});

  AcDb::FilerType filerType() const override { return AcDb::kFileFiler; }
  Acad::ErrorStatus filerStatus() const override { return m_status; }
  void resetFilerStatus() override { m_status = Acad::eOk; }
  AcDbDatabase* database() const override { return m_db; }
  Acad::ErrorStatus dwgVersion(AcDb::AcDbDwgVersion& ver,
                               AcDb::MaintenanceReleaseVersion& maintVer) const override;

  Acad::ErrorStatus readResBuf(resbuf* rb) override;
  void pushBackItem() override;
  bool atEOF() override { return m_next >= m_tags.size(); }
  bool atSubclassData(const ACHAR* subClassName) override;

  Acad::ErrorStatus writeResBuf(const resbuf& rb) override;
  Acad::ErrorStatus writeString(int code, const ACHAR* text) override;
  Acad::ErrorStatus writeObjectId(int code, const AcDbObjectId& id) override;
  Acad::ErrorStatus writeInt8(int code, Adesk::Int8 val) override;
  Acad::ErrorStatus writeInt16(int code, Adesk::Int16 val) override;
  Acad::ErrorStatus writeInt32(int code, Adesk::Int32 val) override;
  Acad::ErrorStatus writeInt64(int code, Adesk::Int64 val) override;
  Acad::ErrorStatus writeBool(int code, bool val) override;
  Acad::ErrorStatus writeDouble(int code, double val, int prec = AcDb::kDfltPrec) override;
  Acad::ErrorStatus writePoint2d(int code, const AcGePoint2d& pt, int prec = AcDb::kDfltPrec) override;
  Acad::ErrorStatus writePoint3d(int code, const AcGePoint3d& pt, int prec = AcDb::kDfltPrec) override;

  // What was written (or what is left to read).
  const RawTags& tags() const { return m_tags; }

 private:
  AcDbDatabase* m_db;
  DxfVersion m_version;
  RawTags m_tags;
  std::size_t m_next = 0;
  std::size_t m_lastStart = 0;
  std::string m_text;      // the string of the item last read
  std::string m_binary;    // the bytes of the binary item last read
  Acad::ErrorStatus m_status = Acad::eOk;
};

}  // namespace contura::dxf::detail
