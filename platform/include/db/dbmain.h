// The drawing database: AcDbObject with its open/close protocol, AcDbEntity with its common
// properties, AcDbDatabase, and the functions that open objects by id.
//
// Open/close protocol (every rule reports the host's status):
// - acdbOpenObject on the null id: eNullObjectId; on an id whose object is gone (deleted, or a
//   handle never filled): ePermanentlyErased; on an erased object without openErased: eWasErased;
//   on an object of another class than the filter asks for: eNotThatKindOfClass (out-pointer null).
// - kForRead: up to 256 readers at once (the 257th gets eAtMaxReaders); refused with
//   eWasOpenForWrite while open for write and eWasNotifying while open for notify.
// - kForWrite: only when the object is not open at all: eWasOpenForRead, eWasOpenForWrite,
//   eWasNotifying otherwise.
// - kForNotify: allowed when closed, open for read or open for write; eWasOpenForNotify when
//   already open for notify.
// - Every successful open needs its own close(); read opens return the same object.
// - upgradeOpen: only with exactly one reader (eHadMultipleReaders otherwise, eNotOpenForRead
//   when not open for read, eWasOpenForWrite / eWasNotifying). downgradeOpen: eNotOpenForWrite
//   unless open for write; it leaves one reader.
// - A new object (not in a database) counts as open for write; its owner deletes it. Once
//   added (addAcDbObject, appendAcDbEntity, table add, dictionary setAt) it is open for write
//   and must be closed; it is then owned by the database and must never be deleted: erase it.
// - Misuse (closing an object that is not open, closing an object that is not in a database,
//   changing an object that is not open for write, deleting a database-resident object)
//   returns or reports the host's status; a build without NDEBUG also stops with a message
//   (see contura/db/diagnostics.h for tests that check misuse).
// - Setters refuse to change a database-resident object that is not open for write (those
//   that return a status return eNotOpenForWrite); getters read whatever the object holds.
// - Strings returned as ACHAR* (not const) are copies the caller releases with delete[] or
//   acutDelString; const ACHAR* results point into the object and stay valid until it changes.
#pragma once
#include <acadstrc.h>
#include <acdb.h>
#include <acgi.h>
#include <adesk.h>
#include <adsdef.h>
#include <dbcolor.h>
#include <dbextents.h>
#include <dbid.h>
#include <dbidar.h>
#include <dbptrar.h>
#include <gemat3d.h>
#include <gepnt3d.h>
#include <gept3dar.h>
#include <rxobject.h>

#include <cstddef>
#include <memory>

class AcDbDatabase;
class AcDbDxfFiler;
class AcDbDictionary;
class AcDbBlockTable;
class AcDbLayerTable;
class AcDbTextStyleTable;
class AcDbLinetypeTable;
class AcDbViewTable;
class AcDbUCSTable;
class AcDbViewportTable;
class AcDbRegAppTable;
class AcDbDimStyleTable;
class AcDbBlockTableRecord;
class AcGePlane;

namespace contura::db {
class IdTranslator;
struct ObjectAccess;
struct ObjectExtras;
}  // namespace contura::db

// ---------------------------------------------------------------------------------------
class AcDbObject : public AcGiDrawable {
public:
  ACRX_DECLARE_MEMBERS(AcDbObject);
  ~AcDbObject() override;

  // Objects live on the database's heap, as on the host: made with new, freed with delete
  // (by their owner while new, by the database once added).
  static void* operator new(std::size_t size);
  static void operator delete(void* p, std::size_t size) noexcept;

  // Identity. Null / zero results for an object that is not in a database.
  AcDbObjectId objectId() const;
  AcDbObjectId ownerId() const;
  virtual Acad::ErrorStatus setOwnerId(AcDbObjectId ownerId);
  void getAcDbHandle(AcDbHandle& handle) const;
  AcDbDatabase* database() const;

