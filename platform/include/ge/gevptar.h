// AcGeVoidPointerArray: an AcArray of untyped pointers owned by whoever filled it.
#pragma once
#include "acarray.h"

typedef AcArray<void*> AcGeVoidPointerArray;
