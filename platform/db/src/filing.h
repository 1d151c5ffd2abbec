// In-memory group-code stream (AcDbDxfFiler) used to copy the data that classes of other
// modules file themselves, and the resbuf value conversions shared with extended data.
#pragma once
#include "internal.h"

#include <dbfiler.h>

#include <string>
#include <vector>

namespace contura::db {

// One stored item: its code and its value in the form the code's kind needs.
struct FiledItem {
  short code = 0;
  AdsValueKind kind = AdsValueKind::kNone;
  std::string text;  // strings and binary blocks
  double values[3] = {0.0, 0.0, 0.0};
  Adesk::Int64 integer = 0;  // integers and names (the stub pointer for object ids)
};

class MemoryFiler : public AcDbDxfFiler {
public:
  explicit MemoryFiler(AcDbDatabase* db) : mDb(db) {}
  AcDb::FilerType filerType() const override { return AcDb::kCopyFiler; }
  Acad::ErrorStatus filerStatus() const override { return mStatus; }
  void resetFilerStatus() override { mStatus = Acad::eOk; }
  AcDbDatabase* database() const override { return mDb; }

  Acad::ErrorStatus readResBuf(resbuf* pRb) override;
  void pushBackItem() override;
  bool atEOF() override { return mRead >= mItems.size(); }
  bool atSubclassData(const ACHAR* subClassName) override;

  Acad::ErrorStatus writeResBuf(const resbuf& rb) override;
  Acad::ErrorStatus writeString(int code, const ACHAR* pString) override;
  Acad::ErrorStatus writeObjectId(int code, const AcDbObjectId& id) override;
  Acad::ErrorStatus writeInt8(int code, Adesk::Int8 val) override;
  Acad::ErrorStatus writeInt16(int code, Adesk::Int16 val) override;
  Acad::ErrorStatus writeInt32(int code, Adesk::Int32 val) override;
  Acad::ErrorStatus writeInt64(int code, Adesk::Int64 val) override;
  Acad::ErrorStatus writeBool(int code, bool val) override;
  Acad::ErrorStatus writeDouble(int code, double val, int prec = AcDb::kDfltPrec) override;
  Acad::ErrorStatus writePoint2d(int code, const AcGePoint2d& pt, int prec = AcDb::kDfltPrec) override;
  Acad::ErrorStatus writePoint3d(int code, const AcGePoint3d& pt, int prec = AcDb::kDfltPrec) override;

  void rewind() { mRead = 0; }
  const std::vector<FiledItem>& items() const { return mItems; }

private:
  Acad::ErrorStatus add(FiledItem item);
  AcDbDatabase* mDb;
  std::vector<FiledItem> mItems;
  size_t mRead = 0;
  Acad::ErrorStatus mStatus = Acad::eOk;
};

// Copies what src's class files beyond the database's own data: src->dxfOutFields into a
// memory filer, then dst->dxfInFields from it.
Acad::ErrorStatus copyFiledData(const AcDbObject& src, AcDbObject& dst);

// Fills rb's value from item (strings point into item); the restype is item.code.
void fillResbuf(const FiledItem& item, resbuf* rb);
// The item for a resbuf (by the kind of its restype).
FiledItem itemFromResbuf(const resbuf& rb);

}  // namespace contura::db
