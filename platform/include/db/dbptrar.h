// AcDbVoidPtrArray: an AcArray of untyped pointers (usually AcDbEntity* pieces the holder owns).
#pragma once
#include <acarray.h>

typedef AcArray<void*> AcDbVoidPtrArray;