  // Open state (see the protocol above).
  Acad::ErrorStatus close();
  Acad::ErrorStatus upgradeOpen();
  Acad::ErrorStatus downgradeOpen();
  // From notify to write (wasWritable tells whether it was open for write before the notify
  // open) and back.
  Acad::ErrorStatus upgradeFromNotify(bool& wasWritable);
  Acad::ErrorStatus downgradeToNotify(bool wasWritable);
  bool isReadEnabled() const;
  bool isWriteEnabled() const;
  bool isNotifyEnabled() const;
  bool isNotifying() const { return isNotifyEnabled(); }
  bool isNewObject() const;   // not (yet) in a database
  bool isUndoing() const { return false; }
  bool isModified() const;
  bool isErased() const;
  bool isAProxy() const { return false; }
  // Report misuse (see above) when the object may not be read / written / notified now.
  void assertReadEnabled() const;
  void assertWriteEnabled(bool autoUndo = true, bool recordModified = true);
  void assertNotifyEnabled() const;

  // Erases (true) or unerases (false). Needs the object open for write (eNotOpenForWrite);
  // eNotInDatabase for a new object; eWasErased / eWasNotErased when already in that state.
  Acad::ErrorStatus erase(bool erasing = true);

  // Extended data: xData returns a new resbuf list (release with acutRelRb) of every
  // application's data, or only regappName's; null when there is none. setXData takes a list
  // of (1001 application name, items...) groups: each named application's data is replaced by
  // the items that follow it (none removes it). Each application must be registered in the
  // object's database (eRegappIdNotFound); items must have extended-data codes 1000-1071
  // (eInvalidResBuf). Nothing changes on failure.
  resbuf* xData(const ACHAR* regappName = nullptr) const;
  virtual Acad::ErrorStatus setXData(const resbuf* xdata);

  // Extension dictionary: null id when there is none. create needs the object open for write
  // and in a database (eAlreadyInDb when it has one); release erases an empty one
  // (eContainerNotEmpty otherwise).
  AcDbObjectId extensionDictionary() const;
  Acad::ErrorStatus createExtensionDictionary();
  Acad::ErrorStatus releaseExtensionDictionary();

  // Persistent reactors: kept as ids (reactors are not called here). reactors() lists them as
  // opaque pointers for acdbPersistentReactorObjectId; null when there are none.
  void addPersistentReactor(AcDbObjectId objId);
  Acad::ErrorStatus removePersistentReactor(AcDbObjectId objId);
  bool hasPersistentReactor(AcDbObjectId objId) const;
  const AcDbVoidPtrArray* reactors() const;

  // Drawing-file filing of a class's own data. The database's classes keep their data in
  // typed members that the file layer maps directly, so their versions do nothing and return
  // eOk. A class of another module calls its parent's version first, then files its data
  // (after a subclass marker); cloning uses the same pair to copy such data.
  virtual Acad::ErrorStatus dxfInFields(AcDbDxfFiler* filer);
  virtual Acad::ErrorStatus dxfOutFields(AcDbDxfFiler* filer) const;

  // A new object (not in any database, open for write) with this object's data: typed data,
  // extended data, and data a class of another module files with dxfOutFields. Extension
  // dictionary and reactors are not copied. The caller owns it.
  AcRxObject* clone() const override;
  Acad::ErrorStatus copyFrom(const AcRxObject* other) override;

protected:
  AcDbObject();
  AcDbObject(const AcDbObject& other);             // data only, see clone()
  AcDbObject& operator=(const AcDbObject& other);  // data only, see clone()

  // Hooks for derived classes.
  // Called by erase() once the state may change; refusing returns the status.
  virtual Acad::ErrorStatus subErase(bool erasing);
  // Called by close() of a write open before the object is closed.
  virtual Acad::ErrorStatus subClose();

