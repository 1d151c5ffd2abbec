// Forward declarations of every geometry class, for headers that only pass them by reference.
#pragma once

class AcGeTol;
class AcGePoint2d;
class AcGePoint3d;
class AcGeVector2d;
class AcGeVector3d;
class AcGeMatrix2d;
class AcGeMatrix3d;
class AcGeScale3d;
class AcGePlane;
class AcGeInterval;
class AcGeEntity2d;
class AcGeCurve2d;
class AcGeLinearEnt2d;
class AcGeLine2d;
class AcGeLineSeg2d;
class AcGeRay2d;
class AcGeCircArc2d;
class AcGeCurveCurveInt2d;
struct AcGe;
struct AcGeContext;
