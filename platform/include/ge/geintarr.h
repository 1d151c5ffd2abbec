// AcGeIntArray: an AcArray of int.
#pragma once
#include "acarray.h"

typedef AcArray<int> AcGeIntArray;
