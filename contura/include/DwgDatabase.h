// CDwgDatabase: the drawing-database toolkit that Contura.arx exports to other modules of the
// product. A plain value wrapping one AcDbDatabase (never owned), with 316 public members in
// thirteen families: the frame, id and pointer arrays, points and extents, entities, layers,
// blocks and references, whole-database maintenance, texts, curve points and ends, curve
// relations, curve editing and chains, regions, and editor interaction.
//
// Conventions every member follows unless its comment says otherwise:
// - int results: 0 success, else the step that failed counted from 1 (1 as a rule: an object
//   could not be opened; 2: the host refused the call on it). bool results: false on any
//   failure. Points, vectors and doubles by value: zero when the object cannot be read.
// - Instance members store the status of each host call they test in m_esLast, and the
//   result of each nested toolkit call in m_nLastResult, just before testing it. Static
//   members record nothing.
// - An id argument is opened by the member (read unless it changes the object; members that
//   change a state only when it differs open for read and upgrade), with the class the
//   member expects, and closed again on every path. Pointer arguments are the caller's open
//   (or non-resident) objects: never opened, closed or deleted here. A pointer passed by
//   reference is an output the caller then owns (or, for the end-moving members, the
//   caller's object changed in place).
// - Id forms of a pointer member return 1 when the open fails and 2 when the pointer form
//   fails.
// - Table-level work uses the wrapped database; work on an id uses the id's database.
// - Curve arrays (AcDbVoidPtrArray) hold non-resident AcDbCurve* (occasionally other
//   AcDbEntity*) owned by whoever holds the array.
// - Points within 0.1 drawing units are one point in point arrays; a point is on a curve
//   when its closest point is nearer than 0.1. Angles use pi, 2 pi and pi/2 at single
//   precision, widened.
// - No transactions, no message boxes, nothing thrown: a failure is always a return value.
//
// Which members are built: see the family files in contura/dwgtoolkit/. A member declared
// here and not yet built is not exported (a module using it fails to load with the
// missing symbol's name instead of misbehaving).
#pragma once
#include <afx.h>
#include <afxcoll.h>
#include <afxtempl.h>
#include <afxwin.h>
#include <dbents.h>
#include <dbextents.h>
#include <dbidar.h>
#include <dbmain.h>
#include <dbpl.h>
#include <dbptrar.h>
#include <dbregion.h>
#include <dbsol3d.h>
#include <dbsymtb.h>
#include <gemat3d.h>
#include <gepnt2d.h>
#include <gepnt3d.h>
#include <gept3dar.h>
#include <gevec3d.h>

// No base class, no virtual members; fields in this order (other modules are compiled
// against this layout).
class CDwgDatabase {
public:
  // ---- Frame ---------------------------------------------------------------------------
  // Stores pDb; null stores the working database of this moment (a later change of the
  // working database does not rebind: setDb does).
  CDwgDatabase(AcDbDatabase* pDb = NULL);
  // Does nothing: the database is never closed or deleted.
  ~CDwgDatabase();
  // Copies all three fields: both objects then wrap the same database.
  CDwgDatabase& operator=(const CDwgDatabase& other);
  // Replaces the wrapped database; stored unchanged, null included.
  void setDb(AcDbDatabase* pDb);

  // ---- Id and pointer arrays (7) ---------------------------------------------
  // Set operations on id arrays, comparing ids by equality, and on curve arrays by pointer
  // identity. They work in place and keep the order of what remains.
  // Appends each id of the first array to the second unless the second already holds it.
  static void appendIdArrayToIdArray(AcDbObjectIdArray&, AcDbObjectIdArray&);
  // Deletes every non-null object in the array, then sets its length to 0.
  static void deleteAcdbVoidArray(AcDbVoidPtrArray&);
  // Keeps in the first array only the ids that also occur in the second, in their order.
  static void getObjIdArrayInTolArray(AcDbObjectIdArray&, AcDbObjectIdArray&);
  // For each non-null pointer of the second array, removes its first occurrence (pointer
  // identity) from the first; nothing is deleted.
  static void removeAcdbVoidArray(AcDbVoidPtrArray&, AcDbVoidPtrArray&);
  // For each id of the first array, removes its first occurrence from the second.
  static void removeIdArrayFromIdArray(AcDbObjectIdArray&, AcDbObjectIdArray&);
  // Removes the first occurrence of the id from the array.
  static void removeIdFromIdArray(AcDbObjectId&, AcDbObjectIdArray&);
  // Removes from the first array every occurrence of every id of the second.
  static void removeObjIdArray(AcDbObjectIdArray&, AcDbObjectIdArray&);

