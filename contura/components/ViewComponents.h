// The module's view of its two outside components: the view library (preview windows, the
// "Draw2DCtrl" control, data exchange, light geometry classes) and the variable entity.
#pragma once
#include <AcDbVarCommon.h>
#include <Draw2DWindow.h>
#include <Vistrel2DGeometry.h>
