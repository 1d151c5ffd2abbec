// Symbol tables (blocks, layers, text styles, linetypes, views, UCSs, viewports, registered
// applications, dimension styles), their records and iterators.
//
// Names are compared without regard to the case of ASCII letters (double-byte characters of
// code page 936 are compared as they are). A table holds at most one non-erased record of a
// name: add refuses a second (eDuplicateRecordName) and an empty name
// (eInvalidSymbolTableName); the table must be open for write (eNotOpenForWrite) and in a
// database (eNoDatabase). An added record is in the database and open for write: close it.
// Iterators walk records in the order they were added and see records added while they run;
// with skipDeleted they pass over erased ones.
#pragma once
#include <dbmain.h>
#include <gepnt2d.h>

#include <string>
#include <vector>

class AcDbSymbolTableRecord;
class AcDbSymbolTableIterator;
class AcDbBlockTableRecordIterator;

// ---------------------------------------------------------------------------------------
class AcDbSymbolTable : public AcDbObject {
public:
  ACRX_DECLARE_MEMBERS(AcDbSymbolTable);
  ~AcDbSymbolTable() override;

  Acad::ErrorStatus getAt(const ACHAR* entryName, AcDbSymbolTableRecord*& pRec,
                          AcDb::OpenMode openMode, bool openErasedRec = false) const;
  // eKeyNotFound when there is no (non-erased, unless getErasedRecord) record of that name.
  Acad::ErrorStatus getAt(const ACHAR* entryName, AcDbObjectId& recordId,
                          bool getErasedRecord = false) const;
  bool has(const ACHAR* name) const;
  bool has(AcDbObjectId id) const;
  Acad::ErrorStatus newIterator(AcDbSymbolTableIterator*& pIterator, bool atBeginning = true,
                                bool skipDeleted = true) const;
  // eWrongObjectType for a record of another table's kind.
  Acad::ErrorStatus add(AcDbSymbolTableRecord* pRecord);
  Acad::ErrorStatus add(AcDbObjectId& recordId, AcDbSymbolTableRecord* pRecord);

protected:
  AcDbSymbolTable();
  AcDbSymbolTable(const AcDbSymbolTable&);
  AcDbSymbolTable& operator=(const AcDbSymbolTable&);
  const AcRxClass* copyTypedData(const AcDbObject& src) override;
  void translateIds(const contura::db::IdTranslator& translator) override;
  // The record class this table holds.
  virtual const AcRxClass* recordClass() const = 0;

private:
  friend struct contura::db::ObjectAccess;
  friend class AcDbSymbolTableIterator;
  struct Index;
  std::vector<AcDbStub*> mRecords;
  std::unique_ptr<Index> mpIndex;  // names to ids
};

class AcDbSymbolTableIterator {
public:
  virtual ~AcDbSymbolTableIterator();
  void start(bool atBeginning = true, bool skipDeleted = true);
  bool done() const;
  void step(bool forward = true, bool skipDeleted = true);
  Acad::ErrorStatus getRecordId(AcDbObjectId& id) const;
  Acad::ErrorStatus getRecord(AcDbSymbolTableRecord*& pRecord, AcDb::OpenMode openMode = AcDb::kForRead,
                              bool openErasedRec = false) const;
  // Moves to the record (eInvalidInput when the table does not hold it).
  Acad::ErrorStatus seek(AcDbObjectId id);
  Acad::ErrorStatus seek(const AcDbSymbolTableRecord* pRecord);

protected:
  friend class AcDbSymbolTable;
  AcDbSymbolTableIterator(const AcDbSymbolTable* pTable, bool atBeginning, bool skipDeleted);
  const AcDbSymbolTable* table() const;
  void skipErasedFrom(bool forward);

  AcDbStub* mpTable;
  long mPos = 0;
};

// ---------------------------------------------------------------------------------------
class AcDbSymbolTableRecord : public AcDbObject {
public:
  ACRX_DECLARE_MEMBERS(AcDbSymbolTableRecord);
  ~AcDbSymbolTableRecord() override;

