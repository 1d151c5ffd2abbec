// Raw drawing-file tags: what the database does not model, kept as read so that a drawing
// file layer writes it back unchanged (unknown entities and objects, extended data,
// application groups, extra tags of known classes, unknown header variables and sections).
#pragma once
#include <dbmain.h>

#include <string>
#include <utility>
#include <vector>

// One group code and its value as the file's text: strings in code page 936, numbers as
// written, handles as upper-case hexadecimal.
struct AcDbRawTag {
  short code = 0;
  std::string value;
  bool operator==(const AcDbRawTag&) const = default;
};
using AcDbRawTags = std::vector<AcDbRawTag>;

// An entity of a kind the database does not model (DIMENSION, LEADER, IMAGE, a proxy, ...):
// the common entity data lives in AcDbEntity (layer, colour, ...), the rest is tags.
// It has no geometry the database understands: no extents, explode and transform refuse
// (eNotApplicable), so a transformed copy cannot be made.
class AcDbRawEntity : public AcDbEntity {
public:
  ACRX_DECLARE_MEMBERS(AcDbRawEntity);
  AcDbRawEntity();
  ~AcDbRawEntity() override;

  const std::string& dxfName() const { return mDxfName; }    // the record name ("DIMENSION")
  const std::string& className() const { return mClassName; }  // the C++ class name, may be ""
  const AcDbRawTags& tags() const { return mTags; }          // the tags after the common data
  Acad::ErrorStatus setDxfName(std::string name);
  Acad::ErrorStatus setClassName(std::string name);
  Acad::ErrorStatus setTags(AcDbRawTags tags);

  Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform) override;
  Acad::ErrorStatus getTransformedCopy(const AcGeMatrix3d& xform, AcDbEntity*& pEnt) const override;
  // A dimension draws the block that holds its picture; other kinds draw nothing.
  Adesk::Boolean worldDraw(AcGiWorldDraw* mode) override;

protected:
  AcDbRawEntity(const AcDbRawEntity&) = default;
  const AcRxClass* copyTypedData(const AcDbObject& src) override;

private:
  friend struct contura::db::ObjectAccess;
  std::string mDxfName;
  std::string mClassName;
  AcDbRawTags mTags;
};

// An object of a kind the database does not model (XRECORD, LAYOUT, MLINESTYLE, ...): the
// tags after the owner handle.
class AcDbRawObject : public AcDbObject {
public:
  ACRX_DECLARE_MEMBERS(AcDbRawObject);
  AcDbRawObject();
  ~AcDbRawObject() override;

  const std::string& dxfName() const { return mDxfName; }
  const std::string& className() const { return mClassName; }
  const AcDbRawTags& tags() const { return mTags; }
  Acad::ErrorStatus setDxfName(std::string name);
  Acad::ErrorStatus setClassName(std::string name);
  Acad::ErrorStatus setTags(AcDbRawTags tags);

protected:
  AcDbRawObject(const AcDbRawObject&) = default;
  const AcRxClass* copyTypedData(const AcDbObject& src) override;

private:
  friend struct contura::db::ObjectAccess;
  std::string mDxfName;
  std::string mClassName;
  AcDbRawTags mTags;
};

namespace contura::db {

// Extended data as tags: (1001 application, items...) groups, points as separate 1010/1020/
// 1030 tags. This is the storage behind AcDbObject::xData / setXData, so both views agree.
// Setting does not check the application table (the file layer restores what it read).
const AcDbRawTags& rawXData(const AcDbObject& obj);
void setRawXData(AcDbObject& obj, AcDbRawTags tags);

// Application groups "102 {NAME ... 102 }" other than {ACAD_REACTORS and {ACAD_XDICTIONARY,
// whole (braces included).
const AcDbRawTags& rawAppGroups(const AcDbObject& obj);
void setRawAppGroups(AcDbObject& obj, AcDbRawTags tags);

// Tags of a modelled class that the class does not keep (a TEXT's or LAYER's extra fields),
// in file order, for the writer to put back.
const AcDbRawTags& rawExtra(const AcDbObject& obj);
void setRawExtra(AcDbObject& obj, AcDbRawTags tags);

// Header variables the database does not keep ("$NAME" and its tags, in file order) and
// whole sections it does not know (name and tags).
using RawHeader = std::vector<std::pair<std::string, AcDbRawTags>>;
const RawHeader& rawHeader(const AcDbDatabase& db);
void setRawHeader(AcDbDatabase& db, RawHeader header);
const RawHeader& rawSections(const AcDbDatabase& db);
void setRawSections(AcDbDatabase& db, RawHeader sections);

}  // namespace contura::db
