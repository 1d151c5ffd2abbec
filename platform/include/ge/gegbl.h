// AcGe: shared enumerations of the geometry library and AcGeContext, its global settings.
#pragma once
#include "adesk.h"
#include "getol.h"

class AcGeVector3d;

struct AcGe {
  // Result of calls that can fail on degenerate input (zero vector, singular matrix...).
  enum ErrorCondition {
    kOk = 0,
    k0This,
    k0Arg1,
    k0Arg2,
    kPerpendicularArg1Arg2,
    kEqualArg1Arg2,
    kEqualArg1Arg3,
    kEqualArg2Arg3,
    kLinearlyDependentArg1Arg2Arg3,
    kArg1TooBig,
    kArg1OnThis,
    kArg1InsideThis,
    kNonCoplanarGeometry,
    kDegenerateGeometry,
    kSingularPoint
  };

  // What kind of geometric entity an AcGeEntity2d is (the subset this library provides).
  enum EntityId {
    kEntity2d = 0,
    kCurve2d,
    kLinearEnt2d,
    kLine2d,
    kLineSeg2d,
    kRay2d,
    kCircArc2d,
    kCurveCurveInt2d,
    kPlane
  };

  // How two curves sit against each other at an intersection or an overlap end.
  enum AcGeXConfig {
    kNotDefined = 1 << 0,
    kUnknown = 1 << 1,
    kLeftRight = 1 << 2,
    kRightLeft = 1 << 3,
    kLeftLeft = 1 << 4,
    kRightRight = 1 << 5,
    kPointLeft = 1 << 6,
    kPointRight = 1 << 7,
    kLeftOverlap = 1 << 8,
    kOverlapLeft = 1 << 9,
    kRightOverlap = 1 << 10,
    kOverlapRight = 1 << 11,
    kOverlapStart = 1 << 12,
    kOverlapEnd = 1 << 13,
    kOverlapOverlap = 1 << 14
  };
};

// Process-wide settings of the geometry library.
struct AcGeContext {
  // Default tolerance used by every call whose tolerance argument is omitted.
  static AcGeTol gTol;
};