  // ---- Points, vectors and extents (20) ---------------------------------------
  // Pure geometry on `AcGePoint3d`, `AcGeVector3d` and `AcDbExtents` values; no database access.
  static void addPointToArray(AcGePoint3dArray&, AcGePoint3d);
  static void addPointToArray(AcGePoint3dArray&, AcGePoint3dArray&);
  static bool get2ExtentCross(AcDbExtents&, AcDbExtents&, AcDbExtents&);
  // Component-wise p1 + (p2 − p1) × 0.5.
  static AcGePoint3d getMidPoint(AcGePoint3d, AcGePoint3d);
  static double getVectAngle1PI(AcGeVector3d, AcGeVector3d);
  static double getVectAngle2PI(AcGeVector3d);
  static double getVectAngle2PI(AcGeVector3d, AcGeVector3d);
  static bool isExtentIn(AcDbExtents&, AcDbExtents&);
  // True when some point of the array lies within 0.1 (inclusive) of the point.
  static bool isPointInArray(AcGePoint3dArray&, AcGePoint3d);
  static bool isPointInExtent(AcDbExtents&, AcGePoint3d);
  // Same, in 2D.
  static bool isSamePoint(AcGePoint2d, AcGePoint2d, double);
  // True when the distance is at most the tolerance (inclusive).
  static bool isSamePoint(AcGePoint3d, AcGePoint3d, double);
  static bool isVectCodirectional(AcGeVector3d, AcGeVector3d);
  static bool isVectIn2Vect(AcGeVector3d, AcGeVector3d, AcGeVector3d);
  static bool isVectParallel(AcGeVector3d, AcGeVector3d);
  // (x, y, 0).
  static AcGePoint3d pt2To3(AcGePoint2d);
  // (x, y); z dropped.
  static AcGePoint2d pt3To2(AcGePoint3d);
  // Removes every point within 0.1 (inclusive) of the point, keeping the order of the rest.
  static void removePoint(AcGePoint3dArray&, AcGePoint3d);
  // Applies the single-point form for each point of the second array.
  static void removePoint(AcGePoint3dArray&, AcGePoint3dArray&);
  static void sortPoints(AcGePoint3dArray&);

  // ---- Entities (26) ----------------------------------------------------------
  // Appending to model space, erasing, copying (through `getTransformedCopy`), exploding (only
  // curve pieces are returned), moving and transforming, flattening onto the XY plane, extents
  // and characteristic points.
  // Appends the entity to model space of the wrapped database. 1: model space not opened; 2:
  // append refused. The entity stays open; the caller closes it.
  int appendEntToDb(AcDbEntity*);
  // Same, returning the new id.
  int appendEntToDb(AcDbObjectId&, AcDbEntity*);
  // Opens for write, erases, closes. 1: open failed.
  static int eraseEntity(AcDbObjectId);
  // Erases each id in order; stops with 1 at the first that cannot be opened for write (those
  // before stay erased).
  static int eraseEntity(AcDbObjectIdArray);
  int eraseNoSelectEntityArray(AcDbObjectIdArray&, AcDbObjectIdArray&);
  // Empties the output, explodes the entity, keeps only the pieces that are curves. 1: explode
  // refused.
  int explodeEntity(AcDbVoidPtrArray&, AcDbEntity*);
  // Opens for read and applies the pointer form; 1: open failed, else the pointer form's result.
  int explodeEntity(AcDbVoidPtrArray&, AcDbObjectId);
  int explodePolyline(AcDbObjectIdArray&);
  static int getEntArrayPoints(AcGePoint3dArray&, AcDbObjectIdArray&);
  // Same for a curve.
  int getEntCopy(AcDbCurve*&, AcDbCurve*);
  // Copy through getTransformedCopy with the identity matrix; 1 when refused.
  static int getEntCopy(AcDbEntity*&, AcDbEntity*);
  // Copy moved by the vector (translation matrix); 1 when refused.
  int getEntCopy(AcDbEntity*&, AcDbEntity*, AcGeVector3d);
  // Opens for read, copies with the identity matrix, closes. 1: open failed; 2: copy refused.
  static int getEntCopy(AcDbEntity*&, AcDbObjectId);
  int getEntCopy(AcDbObjectId&, AcDbEntity*);
  int getEntCopy(AcDbObjectId&, AcDbObjectId);
  static int getEntPoints(AcGePoint3dArray&, AcDbEntity*);
  // Geometric extents of one entity. 1: open failed; 2: extents refused.
  int getExtentFromEnt(AcDbExtents&, AcDbObjectId);
  int getExtentMax(AcDbExtents&);
  int getExtentMax(AcDbExtents&, AcDbObjectIdArray);
  int getExtentMax(AcDbExtents&, AcDbVoidPtrArray&);
  int setEntToXYPlane(AcDbEntity*&);
  int setEntToXYPlane(AcDbObjectIdArray&);
  int transformEntity(AcGeMatrix3d, AcDbEntity*&);
  int transformEntity(AcGeMatrix3d, AcDbObjectId);
  int transformEntity(AcGeMatrix3d, AcDbObjectIdArray&);
  // Moves the open entity by the vector; 2 when transformBy is refused.
  int transformEntity(AcGeVector3d, AcDbEntity*&);

