// AcGePoint3dArray: an AcArray of AcGePoint3d.
#pragma once
#include "acarray.h"
#include "gepnt3d.h"

typedef AcArray<AcGePoint3d> AcGePoint3dArray;