  // --- Platform-internal hooks (the database's own classes override them) ---------------
  // Copies the typed data of the most derived database class from src (same class or a
  // class derived from it) and returns that class, so that clone() knows whether data of a
  // derived class of another module remains to be copied.
  virtual const AcRxClass* copyTypedData(const AcDbObject& src);
  // Replaces every id the object holds by its translation (ids that translate to null are
  // dropped from lists). Classes holding ids extend it.
  virtual void translateIds(const contura::db::IdTranslator& translator);
  // Called when the object has just been added to a database; classes that hold objects of
  // their own while new (attributes, vertices) add them now.
  virtual void addedToDatabase();
  // The objects this object owns as parts (deleted or erased with it).
  virtual void collectParts(AcDbObjectIdArray& parts) const;

  // True when a setter may change the object now; reports misuse otherwise.
  bool writable() const;

private:
  friend struct contura::db::ObjectAccess;
  AcDbStub* mpStub = nullptr;      // set while the object is in a database
  AcDbStub* mpOwner = nullptr;
  std::unique_ptr<contura::db::ObjectExtras> mpExtras;  // extended data and the like
  Adesk::UInt16 mReaders = 0;
  Adesk::UInt8 mOpenFlags = 0;
};

// ---------------------------------------------------------------------------------------
class AcDbEntity : public AcDbObject {
public:
  ACRX_DECLARE_MEMBERS(AcDbEntity);
  ~AcDbEntity() override;

  AcDbObjectId blockId() const;  // the owning block table record

  // Colour. setColor keeps colour book names of true colours.
  AcCmColor color() const;
  virtual Acad::ErrorStatus setColor(const AcCmColor& color, bool doSubents = true);
  Adesk::UInt16 colorIndex() const;  // see AcCmColor::colorIndex
  virtual Acad::ErrorStatus setColorIndex(Adesk::UInt16 color, bool doSubents = true);
  AcCmEntityColor entityColor() const { return mColor; }

  // Layer. By name: the layer must exist in the entity's database (for a new entity: the
  // working database), else eKeyNotFound and nothing changes. By id: eNullObjectId for null,
  // eWrongObjectType for an id that is not a layer.
  ACHAR* layer() const;  // copy; null when no layer is set
  AcDbObjectId layerId() const;
  virtual Acad::ErrorStatus setLayer(const ACHAR* newVal, bool doSubents = true,
                                     bool allowHiddenLayer = false);
  virtual Acad::ErrorStatus setLayer(AcDbObjectId newVal, bool doSubents = true,
                                     bool allowHiddenLayer = false);

  // Linetype, by name or id with the same rules as the layer.
  ACHAR* linetype() const;  // copy; null when none is set
  AcDbObjectId linetypeId() const;
  virtual Acad::ErrorStatus setLinetype(const ACHAR* newVal, bool doSubents = true);
  virtual Acad::ErrorStatus setLinetype(AcDbObjectId newVal, bool doSubents = true);
  double linetypeScale() const { return mLinetypeScale; }
  virtual Acad::ErrorStatus setLinetypeScale(double newval, bool doSubents = true);

  AcDb::Visibility visibility() const;
  virtual Acad::ErrorStatus setVisibility(AcDb::Visibility newVal, bool doSubents = true);
  AcDb::LineWeight lineWeight() const { return AcDb::LineWeight(mLineWeight); }
  virtual Acad::ErrorStatus setLineWeight(AcDb::LineWeight newVal, bool doSubents = true);

  // Layer, linetype, linetype scale, colour, visibility and line weight of pEntity.
  Acad::ErrorStatus setPropertiesFrom(const AcDbEntity* pEntity, bool doSubents = true);
  // Current layer, linetype, colour, linetype scale and line weight of pDb (null: the
  // entity's own database, else the working database).
  void setDatabaseDefaults();
  void setDatabaseDefaults(AcDbDatabase* pDb);

