// AcDb: the enumerations and constants the drawing database shares with its callers.
#pragma once
#include <adesk.h>
#include <acadstrc.h>

struct AcDb {
  // How an object is opened (acdbOpenObject and friends).
  enum OpenMode { kForRead = 0, kForWrite = 1, kForNotify = 2 };

  // Which operand of intersectWith is treated as extended.
  enum Intersect { kOnBothOperands = 0, kExtendThis = 1, kExtendArg = 2, kExtendBoth = 3 };

  enum Visibility { kVisible = 0, kInvisible = 1 };

  // Single-line text justification.
  enum TextHorzMode { kTextLeft = 0, kTextCenter = 1, kTextRight = 2, kTextAlign = 3,
                      kTextMid = 4, kTextFit = 5 };
  enum TextVertMode { kTextBase = 0, kTextBottom = 1, kTextVertMid = 2, kTextTop = 3 };

  // Line weights in hundredths of a millimetre; the negative values are the special ones.
  enum LineWeight {
    kLnWt000 = 0, kLnWt005 = 5, kLnWt009 = 9, kLnWt013 = 13, kLnWt015 = 15, kLnWt018 = 18,
    kLnWt020 = 20, kLnWt025 = 25, kLnWt030 = 30, kLnWt035 = 35, kLnWt040 = 40, kLnWt050 = 50,
    kLnWt053 = 53, kLnWt060 = 60, kLnWt070 = 70, kLnWt080 = 80, kLnWt090 = 90, kLnWt100 = 100,
    kLnWt106 = 106, kLnWt120 = 120, kLnWt140 = 140, kLnWt158 = 158, kLnWt200 = 200,
    kLnWt211 = 211,
    kLnWtByLayer = -1, kLnWtByBlock = -2, kLnWtByLwDefault = -3
  };

  // Old-style 2D polyline kinds and their vertex kinds.
  enum Poly2dType { k2dSimplePoly = 0, k2dFitCurvePoly = 1, k2dQuadSplinePoly = 2,
                    k2dCubicSplinePoly = 3 };
  enum Vertex2dType { k2dVertex = 0, k2dSplineCtlVertex = 1, k2dSplineFitVertex = 2,
                      k2dCurveFitVertex = 3 };

  // Drawing file versions (the ones the drawing files of this platform name).
  enum AcDbDwgVersion {
    kDHL_MC0_0 = 0, kDHL_1012 = 16, kDHL_1014 = 21, kDHL_1015 = 23, kDHL_1018 = 25,
    kDHL_1021 = 27, kDHL_1024 = 29, kDHL_1027 = 31, kDHL_1032 = 33,
    kDHL_CURRENT = kDHL_1018, kDHL_Unknown = 32766
  };
  enum MaintenanceReleaseVersion { kMReleaseFirstValid = 0, kMReleaseCurrent = 0 };

  // The filer kinds of AcDbDxfFiler::filerType.
  enum FilerType { kFileFiler = 0, kCopyFiler = 1, kUndoFiler = 2, kBagFiler = 3,
                   kIdXlateFiler = 4, kPageFiler = 5, kDeepCloneFiler = 6, kIdFiler = 7,
                   kPurgeFiler = 8, kWblockCloneFiler = 9 };

  // Decimal places a filer writes doubles with (kDfltPrec: shortest exact form).
  enum { kDfltPrec = -1, kMaxPrec = 16 };
};

// Names of the spaces and dictionaries every drawing has.
#define ACDB_MODEL_SPACE ACRX_T("*Model_Space")
#define ACDB_PAPER_SPACE ACRX_T("*Paper_Space")
#define ACDB_GROUP_DICTIONARY ACRX_T("ACAD_GROUP")