  Acad::ErrorStatus getName(ACHAR*& pName) const;        // copy
  Acad::ErrorStatus getName(const ACHAR*& pName) const;  // points into the record
  // eInvalidSymbolTableName for null or empty; eDuplicateRecordName when the record's table
  // holds another record of that name.
  virtual Acad::ErrorStatus setName(const ACHAR* pName);
  // Dependent on an external reference: the name holds '|'.
  bool isDependent() const;
  bool isResolved() const { return true; }

protected:
  AcDbSymbolTableRecord();
  AcDbSymbolTableRecord(const AcDbSymbolTableRecord&) = default;
  AcDbSymbolTableRecord& operator=(const AcDbSymbolTableRecord&) = default;
  const AcRxClass* copyTypedData(const AcDbObject& src) override;

private:
  friend struct contura::db::ObjectAccess;
  std::string mName;
};

// ---------------------------------------------------------------------------------------
// Declares a table class with typed getAt / add / newIterator next to the untyped ones.
#define ACDB_DECLARE_SYMBOL_TABLE(TABLE, RECORD, ITERATOR)                                     \
  class RECORD;                                                                                \
  class ITERATOR;                                                                              \
  class TABLE : public AcDbSymbolTable {                                                       \
  public:                                                                                      \
    ACRX_DECLARE_MEMBERS(TABLE);                                                               \
    TABLE();                                                                                   \
    ~TABLE() override;                                                                         \
    using AcDbSymbolTable::add;                                                                \
    using AcDbSymbolTable::getAt;                                                              \
    using AcDbSymbolTable::newIterator;                                                        \
    Acad::ErrorStatus getAt(const ACHAR* entryName, RECORD*& pRec, AcDb::OpenMode openMode,    \
                            bool openErasedRec = false) const;                                 \
    Acad::ErrorStatus add(RECORD* pRecord);                                                    \
    Acad::ErrorStatus add(AcDbObjectId& recordId, RECORD* pRecord);                            \
    Acad::ErrorStatus newIterator(ITERATOR*& pIterator, bool atBeginning = true,               \
                                  bool skipDeleted = true) const;                              \
                                                                                               \
  protected:                                                                                   \
    TABLE(const TABLE&) = default;                                                             \
    const AcRxClass* copyTypedData(const AcDbObject& src) override;                            \
    const AcRxClass* recordClass() const override;                                             \
  };                                                                                           \
  class ITERATOR : public AcDbSymbolTableIterator {                                            \
  public:                                                                                      \
    using AcDbSymbolTableIterator::getRecord;                                                  \
    Acad::ErrorStatus getRecord(RECORD*& pRecord, AcDb::OpenMode openMode = AcDb::kForRead,    \
                                bool openErasedRec = false) const;                             \
                                                                                               \
  protected:                                                                                   \
    friend class TABLE;                                                                        \
    ITERATOR(const TABLE* pTable, bool atBeginning, bool skipDeleted)                          \
        : AcDbSymbolTableIterator(pTable, atBeginning, skipDeleted) {}                         \
  };

ACDB_DECLARE_SYMBOL_TABLE(AcDbBlockTable, AcDbBlockTableRecord, AcDbBlockTableIterator)
ACDB_DECLARE_SYMBOL_TABLE(AcDbLayerTable, AcDbLayerTableRecord, AcDbLayerTableIterator)
ACDB_DECLARE_SYMBOL_TABLE(AcDbTextStyleTable, AcDbTextStyleTableRecord, AcDbTextStyleTableIterator)
ACDB_DECLARE_SYMBOL_TABLE(AcDbLinetypeTable, AcDbLinetypeTableRecord, AcDbLinetypeTableIterator)
ACDB_DECLARE_SYMBOL_TABLE(AcDbViewTable, AcDbViewTableRecord, AcDbViewTableIterator)
ACDB_DECLARE_SYMBOL_TABLE(AcDbUCSTable, AcDbUCSTableRecord, AcDbUCSTableIterator)
ACDB_DECLARE_SYMBOL_TABLE(AcDbViewportTable, AcDbViewportTableRecord, AcDbViewportTableIterator)
ACDB_DECLARE_SYMBOL_TABLE(AcDbRegAppTable, AcDbRegAppTableRecord, AcDbRegAppTableIterator)
ACDB_DECLARE_SYMBOL_TABLE(AcDbDimStyleTable, AcDbDimStyleTableRecord, AcDbDimStyleTableIterator)

// ---------------------------------------------------------------------------------------
// Blocks. Model space is "*Model_Space", paper spaces "*Paper_Space", "*Paper_Space0", ...;
// names "*U", "*D", "*X", "*A", "*T", "*E" given to add are anonymous and get the next free
// number ("*U1", "*U2", ...).
class AcDbBlockTableRecord : public AcDbSymbolTableRecord {
public:
  ACRX_DECLARE_MEMBERS(AcDbBlockTableRecord);
  AcDbBlockTableRecord();
  ~AcDbBlockTableRecord() override;

