// AcDbDxfFiler: the group-code stream through which a class files its own data
// (AcDbObject::dxfOutFields / dxfInFields). The drawing file layer implements it over its
// tag reader and writer; the database implements it in memory to copy objects.
#pragma once
#include <acadstrc.h>
#include <acdb.h>
#include <adsdef.h>
#include <dbid.h>
#include <gepnt2d.h>
#include <gepnt3d.h>
#include <gescl3d.h>
#include <gevec2d.h>
#include <gevec3d.h>

class AcDbDatabase;

// Reading: readResBuf / readItem fill the caller's resbuf with the next item; a string
// (rstring) or binary block points into the filer and stays valid until the next read (copy
// it). At the end of the object's data they return eEndOfFile. pushBackItem makes the item
// just read the next one again. atSubclassData(name) is true (and consumes the marker) when
// the next item is the subclass marker (code 100) with that name.
// Writing: every write appends one item; the status is the filer's status (eOk unless the
// filer failed).
class AcDbDxfFiler {
public:
  virtual ~AcDbDxfFiler();

  virtual AcDb::FilerType filerType() const = 0;
  virtual Acad::ErrorStatus filerStatus() const = 0;
  virtual void resetFilerStatus() = 0;
  virtual Acad::ErrorStatus setError(Acad::ErrorStatus es, const ACHAR* errMsg = nullptr, ...);
  virtual AcDbDatabase* database() const = 0;
  virtual Acad::ErrorStatus dwgVersion(AcDb::AcDbDwgVersion& ver,
                                       AcDb::MaintenanceReleaseVersion& maintVer) const;
  virtual int precision() const;
  virtual void setPrecision(int prec);

  // Reading.
  virtual Acad::ErrorStatus readResBuf(resbuf* pRb) = 0;
  Acad::ErrorStatus readItem(resbuf* pItem) { return readResBuf(pItem); }
  virtual void pushBackItem() = 0;
  virtual bool atEOF() = 0;
  virtual bool atSubclassData(const ACHAR* subClassName) = 0;
  virtual bool atEmbeddedObjectStart();

  // Writing.
  virtual Acad::ErrorStatus writeResBuf(const resbuf& rb) = 0;
  Acad::ErrorStatus writeItem(const resbuf& rb) { return writeResBuf(rb); }
  virtual Acad::ErrorStatus writeString(int code, const ACHAR* pString) = 0;
  virtual Acad::ErrorStatus writeObjectId(int code, const AcDbObjectId& id) = 0;
  virtual Acad::ErrorStatus writeInt8(int code, Adesk::Int8 val) = 0;
  virtual Acad::ErrorStatus writeInt16(int code, Adesk::Int16 val) = 0;
  virtual Acad::ErrorStatus writeInt32(int code, Adesk::Int32 val) = 0;
  virtual Acad::ErrorStatus writeInt64(int code, Adesk::Int64 val);
  virtual Acad::ErrorStatus writeUInt8(int code, Adesk::UInt8 val);
  virtual Acad::ErrorStatus writeUInt16(int code, Adesk::UInt16 val);
  virtual Acad::ErrorStatus writeUInt32(int code, Adesk::UInt32 val);
  virtual Acad::ErrorStatus writeBool(int code, bool val) = 0;
  virtual Acad::ErrorStatus writeDouble(int code, double val, int prec = AcDb::kDfltPrec) = 0;
  virtual Acad::ErrorStatus writePoint2d(int code, const AcGePoint2d& pt, int prec = AcDb::kDfltPrec) = 0;
  virtual Acad::ErrorStatus writePoint3d(int code, const AcGePoint3d& pt, int prec = AcDb::kDfltPrec) = 0;
  virtual Acad::ErrorStatus writeVector2d(int code, const AcGeVector2d& vec, int prec = AcDb::kDfltPrec);
  virtual Acad::ErrorStatus writeVector3d(int code, const AcGeVector3d& vec, int prec = AcDb::kDfltPrec);
  virtual Acad::ErrorStatus writeScale3d(int code, const AcGeScale3d& scale, int prec = AcDb::kDfltPrec);
  virtual Acad::ErrorStatus writeAngle(int code, double angle, int prec = AcDb::kDfltPrec);
  // Writes a subclass marker (code 100).
  virtual Acad::ErrorStatus writeEmbeddedObjectStart();

protected:
  AcDbDxfFiler();
};