  // ---- Layers (57) ------------------------------------------------------------
  // Layer records by name, id or open record: existence and creation, on/off and lock state,
  // name, colour and description; entities selected by layer; name-prefix maintenance.
  int addLayerPreName(CString);
  // createLayer(name, 255).
  int createLayer(CString);
  // Adds a new layer record with that name and colour index to the wrapped database's layer
  // table. 1: layer table not opened for write.
  int createLayer(CString, int);
  int eraseLayerByPreName(CString);
  int eraseLayerIdArray(AcDbObjectIdArray&);
  int getEntIdArrayNoPreNameLayer(AcDbObjectIdArray&, CString);
  int getEntIdArrayOnLayer(AcDbObjectIdArray&, AcDbObjectId);
  int getEntIdArrayOnLayer(AcDbObjectIdArray&, AcDbObjectIdArray);
  int getEntIdArrayOnLayer(AcDbObjectIdArray&, CString);
  int getEntIdArrayOnLayer(AcDbObjectIdArray&, CStringArray&);
  int getEntIdArrayOnLayerSelect(AcDbObjectIdArray&, CString);
  int getEntIdArrayOnPreNameLayer(AcDbObjectIdArray&, CString);
  int getEntIdArrayOnSameLayer(AcDbObjectIdArray&, AcDbObjectId);
  int getEntIdArrayOnSameLayer(AcDbObjectIdArray&, AcDbObjectIdArray);
  int getEntLayerIdArray(AcDbObjectIdArray&, AcDbObjectId);
  int getEntLayerIdArray(AcDbObjectIdArray&, AcDbObjectIdArray);
  // The entity's layer name. 1: open failed.
  int getEntLayerName(CString&, AcDbObjectId);
  int getEntLayerName(CStringArray&, AcDbObjectId);
  int getEntLayerNameArray(CStringArray&, AcDbObjectIdArray);
  // The layer colour's index (low 16 bits). 1: open failed.
  int getLayerColorFromLayer(int&, AcDbObjectId);
  int getLayerColorFromLayer(int&, CString);
  int getLayerDescription(CString&, AcDbObjectId);
  int getLayerIdArray(AcDbObjectIdArray&);
  int getLayerIdArrayByPreName(AcDbObjectIdArray&, CString);
  int getLayerIdArrayFromName(AcDbObjectIdArray&, CStringArray&);
  int getLayerIdFromName(AcDbObjectId&, CString);
  // Name of the layer record. 1: open failed.
  int getLayerName(CString&, AcDbObjectId);
  int getLayerNameArray(CStringArray&, AcDbObjectIdArray);
  int getLayerTolNameArrayNoZero(CStringArray&);
  int hideSelectEntLayers(AcDbObjectIdArray&);
  bool isEntOnLayer(AcDbEntity*, AcDbLayerTableRecord*);
  // Opens the entity and the layer record (read) and compares; false when either open fails.
  bool isEntOnLayer(AcDbObjectId, AcDbObjectId);
  // Sets 1 when locked, else 0; always returns 0.
  int isLayerLock(int&, AcDbLayerTableRecord*);
  // Opens the record for read; 1: open failed.
  int isLayerLock(int&, AcDbObjectId);
  // Sets 1 when the layer is not off, else 0; always returns 0.
  int isLayerOn(int&, AcDbLayerTableRecord*);
  // Opens the record for read; 1: open failed.
  int isLayerOn(int&, AcDbObjectId);
  // Opens for read; when not locked, upgrades to write and locks. 1: open failed.
  int lockLayer(AcDbObjectId);
  // Sets the lock state to the flag (non-zero locks) on an open record, only when it differs;
  // returns 0.
  int lockLayerSet(int, AcDbLayerTableRecord*);
  // Opens for read; upgrades and changes the lock state only when it differs from the flag. 1:
  // open failed.
  int lockLayerSet(int, AcDbObjectId);
  int setLayerDescription(CString, AcDbObjectId);
  // Opens for read; when on, upgrades and turns it off. 1: open failed.
  int setLayerInvisible(AcDbObjectId);
  // Applies the id form to each layer in order; stops with 1 at the first failure.
  int setLayerInvisible(AcDbObjectIdArray);
  int setLayerInvisible(CString);
  int setLayerInvisible(CStringArray&, bool);
  int setLayerLock(CString);
  int setLayerLock(CStringArray&);
  int setLayerName(CString, AcDbObjectId);
  int setLayerName(CString, CString);
  int setLayerUnlock(CString);
  int setLayerUnlock(CStringArray&);
  // Opens for read; when off, upgrades and turns it on. 1: open failed.
  int setLayerVisible(AcDbObjectId);
  int setLayerVisible(AcDbObjectIdArray);
  int setLayerVisible(CString);
  int setLayerVisible(CStringArray&, bool);
  int showAllLayer(bool);
  int showSelectEntLayers(AcDbObjectIdArray&);
  // Opens for read; when locked, upgrades to write and unlocks. 1: open failed.
  int unlockLayer(AcDbObjectId);