  // Makes the entity part of this block: it must be new (eAlreadyInDb), the block open for
  // write (eNotOpenForWrite) and in a database (eNoDatabase). The entity gets the next
  // handle, this block as owner, and database defaults for a layer or linetype it lacks (or
  // that belongs to another database: the record of the same name, else the current one); it
  // stays open for write: close it.
  Acad::ErrorStatus appendAcDbEntity(AcDbEntity* pEntity);
  Acad::ErrorStatus appendAcDbEntity(AcDbObjectId& pOutputId, AcDbEntity* pEntity);
  Acad::ErrorStatus newIterator(AcDbBlockTableRecordIterator*& pIterator, bool atBeginning = true,
                                bool skipDeleted = true) const;

  AcGePoint3d origin() const { return mOrigin; }
  Acad::ErrorStatus setOrigin(const AcGePoint3d& pt);
  Acad::ErrorStatus comments(ACHAR*& pComments) const;        // copy
  Acad::ErrorStatus comments(const ACHAR*& pComments) const;  // into the record
  Acad::ErrorStatus setComments(const ACHAR* pComments);
  // External reference path ("" for an ordinary block).
  Acad::ErrorStatus pathName(ACHAR*& pPath) const;
  Acad::ErrorStatus pathName(const ACHAR*& pPath) const;
  Acad::ErrorStatus setPathName(const ACHAR* pathStr);

  bool isAnonymous() const;
  bool isLayout() const;  // model space or a paper space
  AcDbObjectId getLayoutId() const;
  Acad::ErrorStatus setLayoutId(const AcDbObjectId& layoutId);
  bool hasAttributeDefinitions() const;
  bool hasPreviewIcon() const { return false; }
  bool isFromExternalReference() const;
  bool isFromOverlayReference() const;
  Acad::ErrorStatus setIsFromExternalReference(bool isXref);
  Acad::ErrorStatus setIsFromOverlayReference(bool isOverlay);
  bool isDependent() const;
  // Block references to this block in the drawing: those inside any block (bDirectOnly), or
  // also the references to blocks that contain one of those, and so on. Erased references
  // are left out.
  Acad::ErrorStatus getBlockReferenceIds(AcDbObjectIdArray& ids, bool bDirectOnly = true,
                                         bool bForceValidity = false) const;

protected:
  AcDbBlockTableRecord(const AcDbBlockTableRecord&) = default;
  const AcRxClass* copyTypedData(const AcDbObject& src) override;
  void translateIds(const contura::db::IdTranslator& translator) override;
  Acad::ErrorStatus subErase(bool erasing) override;
  void collectParts(AcDbObjectIdArray& parts) const override;

private:
  friend struct contura::db::ObjectAccess;
  friend class AcDbBlockTableRecordIterator;
  std::vector<AcDbStub*> mEntities;
  AcGePoint3d mOrigin;
  std::string mComments;
  std::string mPathName;
  AcDbStub* mpLayout = nullptr;
  Adesk::UInt8 mFlags = 0;  // drawing-file block flags: 4 external reference, 8 overlay
};

class AcDbBlockTableRecordIterator {
public:
  virtual ~AcDbBlockTableRecordIterator();
  void start(bool atBeginning = true, bool skipDeleted = true);
  bool done() const;
  void step(bool forward = true, bool skipDeleted = true);
  Acad::ErrorStatus getEntity(AcDbEntity*& pEntity, AcDb::OpenMode openMode = AcDb::kForRead,
                              bool openErasedEntity = false) const;
  Acad::ErrorStatus getEntityId(AcDbObjectId& entityId) const;
  Acad::ErrorStatus seek(AcDbObjectId id);
  Acad::ErrorStatus seek(const AcDbEntity* pEntity);

private:
  friend class AcDbBlockTableRecord;
  AcDbBlockTableRecordIterator(const AcDbBlockTableRecord* pRecord, bool atBeginning, bool skipDeleted);
  const AcDbBlockTableRecord* record() const;
  void skipErasedFrom(bool forward);
  AcDbStub* mpRecord;
  long mPos = 0;
};

// ---------------------------------------------------------------------------------------
class AcDbLayerTableRecord : public AcDbSymbolTableRecord {
public:
  ACRX_DECLARE_MEMBERS(AcDbLayerTableRecord);
  AcDbLayerTableRecord();  // colour 7, on, thawed, unlocked, plottable
  ~AcDbLayerTableRecord() override;

