// CSectionString: section outline texts turned into geometry, and the section dialog run on a
// caller's record and list; exported for other modules built against Contura.arx.
#pragma once
#include <afxtempl.h>
#include <dbpl.h>
#include <dbregion.h>
#include <gepnt3d.h>

#include "UserSectionInfo.h"

// No fields, no base class, no virtual members: every operation is static. Geometry handed
// out is not in any database; the caller owns it and appends it to a database or deletes it.
class CSectionString {
public:
  CSectionString();
  ~CSectionString();
  CSectionString& operator=(const CSectionString& other);

  // A new polyline from the outline record of text (keys Points and BasePoint), moved so
  // that its base point lies on the origin; basePoint then holds the origin (the value it
  // held on entry is not used). 0: success; otherwise the result of readPolylineSection
  // (codes below), pPline is left null and nothing is allocated.
  static int getSectionPolylineFromString(AcDbPolyline*& pPline, AcGePoint3d& basePoint, CString text);

  // The region of that outline, in the same coordinates (base point at the origin).
  // 0: success; 1 the outline could not be read; 2 the region could not be built; 4 no
  // region came out. Only the first region is used; the temporary polyline is deleted on
  // every path and pRegion is set only on success.
  static int getSectionRegionFromString(AcDbRegion*& pRegion, AcGePoint3d& basePoint, CString text);

  // Runs the section dialog on a copy of info and lib. 0: the person confirmed, and the
  // dialog's current section and list are copied back element by element; 1: cancelled,
  // info and lib unchanged. The module's resources are current around the dialog.
  static int getUserSelectSection(CUserSectionInfo& info, CArray<CUserSectionInfo, CUserSectionInfo>& lib);

  // The polyline of an outline text, in the text's own coordinates, with its base point.
  // The text is cut into lines; the value of the first line with key Points (letter case not
  // minded) is cut at ';' into items "x,y,bulge": x before the item's first comma, y after it
  // (up to the next comma), the bulge after its last comma, so an item of two numbers takes
  // its y as bulge. Each item is one vertex (widths 0); the polyline is not marked closed.
  // BasePoint holds "x,y".
  //
  // Malformed text gives no polyline at all: pPline is set null at the start and a polyline
  // is allocated only once every number has been read. A number must fill its whole piece
  // (white space round it allowed) and be finite: "12abc", "", "nan" are not numbers. The
  // result codes follow the steps of the reading:
  enum {
    kOutlineNoPoints = 1,          // no Points key, or its value is empty (no items)
    kOutlineItemWithoutComma = 2,  // an item without a comma
    kOutlineBadNumber = 3,         // an item whose x, y or bulge is not a number
    kOutlineBadBasePoint = 4,      // no BasePoint key, or its value is not "x,y" numbers
  };
  // 0: success, basePoint is (x, y, 0) of BasePoint and pPline a new polyline owned by the
  // caller; otherwise one of the codes above and basePoint untouched.
  static int readPolylineSection(AcDbPolyline*& pPline, AcGePoint3d& basePoint, CString text);
};