  // ---- Blocks and references (20) ---------------------------------------------
  // Block table records and references: ids, inner entities, references of the same block,
  // attribute and text contents and explosion into curves, outline polylines, erasing and
  // name-prefix maintenance.
  int addBlockPreName(CString);
  int eraseBlock(AcDbBlockTableRecord*);
  // Opens the block table record for write and applies the pointer form. 1: open failed; 3: the
  // pointer form failed.
  int eraseBlock(AcDbObjectId);
  int eraseBlockByPreName(CString);
  int getBlockIdArray(AcDbObjectIdArray&);
  // The block table record id of an open reference; returns 0.
  int getBlockIdFromRef(AcDbObjectId&, AcDbBlockReference*);
  // Opens the reference for read. 1: open failed.
  int getBlockIdFromRef(AcDbObjectId&, AcDbObjectId);
  int getBlockInnerEntityIdArray(AcDbObjectIdArray&, AcDbObjectId);
  int getBlockReferenceAttributeText(CStringArray&, AcDbBlockReference*);
  int getBlockReferenceAttributeText(CStringArray&, AcDbObjectId);
  static int getBlockReferenceExplodeEntity(AcDbVoidPtrArray&, AcDbBlockReference*);
  static int getBlockReferenceExplodeEntity(AcDbVoidPtrArray&, AcDbBlockReference*, AcGeMatrix3d);
  int getBlockReferenceText(CStringArray&, AcDbObjectId);
  int getBlockRefIdArrayByRef(AcDbObjectIdArray&, AcDbObjectId, int, int);
  int getBlockRefIdArrayBySameBlockName(AcDbObjectIdArray&, AcDbObjectIdArray&);
  // Opens the block table of the wrapped database for read and the "*Model_Space" record for
  // write; the caller closes the record. 6: block table not opened; 7: record not opened.
  int getBlockTableRecordModelSpace(AcDbBlockTableRecord*&);
  static int getCurveCrossBlockReferencePoint(AcGePoint3d&, AcDbCurve*, AcDbBlockReference*);
  static int getCurveCrossBlockReferencePoint(AcGePoint3dArray&, AcDbCurve*, AcDbBlockReference*);
  static int getReferenceExtentPL(AcDbPolyline*&, AcDbEntity*);
  // Opens the block reference and applies the pointer form. 1: open failed; 2: pointer form
  // failed.
  static int getReferenceExtentPL(AcDbPolyline*&, AcDbObjectId);

  // ---- Whole-database maintenance (14) ----------------------------------------
  // Operations over the whole wrapped database: groups, text and dimension styles, multi-insert
  // blocks, hatches, old-style 2D polylines, flattening, inserting one database into another and
  // binding external references.
  // Appends the entity to the named group of the wrapped database's group dictionary. 1: no group
  // of that name; 2: group not opened for write; 3: append refused. An invalid id is not appended
  // and returns 0.
  int addMemToGroup(AcDbObjectId, char*);
  int change2dPolylineToPolyline();
  int deleteAllHatch();
  int deleteMInsertBlock();
  int getEntIdArray(AcDbObjectIdArray&);
  int getTextStyleUnable(AcDbObjectIdArray&);
  // wblock of the whole wrapped database into a new database, then inserts it into the target
  // with the identity matrix. 4: wblock refused.
  int insertDbToOtherDb(AcDbDatabase*);
  int insertDbToOtherDb(AcDbDatabase*, AcGeMatrix3d);
  int insertXrefToDB(AcDbDatabase*&);
  int makeGroupName(char*&, CString);
  int repairDimStyle();
  int repairTextStyle();
  int setDbEntToXYPlane();
  int setUnableTextStyleEnable(AcDbObjectIdArray&);

  // ---- Text (18) --------------------------------------------------------------
  // Reading, from a single-line text (`AcDbText`) or a paragraph text (`AcDbMText`), its content,
  // position, height, colour index, layer name and two direction vectors derived from its
  // rotation; collecting texts that equal a given one; replacing text contents. The overloads
  // differ only in which outputs they return: the shorter forms call the full form (eight
  // arguments) and drop the outputs that they do not return; the id forms set the text to the
  // empty string, open the entity for read and return 1 when that fails and 2 when the pointer
  // form fails.
  int getSameTextIdArray(AcDbObjectIdArray&, AcDbObjectId, int, int);
  int getSameTextPropIdArray(AcDbObjectIdArray&, AcDbObjectId, AcDbObjectIdArray&, int, int);
  int getSameTextPropIdArray(AcDbObjectIdArray&, AcDbObjectId, int, int);
  // Sets the text to the empty string first; 1 for a null entity. By exact class: an attribute,
  // attribute definition or single-line text gives its text string, a paragraph text its raw
  // contents (formatting codes included); any other class gives 3.
  int getTextInfo(CString&, AcDbEntity*);
  // Sets the text to "" first, then reads the text of the entity. 1: open failed; 2: not a
  // text-bearing entity.
  int getTextInfo(CString&, AcDbObjectId);
  int getTextInfo(CString&, AcGePoint3d&, AcDbEntity*);
  int getTextInfo(CString&, AcGePoint3d&, AcDbObjectId);
  int getTextInfo(CString&, AcGePoint3d&, AcGeVector3d&, AcGeVector3d&, AcDbEntity*);
  int getTextInfo(CString&, AcGePoint3d&, AcGeVector3d&, AcGeVector3d&, AcDbObjectId);
  int getTextInfo(CString&, AcGePoint3d&, double&, AcDbEntity*);
  int getTextInfo(CString&, AcGePoint3d&, double&, AcDbObjectId);
  int getTextInfo(CString&, AcGePoint3d&, double&, CString&, AcDbEntity*);
  int getTextInfo(CString&, AcGePoint3d&, double&, CString&, AcDbObjectId);
  int getTextInfo(CString&, AcGePoint3d&, double&, int&, CString&, AcDbEntity*);
  int getTextInfo(CString&, AcGePoint3d&, double&, int&, CString&, AcDbObjectId);
  // The full form. Outputs, in order: text (as the two-argument form; its failure gives 3),
  // position, rotation, colour index (low 16 bits), layer name, height vector, width vector.
  // Single-line text: position is its position; width W and height H come from the geometric
  // extents of an unrotated copy (the entity itself when the rotation is below 0.0001 in absolute
  // value). Paragraph text: W and H are its actual width and height; position is its location
  // moved to the bottom-left corner of its box: by 0, −W × 0.5 or −W for a left, centre or right
  // attachment and by −H, −H × 0.5 or 0 for a top, middle or bottom attachment. The height vector
  // is (0, H, 0) and the width vector (W, 0, 0), each rotated about Z by the rotation. Other
  // entity classes: 3.
  int getTextInfo(CString&, AcGePoint3d&, double&, int&, CString&, AcGeVector3d&, AcGeVector3d&, AcDbEntity*);
  int getTextInfo(CString&, AcGePoint3d&, double&, int&, CString&, AcGeVector3d&, AcGeVector3d&, AcDbObjectId);
  int replaceText(AcDbObjectIdArray&, CStringArray&, CStringArray&);