  // Layer "0" keeps its name (eInvalidInput).
  Acad::ErrorStatus setName(const ACHAR* pName) override;
  AcCmColor color() const { return mColor; }
  // By layer and by block are not layer colours (eInvalidInput).
  Acad::ErrorStatus setColor(const AcCmColor& color);
  bool isOff() const;
  Acad::ErrorStatus setIsOff(bool off);
  bool isFrozen() const;
  Acad::ErrorStatus setIsFrozen(bool frozen);
  bool isLocked() const;
  Acad::ErrorStatus setIsLocked(bool locked);
  bool isPlottable() const;
  Acad::ErrorStatus setIsPlottable(bool plottable);
  AcDbObjectId linetypeObjectId() const;
  Acad::ErrorStatus setLinetypeObjectId(AcDbObjectId id);
  AcDb::LineWeight lineWeight() const { return AcDb::LineWeight(mLineWeight); }
  Acad::ErrorStatus setLineWeight(AcDb::LineWeight weight);
  ACHAR* description() const;  // copy
  Acad::ErrorStatus setDescription(const ACHAR* description);

protected:
  AcDbLayerTableRecord(const AcDbLayerTableRecord&) = default;
  const AcRxClass* copyTypedData(const AcDbObject& src) override;
  void translateIds(const contura::db::IdTranslator& translator) override;
  Acad::ErrorStatus subErase(bool erasing) override;

private:
  AcCmColor mColor;
  AcDbStub* mpLinetype = nullptr;
  std::string mDescription;
  Adesk::Int16 mLineWeight = AcDb::kLnWtByLwDefault;
  Adesk::UInt8 mFlags = 0;  // 1 frozen, 4 locked (drawing-file bits); 0x40 off, 0x80 not plottable
};

// ---------------------------------------------------------------------------------------
class AcDbTextStyleTableRecord : public AcDbSymbolTableRecord {
public:
  ACRX_DECLARE_MEMBERS(AcDbTextStyleTableRecord);
  AcDbTextStyleTableRecord();  // font "txt", size 0, width factor 1
  ~AcDbTextStyleTableRecord() override;

  Acad::ErrorStatus fileName(ACHAR*& fileName) const;        // copy
  Acad::ErrorStatus fileName(const ACHAR*& fileName) const;  // into the record
  Acad::ErrorStatus setFileName(const ACHAR* fileName);
  Acad::ErrorStatus bigFontFileName(ACHAR*& fileName) const;
  Acad::ErrorStatus bigFontFileName(const ACHAR*& fileName) const;
  Acad::ErrorStatus setBigFontFileName(const ACHAR* fileName);
  double textSize() const { return mTextSize; }
  Acad::ErrorStatus setTextSize(double size);
  double priorSize() const { return mPriorSize; }
  Acad::ErrorStatus setPriorSize(double size);
  double xScale() const { return mXScale; }
  Acad::ErrorStatus setXScale(double xScale);
  double obliquingAngle() const { return mOblique; }
  Acad::ErrorStatus setObliquingAngle(double obliquingAngle);
  // Text generation bits: 2 backwards, 4 upside down.
  Adesk::UInt8 flagBits() const { return mGenFlags; }
  Acad::ErrorStatus setFlagBits(Adesk::UInt8 flagBits);
  bool isShapeFile() const;
  Acad::ErrorStatus setIsShapeFile(bool shape);
  bool isVertical() const;
  Acad::ErrorStatus setIsVertical(bool vertical);

protected:
  AcDbTextStyleTableRecord(const AcDbTextStyleTableRecord&) = default;
  const AcRxClass* copyTypedData(const AcDbObject& src) override;

private:
  std::string mFileName;
  std::string mBigFontFileName;
  double mTextSize = 0.0;
  double mPriorSize = 2.5;
  double mXScale = 1.0;
  double mOblique = 0.0;
  Adesk::UInt8 mGenFlags = 0;
  Adesk::UInt8 mFlags = 0;  // 1 shape file, 4 vertical
};

// ---------------------------------------------------------------------------------------
class AcDbLinetypeTableRecord : public AcDbSymbolTableRecord {
public:
  ACRX_DECLARE_MEMBERS(AcDbLinetypeTableRecord);
  AcDbLinetypeTableRecord();
  ~AcDbLinetypeTableRecord() override;

