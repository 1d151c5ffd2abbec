// AcGeDoubleArray: an AcArray of double.
#pragma once
#include "acarray.h"

typedef AcArray<double> AcGeDoubleArray;