  // ---- Curve points and ends (47) ---------------------------------------------
  // End points, mid points, lengths, direction at a point, arc angles and bulges; tests of a
  // point against a curve's ends, the curve itself and the area it encloses; moving one end of a
  // line, arc or polyline.
  static int getArc2PtAngle(double&, AcDbArc*, AcGePoint3d, AcGePoint3d);
  static double getArcAngle(AcDbCurve*);
  // 0 for a curve that is not an arc; exactly 1.0 when the included angle (getArcAngle) is within
  // 0.00001 of π; otherwise tan(angle × 0.25).
  static double getArcBulge(AcDbCurve*);
  static int getCloestEndPointOnCurve(AcGePoint3d&, AcGePoint3d, AcDbCurve*);
  // getClosestPointTo with the extend flag; 1 when refused.
  static int getCloestPointOnCurve(AcGePoint3d&, AcGePoint3d, AcDbCurve*, bool);
  // Opens as curve; 1: open failed; 2: refused.
  static int getCloestPointOnCurve(AcGePoint3d&, AcGePoint3d, AcDbObjectId, bool);
  // End point by value; (0,0,0) when it cannot be read.
  static AcGePoint3d getCurveEndPt(AcDbCurve*);
  // By value; (0,0,0) on failure.
  static AcGePoint3d getCurveEndPt(AcDbObjectId);
  static int getCurveEndPt(AcGePoint3d&, AcDbCurve*);
  // As above, giving the end point.
  static int getCurveEndPt(AcGePoint3d&, AcDbObjectId);
  static double getCurveLength(AcDbCurve*);
  double getCurveLength(AcDbObjectId);
  static int getCurveLength(double&, AcDbCurve*);
  // Sets 0 first; 1: open as curve failed; 2: length not computed.
  static int getCurveLength(double&, AcDbObjectId);
  static double getCurveLengthOn2Pt(AcGePoint3d, AcGePoint3d, AcDbCurve*);
  static AcGePoint3d getCurveMidPoint(AcDbCurve*);
  static AcGePoint3d getCurveMidPoint(AcDbObjectId);
  static AcGePoint3d getCurveOtherEndPoint(AcGePoint3d, AcDbCurve*);
  static AcGePoint3d getCurveOtherEndPoint(AcGePoint3d, AcDbObjectId);
  // Start point when the flag is true, else end point. 11 when either end point cannot be read.
  static int getCurvePoint(AcGePoint3d&, AcDbCurve*, bool);
  // Both end points. 1: start point refused; 2: end point refused.
  static int getCurvePoint(AcGePoint3d&, AcGePoint3d&, AcDbCurve*);
  // Both end points. 1: open as curve failed or start point refused; 2: end point refused.
  static int getCurvePoint(AcGePoint3d&, AcGePoint3d&, AcDbObjectId);
  static int getCurvePoints(AcGePoint3dArray&, AcDbCurve*);
  // Start point by value; (0,0,0) when it cannot be read.
  static AcGePoint3d getCurveStartPt(AcDbCurve*);
  // By value; (0,0,0) on failure.
  static AcGePoint3d getCurveStartPt(AcDbObjectId);
  static int getCurveStartPt(AcGePoint3d&, AcDbCurve*);
  // 1: open as curve failed; 2: end point refused.
  static int getCurveStartPt(AcGePoint3d&, AcDbObjectId);
  static AcGeVector3d getCurveVectAtPoint(AcDbCurve*, AcGePoint3d);
  static bool isPointCurveEnd(AcDbCurve*, AcGePoint3d);
  static bool isPointCurveStart(AcDbCurve*, AcGePoint3d);
  static bool isPointInCurve(AcDbCurve*, AcGePoint3d);
  static bool isPointInLoopCurve(AcDbCurve*, AcGePoint3d);
  static bool isPointInLoopCurve(AcDbVoidPtrArray&, AcGePoint3d);
  static bool isPointNearCurveStart(AcGePoint3d, AcDbCurve*);
  // Closest point (extend flag passed on) nearer than 0.1 (strict); false when refused.
  static bool isPointOnCurve(AcGePoint3d, AcDbCurve*, bool);
  // Opens as curve; false when the open fails.
  static bool isPointOnCurve(AcGePoint3d, AcDbObjectId, bool);
  static bool isPointOnCurve2End(AcGePoint3d, AcDbCurve*&);
  static bool isPointOnCurveEnd(bool&, AcGePoint3d, AcDbCurve*);
  static bool isPointOnCurveEnd(bool&, AcGePoint3d, AcDbObjectId);
  static int setArcPoint(AcDbArc*&, AcGePoint3d, bool);
  int setCurveAtSameOneEndPoint(AcGePoint3d, AcDbCurve*&, AcDbCurve*&);
  static int setCurvePoint(AcDbCurve*&, AcGePoint3d, AcGePoint3d);
  static int setCurvePoint(AcDbCurve*&, AcGePoint3d, bool);
  // Sets the start point, then the end point (through the single-end form); returns 0.
  static int setCurvePoint(AcGePoint3d, AcGePoint3d, AcDbCurve*&);
  // Opens as curve for write and applies the pointer form. 1: open failed.
  static int setCurvePoint(AcGePoint3d, AcGePoint3d, AcDbObjectId);
  // Sets the start point when the flag is true, else the end point; returns 0.
  static int setLinePoint(AcDbLine*&, AcGePoint3d, bool);
  static int setPolylinePoint(AcDbPolyline*&, AcGePoint3d, bool);