  Acad::ErrorStatus comments(ACHAR*& pString) const;
  Acad::ErrorStatus comments(const ACHAR*& pString) const;
  Acad::ErrorStatus setComments(const ACHAR* pString);
  Acad::ErrorStatus asciiDescription(ACHAR*& pString) const { return comments(pString); }
  Acad::ErrorStatus setAsciiDescription(const ACHAR* pString) { return setComments(pString); }
  double patternLength() const { return mPatternLength; }
  Acad::ErrorStatus setPatternLength(double patternLength);
  bool isScaledToFit() const { return mScaledToFit; }
  Acad::ErrorStatus setIsScaledToFit(bool scaledToFit);
  int numDashes() const { return int(mDashes.size()); }
  Acad::ErrorStatus setNumDashes(int count);  // new dashes have length 0
  double dashLengthAt(int index) const;       // 0 outside the dashes
  Acad::ErrorStatus setDashLengthAt(int index, double value);  // eInvalidIndex

protected:
  AcDbLinetypeTableRecord(const AcDbLinetypeTableRecord&) = default;
  const AcRxClass* copyTypedData(const AcDbObject& src) override;
  Acad::ErrorStatus subErase(bool erasing) override;

private:
  std::string mComments;
  std::vector<double> mDashes;
  double mPatternLength = 0.0;
  bool mScaledToFit = false;
};

// ---------------------------------------------------------------------------------------
class AcDbRegAppTableRecord : public AcDbSymbolTableRecord {
public:
  ACRX_DECLARE_MEMBERS(AcDbRegAppTableRecord);
  AcDbRegAppTableRecord();
  ~AcDbRegAppTableRecord() override;

protected:
  AcDbRegAppTableRecord(const AcDbRegAppTableRecord&) = default;
  const AcRxClass* copyTypedData(const AcDbObject& src) override;
};

// ---------------------------------------------------------------------------------------
// Dimension styles. Arrowhead blocks are block ids (null: the default closed filled arrow).
// Setting one by name uses the block of that name, creating the host's standard arrowhead
// block of that name first when it is one of "_OBLIQUE", "_DOT", "_NONE", "_OPEN",
// "_ARCHTICK" and missing (eKeyNotFound for any other missing name); "" and "." clear it.
class AcDbDimStyleTableRecord : public AcDbSymbolTableRecord {
public:
  ACRX_DECLARE_MEMBERS(AcDbDimStyleTableRecord);
  AcDbDimStyleTableRecord();
  ~AcDbDimStyleTableRecord() override;

  AcDbObjectId dimblk() const;
  AcDbObjectId dimblk1() const;
  AcDbObjectId dimblk2() const;
  AcDbObjectId dimldrblk() const;
  Acad::ErrorStatus setDimblk(AcDbObjectId blockId);
  Acad::ErrorStatus setDimblk1(AcDbObjectId blockId);
  Acad::ErrorStatus setDimblk2(AcDbObjectId blockId);
  Acad::ErrorStatus setDimldrblk(AcDbObjectId blockId);
  Acad::ErrorStatus setDimblk(const ACHAR* blockName);
  Acad::ErrorStatus setDimblk1(const ACHAR* blockName);
  Acad::ErrorStatus setDimblk2(const ACHAR* blockName);
  Acad::ErrorStatus setDimldrblk(const ACHAR* blockName);
  bool dimsah() const { return mSeparateArrows; }
  Acad::ErrorStatus setDimsah(bool value);
  double dimscale() const { return mScale; }
  Acad::ErrorStatus setDimscale(double value);
  double dimasz() const { return mArrowSize; }
  Acad::ErrorStatus setDimasz(double value);
  double dimtxt() const { return mTextHeight; }
  Acad::ErrorStatus setDimtxt(double value);
  AcDbObjectId dimtxsty() const;
  Acad::ErrorStatus setDimtxsty(AcDbObjectId textStyleId);

protected:
  AcDbDimStyleTableRecord(const AcDbDimStyleTableRecord&) = default;
  const AcRxClass* copyTypedData(const AcDbObject& src) override;
  void translateIds(const contura::db::IdTranslator& translator) override;

private:
  Acad::ErrorStatus setArrowByName(AcDbStub*& slot, const ACHAR* blockName);
  Acad::ErrorStatus setArrow(AcDbStub*& slot, AcDbObjectId blockId);
  AcDbStub* mpBlk = nullptr;
  AcDbStub* mpBlk1 = nullptr;
  AcDbStub* mpBlk2 = nullptr;
  AcDbStub* mpLdrBlk = nullptr;
  AcDbStub* mpTextStyle = nullptr;
  double mScale = 1.0;
  double mArrowSize = 0.18;
  double mTextHeight = 0.18;
  bool mSeparateArrows = false;
};