  // Geometry. transformBy refuses transforms the entity cannot follow
  // (eCannotScaleNonUniformly for circles and arcs under non-uniform scaling, eNotApplicable
  // where there is no geometry to move). getTransformedCopy makes a new entity the caller
  // owns (a circle or arc under non-uniform scaling becomes an ellipse).
  virtual Acad::ErrorStatus transformBy(const AcGeMatrix3d& xform);
  virtual Acad::ErrorStatus getTransformedCopy(const AcGeMatrix3d& xform, AcDbEntity*& pEnt) const;
  // New entities the caller owns, appended to entitySet; eNotApplicable for entities that
  // do not explode.
  virtual Acad::ErrorStatus explode(AcDbVoidPtrArray& entitySet) const;
  // World box of the geometry; eInvalidExtents for an entity without geometry.
  virtual Acad::ErrorStatus getGeomExtents(AcDbExtents& extents) const;
  // Intersection points appended to points (in order along this entity; a point where two
  // polyline segments meet counts once). Lines, rays, construction lines, arcs, circles and
  // both kinds of polyline, under AcDb::Intersect: extending makes a line or ray infinite,
  // an arc its circle, an open polyline run on past its ends; closed curves never extend.
  // Curves in one plane meet exactly (tangency gives one point, overlapping stretches none);
  // otherwise where one crosses the other's plane. eNullEntityPointer, eInvalidInput for a
  // mode outside 0..3, eNotImplementedYet for other entities. The projection-plane form
  // intersects the two as seen along the plane's normal and gives the points on this entity;
  // planar curves must lie in planes parallel to it (eNotImplementedYet otherwise).
  virtual Acad::ErrorStatus intersectWith(const AcDbEntity* pEnt, AcDb::Intersect intType,
                                          AcGePoint3dArray& points,
                                          Adesk::LongPtr thisGsMarker = 0,
                                          Adesk::LongPtr otherGsMarker = 0) const;
  virtual Acad::ErrorStatus intersectWith(const AcDbEntity* pEnt, AcDb::Intersect intType,
                                          const AcGePlane& projPlane, AcGePoint3dArray& points,
                                          Adesk::LongPtr thisGsMarker = 0,
                                          Adesk::LongPtr otherGsMarker = 0) const;

protected:
  AcDbEntity();
  AcDbEntity(const AcDbEntity&) = default;
  AcDbEntity& operator=(const AcDbEntity&) = default;
  const AcRxClass* copyTypedData(const AcDbObject& src) override;
  void translateIds(const contura::db::IdTranslator& translator) override;
  // Parts that follow the entity's property changes when doSubents is true.
  virtual void collectSubentities(AcArray<AcDbEntity*>& parts) const;

private:
  friend struct contura::db::ObjectAccess;
  AcDbStub* mpLayer = nullptr;
  AcDbStub* mpLinetype = nullptr;
  double mLinetypeScale = 1.0;
  AcCmEntityColor mColor;
  Adesk::Int16 mLineWeight = AcDb::kLnWtByLayer;
  Adesk::UInt8 mVisibility = AcDb::kVisible;
};

// ---------------------------------------------------------------------------------------
// Walks the parts of a complex entity (vertices of an old-style polyline, attributes of a
// block reference) in order. The caller deletes the iterator.
class AcDbObjectIterator {
public:
  virtual ~AcDbObjectIterator();
  bool done() const;
  void step(bool backwards = false, bool skipErasedObjects = true);
  void setPosition(AcDbEntity* pEnt);
  void setPosition(AcDbObjectId pObj);
  void start(bool atEnd = false);
  // The part at the current position: its object (in memory, not opened: open objectId()
  // to work on a part of an entity in a database) and its id (null while the owner is new).
  AcDbEntity* entity();
  AcDbObjectId objectId();

private:
  friend struct contura::db::ObjectAccess;
  AcDbObjectIterator() = default;
  AcArray<AcDbEntity*> mEntities;
  AcArray<AcDbStub*> mIds;
  int mPos = 0;
};