  // ---- Curve relations (36) ---------------------------------------------------
  // Intersections, parallelism, collinearity, tangency, closest distance, projection and the
  // crossing points at a picked point.
  static int get2ParallelCurveProjectLength(double&, AcDbCurve*, AcDbCurve*);
  static int get2ParallelCurveProjectLength(double&, AcDbObjectId, AcDbObjectId);
  static int get2ParallelLineMinExtent(AcDbExtents&, AcDbObjectId, AcDbObjectId);
  int getCurveCrossOnCurvesPoint(AcGePoint3d&, AcGePoint3d, AcDbCurve*&, AcDbVoidPtrArray&, bool);
  // intersectWith of the first curve with the second under the given extension mode, appending to
  // the array; 1 when refused.
  int getCurveCrossPoints(AcGePoint3dArray&, AcDbCurve*, AcDbCurve*, AcDb::Intersect);
  static int getCurveCrossPoints(AcGePoint3dArray&, AcDbCurve*, AcDbVoidPtrArray&, AcDb::Intersect);
  int getCurveCrossPoints(AcGePoint3dArray&, AcDbObjectId, AcDbObjectId, AcDb::Intersect);
  int getCurveCrossPoints(AcGePoint3dArray&, AcDbVoidPtrArray&);
  static int getCurveCrossSetAtPoint(AcGePoint3d, AcDbCurve*, AcDbVoidPtrArray&, AcDbVoidPtrArray&, double);
  int getCurveCrossTwoCurvePoint(AcGePoint3d&, AcGePoint3d, AcDbCurve*&, AcDbCurve*&, AcDbCurve*&, bool);
  // getCurveCrossTwoCurvePoint with the flag false.
  int getCurveCrossTwoFarthestPoint(AcGePoint3d&, AcGePoint3d, AcDbCurve*&, AcDbCurve*&, AcDbCurve*&);
  // getCurveCrossTwoCurvePoint with the flag true.
  int getCurveCrossTwoNearestPoint(AcGePoint3d&, AcGePoint3d, AcDbCurve*&, AcDbCurve*&, AcDbCurve*&);
  static int getCurveProjectOnCurve(AcDbCurve*&, AcDbCurve*, AcDbCurve*);
  static int getCurveProjectPointOnCurve(AcGePoint3dArray&, AcDbCurve*, AcDbCurve*);
  static int getCurveProjectPointOnCurve(AcGePoint3dArray&, AcDbObjectId, AcDbObjectId);
  int getCurvePtMaxMinLength(AcGePoint3d&, AcGePoint3d&, AcGePoint3d, AcDbCurve*&, AcGePoint3dArray&);
  // Full form with no reference point.
  static int getTwoCurveCloestDist(double&, AcDbCurve*, AcDbCurve*);
  static int getTwoCurveCloestDist(double&, AcDbCurve*, AcDbCurve*, AcGePoint3d);
  // Full form with no reference point.
  static int getTwoCurveCloestDist(double&, AcDbObjectId, AcDbObjectId);
  static int getTwoCurveCloestDist(double&, AcDbObjectId, AcDbObjectId, AcGePoint3d);
  static int getTwoCurveCloestDist(double&, bool&, bool&, AcDbCurve*, AcDbCurve*);
  static int getTwoCurveCloestDist(double&, bool&, bool&, AcDbCurve*, AcDbCurve*, AcGePoint3d);
  static int getTwoCurveCrossPoint(AcGePoint3d&, AcGePoint3d, AcDbCurve*, AcDbCurve*);
  static int getTwoCurveCrossPoint(AcGePoint3dArray&, AcDbCurve*, AcDbCurve*, bool);
  static int getTwoCurveUnitePoints(bool&, AcGePoint3d&, AcGePoint3d&, AcDbCurve*, AcDbCurve*);
  static int getTwoCurveUnitePoints(bool&, AcGePoint3d&, AcGePoint3d&, AcDbObjectId, AcDbObjectId);
  static bool isCurveIntersect(AcDbCurve*, AcDbCurve*);
  static bool isCurveIntersect(AcDbCurve*, AcDbCurve*, AcGePoint3d&);
  // Parallel at tolerance 0.1 and the distance between them at most the given tolerance
  // (inclusive).
  static bool isOnSameCurves(AcDbCurve*, AcDbCurve*, double);
  // Id form of the same test.
  static bool isOnSameCurves(AcDbObjectId, AcDbObjectId, double);
  static bool isParallelCurves(AcDbCurve*, AcDbCurve*, double);
  // Id form of the distance-returning test with the default 0.1 passed as tolerance.
  static bool isParallelCurves(AcDbObjectId, AcDbObjectId, double);
  static bool isParallelCurves(double&, AcDbCurve*, AcDbCurve*, double);
  // Opens both as curves (read); false when either open fails.
  static bool isParallelCurves(double&, AcDbObjectId, AcDbObjectId, double);
  bool isSameCurves(AcDbCurve*, AcDbCurve*);
  static bool isTangentCurves(AcDbCurve*, AcDbCurve*, AcGePoint3d);