// ---------------------------------------------------------------------------------------
// Views and viewports share the view description.
class AcDbAbstractViewTableRecord : public AcDbSymbolTableRecord {
public:
  ACRX_DECLARE_MEMBERS(AcDbAbstractViewTableRecord);
  ~AcDbAbstractViewTableRecord() override;

  AcGePoint2d centerPoint() const { return mCenter; }
  Acad::ErrorStatus setCenterPoint(const AcGePoint2d& pt);
  double height() const { return mHeight; }
  Acad::ErrorStatus setHeight(double height);
  double width() const { return mWidth; }
  Acad::ErrorStatus setWidth(double width);
  AcGePoint3d target() const { return mTarget; }
  Acad::ErrorStatus setTarget(const AcGePoint3d& target);
  AcGeVector3d viewDirection() const { return mDirection; }
  Acad::ErrorStatus setViewDirection(const AcGeVector3d& viewDirection);
  double viewTwist() const { return mTwist; }
  Acad::ErrorStatus setViewTwist(double angle);

protected:
  AcDbAbstractViewTableRecord();
  AcDbAbstractViewTableRecord(const AcDbAbstractViewTableRecord&) = default;
  const AcRxClass* copyTypedData(const AcDbObject& src) override;

private:
  AcGePoint2d mCenter;
  AcGePoint3d mTarget;
  AcGeVector3d mDirection{0.0, 0.0, 1.0};
  double mHeight = 1.0;
  double mWidth = 1.0;
  double mTwist = 0.0;
};

class AcDbViewTableRecord : public AcDbAbstractViewTableRecord {
public:
  ACRX_DECLARE_MEMBERS(AcDbViewTableRecord);
  AcDbViewTableRecord();
  ~AcDbViewTableRecord() override;
  bool isPaperspaceView() const { return mPaperSpace; }
  Acad::ErrorStatus setIsPaperspaceView(bool paperSpace);

protected:
  AcDbViewTableRecord(const AcDbViewTableRecord&) = default;
  const AcRxClass* copyTypedData(const AcDbObject& src) override;

private:
  bool mPaperSpace = false;
};

class AcDbViewportTableRecord : public AcDbAbstractViewTableRecord {
public:
  ACRX_DECLARE_MEMBERS(AcDbViewportTableRecord);
  AcDbViewportTableRecord();  // the whole screen: (0,0) to (1,1)
  ~AcDbViewportTableRecord() override;
  AcGePoint2d lowerLeftCorner() const { return mLowerLeft; }
  Acad::ErrorStatus setLowerLeftCorner(const AcGePoint2d& pt);
  AcGePoint2d upperRightCorner() const { return mUpperRight; }
  Acad::ErrorStatus setUpperRightCorner(const AcGePoint2d& pt);

protected:
  AcDbViewportTableRecord(const AcDbViewportTableRecord&) = default;
  const AcRxClass* copyTypedData(const AcDbObject& src) override;

private:
  AcGePoint2d mLowerLeft;
  AcGePoint2d mUpperRight{1.0, 1.0};
};

class AcDbUCSTableRecord : public AcDbSymbolTableRecord {
public:
  ACRX_DECLARE_MEMBERS(AcDbUCSTableRecord);
  AcDbUCSTableRecord();
  ~AcDbUCSTableRecord() override;
  AcGePoint3d origin() const { return mOrigin; }
  Acad::ErrorStatus setOrigin(const AcGePoint3d& newOrigin);
  AcGeVector3d xAxis() const { return mXAxis; }
  Acad::ErrorStatus setXAxis(const AcGeVector3d& xAxis);
  AcGeVector3d yAxis() const { return mYAxis; }
  Acad::ErrorStatus setYAxis(const AcGeVector3d& yAxis);

protected:
  AcDbUCSTableRecord(const AcDbUCSTableRecord&) = default;
  const AcRxClass* copyTypedData(const AcDbObject& src) override;

private:
  AcGePoint3d mOrigin;
  AcGeVector3d mXAxis{1.0, 0.0, 0.0};
  AcGeVector3d mYAxis{0.0, 1.0, 0.0};
};