// ---------------------------------------------------------------------------------------
class AcDbDatabase : public AcRxObject {
public:
  ACRX_DECLARE_MEMBERS(AcDbDatabase);
  // buildDefaultDrawing: layer "0", model and paper space, linetypes ByBlock, ByLayer and
  // Continuous, text style and dimension style "Standard", registered application "ACAD",
  // viewport "*ACTIVE", the named object dictionary with ACAD_GROUP. Without it the database
  // is empty (a drawing file reader fills it).
  explicit AcDbDatabase(bool buildDefaultDrawing = true, bool noDocument = false);
  ~AcDbDatabase() override;  // deletes every object it holds
  AcDbDatabase(const AcDbDatabase&) = delete;
  AcDbDatabase& operator=(const AcDbDatabase&) = delete;

  // Adds an object without owner; it gets the next handle and stays open for write.
  // eNullObjectPointer, eAlreadyInDb.
  Acad::ErrorStatus addAcDbObject(AcDbObject* pObj);
  Acad::ErrorStatus addAcDbObject(AcDbObjectId& objId, AcDbObject* pObj);
  // The id of the object with that handle. With createIfNotFound an id is made for a handle
  // not seen yet (its object may arrive later); else eUnknownHandle. eNullHandle for 0.
  Acad::ErrorStatus getAcDbObjectId(AcDbObjectId& retId, bool createIfNotFound,
                                    const AcDbHandle& objHandle, Adesk::UInt32 xRefId = 0);
  AcDbHandle handseed() const;  // the handle the next new object gets
  Adesk::Int32 approxNumObjects() const;

  // Symbol tables and dictionaries (eNullObjectId when the drawing has none).
  Acad::ErrorStatus getBlockTable(AcDbBlockTable*& pTable, AcDb::OpenMode mode = AcDb::kForRead);
  Acad::ErrorStatus getLayerTable(AcDbLayerTable*& pTable, AcDb::OpenMode mode = AcDb::kForRead);
  Acad::ErrorStatus getTextStyleTable(AcDbTextStyleTable*& pTable, AcDb::OpenMode mode = AcDb::kForRead);
  Acad::ErrorStatus getLinetypeTable(AcDbLinetypeTable*& pTable, AcDb::OpenMode mode = AcDb::kForRead);
  Acad::ErrorStatus getViewTable(AcDbViewTable*& pTable, AcDb::OpenMode mode = AcDb::kForRead);
  Acad::ErrorStatus getUCSTable(AcDbUCSTable*& pTable, AcDb::OpenMode mode = AcDb::kForRead);
  Acad::ErrorStatus getViewportTable(AcDbViewportTable*& pTable, AcDb::OpenMode mode = AcDb::kForRead);
  Acad::ErrorStatus getRegAppTable(AcDbRegAppTable*& pTable, AcDb::OpenMode mode = AcDb::kForRead);
  Acad::ErrorStatus getDimStyleTable(AcDbDimStyleTable*& pTable, AcDb::OpenMode mode = AcDb::kForRead);
  Acad::ErrorStatus getSymbolTable(AcDbBlockTable*& pTable, AcDb::OpenMode mode = AcDb::kForRead) { return getBlockTable(pTable, mode); }
  Acad::ErrorStatus getSymbolTable(AcDbLayerTable*& pTable, AcDb::OpenMode mode = AcDb::kForRead) { return getLayerTable(pTable, mode); }
  Acad::ErrorStatus getSymbolTable(AcDbTextStyleTable*& pTable, AcDb::OpenMode mode = AcDb::kForRead) { return getTextStyleTable(pTable, mode); }
  Acad::ErrorStatus getSymbolTable(AcDbLinetypeTable*& pTable, AcDb::OpenMode mode = AcDb::kForRead) { return getLinetypeTable(pTable, mode); }
  Acad::ErrorStatus getSymbolTable(AcDbViewTable*& pTable, AcDb::OpenMode mode = AcDb::kForRead) { return getViewTable(pTable, mode); }
  Acad::ErrorStatus getSymbolTable(AcDbUCSTable*& pTable, AcDb::OpenMode mode = AcDb::kForRead) { return getUCSTable(pTable, mode); }
  Acad::ErrorStatus getSymbolTable(AcDbViewportTable*& pTable, AcDb::OpenMode mode = AcDb::kForRead) { return getViewportTable(pTable, mode); }
  Acad::ErrorStatus getSymbolTable(AcDbRegAppTable*& pTable, AcDb::OpenMode mode = AcDb::kForRead) { return getRegAppTable(pTable, mode); }
  Acad::ErrorStatus getSymbolTable(AcDbDimStyleTable*& pTable, AcDb::OpenMode mode = AcDb::kForRead) { return getDimStyleTable(pTable, mode); }
  AcDbObjectId blockTableId() const;
  AcDbObjectId layerTableId() const;
  AcDbObjectId textStyleTableId() const;
  AcDbObjectId linetypeTableId() const;
  AcDbObjectId viewTableId() const;
  AcDbObjectId UCSTableId() const;
  AcDbObjectId viewportTableId() const;
  AcDbObjectId regAppTableId() const;
  AcDbObjectId dimStyleTableId() const;
  Acad::ErrorStatus getNamedObjectsDictionary(AcDbDictionary*& pDict, AcDb::OpenMode mode = AcDb::kForRead);
  AcDbObjectId namedObjectsDictionaryId() const;
  // The ACAD_GROUP entry of the named object dictionary.
  Acad::ErrorStatus getGroupDictionary(AcDbDictionary*& pDict, AcDb::OpenMode mode = AcDb::kForRead);
  AcDbObjectId groupDictionaryId() const;
  AcDbObjectId byLayerLinetype() const;
  AcDbObjectId byBlockLinetype() const;
  AcDbObjectId continuousLinetype() const;