  // ---- Curve editing and chains (27) ------------------------------------------
  // Breaking, joining, offsetting, creating lines and arcs from two points and a bulge, building
  // polylines from curve chains, sorting curves around a point or into a continuous chain,
  // dividing curves into linked groups.5 (chains, zones, loops) give the central members at
  // depth.
  int breakCurve(AcDbVoidPtrArray&, AcDbCurve*, AcGePoint3d);
  int breakCurve(AcDbVoidPtrArray&, AcDbCurve*, AcGePoint3dArray);
  int breakCurve(AcDbVoidPtrArray&, AcDbObjectId, AcGePoint3dArray);
  // The 3D form with z = 0.
  static int createCurve(AcDbCurve*&, AcGePoint2d, AcGePoint2d, double);
  static int createCurve(AcDbCurve*&, AcGePoint3d, AcGePoint3d, double);
  static int createPolyline(AcDbCurve*&, AcDbVoidPtrArray&);
  // Opens the old-style polyline for read, converts it, appends the result to model space and
  // closes it. 1: open failed; 2: conversion failed; 3: append failed.
  int createPolylineFrom2dPolyline(AcDbObjectId&, AcDbObjectId);
  int createPolylineFrom2dPolyline(AcDbPolyline*&, AcDb2dPolyline*);
  int divideCurvesIsLinked2End(AcDbVoidPtrArray&, AcDbVoidPtrArray&, AcDbVoidPtrArray&);
  int eraseCurveShort(AcDbObjectIdArray&, double);
  void getCurveArrayAtPointFromArray(AcDbVoidPtrArray&, AcDbVoidPtrArray&, AcGePoint3d);
  int getCurveAtPtSortInfo(int&, int&, AcDbVoidPtrArray&, AcGePoint3d, AcGeVector3d);
  void getCurvesZone(CArray<AcDbVoidPtrArray, const AcDbVoidPtrArray&>&, AcDbVoidPtrArray&);
  int getCurveZoneOutLoop(AcDbVoidPtrArray&, AcDbVoidPtrArray&);
  static int getPolylineFromCurves(AcDbPolyline*&, AcDbObjectId, AcDbObjectIdArray&, AcDbObjectIdArray);
  static int getPolylineFromCurves(AcDbPolyline*&, AcDbVoidPtrArray&);
  int offsetCurveCopy(AcDbCurve*&, AcDbCurve*, double);
  int sortCurvesAtPt(AcDbObjectIdArray&, AcDbObjectIdArray&, AcGePoint3d, bool);
  int sortCurvesAtPt(AcDbVoidPtrArray&, AcDbVoidPtrArray&, AcGePoint3d, bool);
  int sortCurvesByContinue(AcDbVoidPtrArray&, bool, double);
  static int unitCurvesOnSameCurve(AcDbObjectIdArray&);
  static int unitCurvesOnSameCurve(AcDbVoidPtrArray&);
  int unitRedrawCurve(AcDbObjectIdArray&);
  int unitRedrawCurve(AcDbVoidPtrArray&);
  int unitRedrawCurve(AcDbVoidPtrArray&, AcDbVoidPtrArray&);
  static int unitTwoCurve(bool&, AcDbCurve*, AcDbCurve*);
  static int unitTwoCurve(bool&, AcDbObjectId, AcDbObjectId, bool);

