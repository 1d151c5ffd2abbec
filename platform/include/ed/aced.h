// The host's editor interface for C++ modules: the global editor functions, colours of the
// host's palette, views, and the document manager.
#pragma once
#include <acadstrc.h>
#include <acdocman.h>
#include <adesk.h>

#include "adslib.h"

class AcDbViewTableRecord;
class AcDbViewport;

// The palette colour of index `color` (0-255): red in the low byte, green in the second,
// blue in the third, as a Windows COLORREF. Other values give 0.
Adesk::UInt32 acedGetRGB(int color);
// Copies the displayed view into the "*ACTIVE" viewport table record of the working
// database (made when it is missing). This host always displays model space, so the
// paper-space case of the host (eNotApplicable) does not arise; eNoDatabase without a
// working database.
Acad::ErrorStatus acedVports2VportTableRecords();
// Makes the view record's centre, height, width, target, direction and twist the displayed
// view. pVP must be null (the current viewport). eNullObjectPointer for a null view,
// eInvalidInput for a viewport entity.
Acad::ErrorStatus acedSetCurrentView(AcDbViewTableRecord* pVwRec, AcDbViewport* pVP);