  // Header variables. The id setters check the record kind (eWrongObjectType) and database.
  AcDbObjectId clayer() const;
  Acad::ErrorStatus setClayer(AcDbObjectId objId);
  AcDbObjectId textstyle() const;
  Acad::ErrorStatus setTextstyle(AcDbObjectId objId);
  AcDbObjectId celtype() const;
  Acad::ErrorStatus setCeltype(AcDbObjectId objId);
  AcDbObjectId dimstyle() const;
  Acad::ErrorStatus setDimstyle(AcDbObjectId objId);
  AcCmColor cecolor() const;
  Acad::ErrorStatus setCecolor(const AcCmColor& color);
  double celtscale() const;
  Acad::ErrorStatus setCeltscale(double scale);
  double ltscale() const;
  Acad::ErrorStatus setLtscale(double scale);
  AcDb::LineWeight celweight() const;
  Acad::ErrorStatus setCelweight(AcDb::LineWeight weight);
  double textsize() const;
  Acad::ErrorStatus setTextsize(double size);
  AcGePoint3d insbase() const;
  Acad::ErrorStatus setInsbase(const AcGePoint3d& insbase);
  AcGePoint3d extmin() const;
  AcGePoint3d extmax() const;
  Acad::ErrorStatus setExtmin(const AcGePoint3d& min);
  Acad::ErrorStatus setExtmax(const AcGePoint3d& max);
  // Sets extmin/extmax to the extents of the non-erased model-space entities.
  Acad::ErrorStatus updateExt(bool doBestFit = false);