  // ---- Regions, hatches and solids (24) ---------------------------------------
  // Regions made from curves, regions found around a picked point, area, perimeter and centre of
  // regions, outline polylines of regions and hatches, area and volume of 3D solids.
  static int createRegionFromCurve(AcDbRegion*&, AcDbCurve*);
  int createRegionFromCurveArray(AcDbRegion*, AcDbVoidPtrArray&);
  static int createRegionFromCurves(AcDbRegion*&, AcDbVoidPtrArray&);
  static int getHatchSolidExtentPL(AcDbPolyline*&, AcDbEntity*);
  static int getHatchSolidExtentPL(AcDbPolyline*&, AcDbObjectId);
  double getRegionArea(AcDbObjectId);
  // getRegionInfo keeping the area.
  int getRegionArea(double&, AcDbObjectId);
  static int getRegionCenter(AcGePoint3d&, AcDbRegion*);
  static int getRegionExtentPL(AcDbPolyline*&, AcDbEntity*);
  // Opens as region and applies the pointer form. 1: open failed; 2: pointer form failed.
  static int getRegionExtentPL(AcDbPolyline*&, AcDbObjectId);
  int getRegionFromCurveIdArrayOnFirstCurvePoint(AcDbVoidPtrArray&, AcDbVoidPtrArray&, AcDbCurve*, AcGePoint3d);
  int getRegionFromCurveIdArrayOnPoint(AcDbRegion*&, AcDbObjectIdArray&, AcGePoint3d, bool);
  int getRegionFromCurveIdArrayOnPoint(AcDbVoidPtrArray&, AcDbObjectIdArray&, AcGePoint3d, bool);
  int getRegionFromCurveIdArrayOnPoint(AcDbVoidPtrArray&, AcDbVoidPtrArray&, AcGePoint3d, bool);
  // Opens as region (read). 1: open failed.
  int getRegionInfo(double&, double&, AcDbObjectId);
  // Area into the first, perimeter into the second; returns 0.
  int getRegionInfo(double&, double&, AcDbRegion*);
  double getRegionPerimeter(AcDbObjectId);
  // getRegionInfo keeping the perimeter.
  int getRegionPerimeter(double&, AcDbObjectId);
  double getSolidArea(AcDbObjectId);
  // getSolidInfo keeping the first value.
  int getSolidArea(double&, AcDbObjectId);
  int getSolidInfo(double&, double&, AcDb3dSolid*&);
  // Both outputs set to 0 first; opens as 3D solid (read). 1: open failed; 2: the pointer form
  // failed.
  int getSolidInfo(double&, double&, AcDbObjectId);
  double getSolidVolume(AcDbObjectId);
  // getSolidInfo keeping the second value.
  int getSolidVolume(double&, AcDbObjectId);

  // ---- Interaction (16) -------------------------------------------------------
  // Prompts and selections in the drawing editor, dragging, temporary drawing, zooming, and
  // moving the focus between a module's dialog and the host main window.
  // Empty array: 0. Asks for the base point ("\n指定基点"); cancel: 0; other failure: 1; else the
  // positioned form.
  int dragEntIdArray(AcDbObjectIdArray&);
  // Drags the entities from the base point and moves them by the displacement picked.
  int dragEntIdArray(AcDbObjectIdArray&, AcGePoint3d);
  static void drawCurveTemporary(AcDbObjectId, int);
  // Sets 0, asks for two points ("\n请选择起点：", then "\n请选择终点：" rubber-banded from the first); the
  // distance between them. 1: first point not given; 2: second not given.
  static int getDistByUser(double&);
  // Hides the window's top dialog as above, runs the host command "regen", focuses the window,
  // enables the main window and shows the top dialog again.
  static void RefreshCADOnCurWnd(CWnd*);
  static int selectEnt(AcDbObjectId&, CString);
  int selectEnt(AcDbObjectId&, CString, CString);
  // Empties the array, runs a general selection; cancel gives 1; any other non-normal result
  // gives 0 with the array empty; else the selected ids.
  static int selectEntArray(AcDbObjectIdArray&);
  int selectEntArray(AcDbObjectIdArray&, CString);
  static int selectEntArray(AcDbObjectIdArray&, long*);
  static int selectPoint(AcGePoint3d&, AcGePoint3d, CString);
  static int selectPoint(AcGePoint3d&, CString);
  // Finds the window's ancestor whose parent is the host main window, hides it, enables and
  // focuses the main window; returns that ancestor.
  static CWnd* SetCADFocusHideCurWnd(CWnd*);
  // Focuses the first window, enables the main window, shows the second window.
  static void SetCADLoseFocusShowWnd(CWnd*, CWnd*);
  int zoomEntity(AcDbObjectId&);
  int zoomWindow(AcDbExtents&);

  int m_nLastResult;
  Acad::ErrorStatus m_esLast;
  AcDbDatabase* m_pDb;
};