  // The whole database copied into a new one the caller owns (same handles).
  Acad::ErrorStatus wblock(AcDbDatabase*& pOutputDb);
  // pDb's model space copied into this database's model space, transformed by xform. Layers,
  // linetypes, text styles, dimension styles, registered applications, named blocks and
  // groups are copied by name; where this database already has a record of the same name,
  // the existing one wins and the copies use it. Anonymous blocks are copied under new
  // anonymous names. pDb is never changed. eSelfReference for this database itself.
  Acad::ErrorStatus insert(const AcGeMatrix3d& xform, AcDbDatabase* pDb,
                           bool preserveSourceDatabase = true);
  // pDb's model space copied into a new block named pBlockName (eDuplicateRecordName when
  // the name is taken, eInvalidInput for an empty name).
  Acad::ErrorStatus insert(AcDbObjectId& blockId, const ACHAR* pBlockName, AcDbDatabase* pDb,
                           bool preserveSourceDatabase = true);

  // Drawing files, through the reader and writer the program installs (contura/db/file_io.h).
  // readDwgFile needs an empty database (constructed without the default drawing):
  // eInvalidInput otherwise. eNotImplementedYet when no reader or writer is installed; the
  // reader's status (eFileNotFound, eDwgNotRecoverable, ...) otherwise. On success the
  // database's file name is fileName.
  Acad::ErrorStatus readDwgFile(const ACHAR* fileName, int shareMode = 0x20,
                                bool bAllowCPConversion = false, const wchar_t* password = nullptr);
  Acad::ErrorStatus saveAs(const ACHAR* fileName);
  // The file the drawing was read from or last saved to ("" for a new drawing).
  Acad::ErrorStatus getFilename(const ACHAR*& pOutput) const;

  struct Impl;  // the database's state, opaque outside the database library

private:
  friend struct contura::db::ObjectAccess;
  std::unique_ptr<Impl> mImpl;
};

// ---------------------------------------------------------------------------------------
// Opening objects by id (see the protocol above). pClass filters by class (null: any).
Acad::ErrorStatus acdbOpenObject(AcDbObject*& pObj, AcDbObjectId id, AcDb::OpenMode mode,
                                 bool openErased, const AcRxClass* pClass);
Acad::ErrorStatus acdbOpenObject(AcDbObject*& pObj, AcDbObjectId id, AcDb::OpenMode mode,
                                 bool openErased = false);
// Entities only: an object that is not an entity gives eNotAnEntity.
Acad::ErrorStatus acdbOpenObject(AcDbEntity*& pEnt, AcDbObjectId id, AcDb::OpenMode mode,
                                 bool openErased = false);
Acad::ErrorStatus acdbOpenAcDbObject(AcDbObject*& pObj, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased = false, const AcRxClass* pClass = nullptr);
Acad::ErrorStatus acdbOpenAcDbEntity(AcDbEntity*& pEnt, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased = false, const AcRxClass* pClass = nullptr);

// Typed open: opens the object, casts it to T; when it is not a T, closes it again and
// returns eNotThatKindOfClass with pObj null.
template <class T>
inline Acad::ErrorStatus acdbOpenObject(T*& pObj, AcDbObjectId id,
                                        AcDb::OpenMode mode = AcDb::kForRead,
                                        bool openErased = false) {
  pObj = nullptr;
  AcDbObject* pRaw = nullptr;
  Acad::ErrorStatus es = acdbOpenObject(pRaw, id, mode, openErased);
  if (es != Acad::eOk) return es;
  pObj = T::cast(pRaw);
  if (pObj == nullptr) {
    pRaw->close();
    return Acad::eNotThatKindOfClass;
  }
  return Acad::eOk;
}

// Entity names (ads_name) and ids. acdbGetObjectId: eInvalidAdsName for a name that does
// not name an object of a live database.
Acad::ErrorStatus acdbGetAdsName(ads_name& objName, AcDbObjectId objId);
Acad::ErrorStatus acdbGetObjectId(AcDbObjectId& objId, const ads_name objName);
// The id behind an entry of AcDbObject::reactors() (null for anything else).
AcDbObjectId acdbPersistentReactorObjectId(const void* pSomething);
bool acdbIsPersistentReactor(const void* pSomething);

#include <dbapserv.h>
