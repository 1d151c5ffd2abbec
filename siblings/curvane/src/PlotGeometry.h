// What drawing and chaining share: bulges of arcs, tangents at the ends of bulged segments,
// and posting a new entity to model space.
#pragma once
#include <dbmain.h>
#include <gepnt2d.h>
#include <gevec2d.h>

namespace curvane {

// Bulge of a segment whose arc turns through sweep radians, counter-clockwise when
// positive: tan(sweep / 4), the polyline's own definition.
double bulgeOfSweep(double signedSweep);

// The direction of travel at the end of the segment from `from` to `to` with the given bulge.
AcGeVector2d endTangent(const AcGePoint2d& from, const AcGePoint2d& to, double bulge);

// Bulge of the arc that leaves a point in the direction `tangent` and ends at the point
// `chord` away. False when the end lies straight behind the tangent: no such arc exists.
bool tangentArcBulge(const AcGeVector2d& tangent, const AcGeVector2d& chord, double& bulge);

// Appends pEnt to model space of pDb and gives its id; pEnt stays open for write. On failure
// the caller still owns pEnt.
Acad::ErrorStatus postToModelSpace(AcDbDatabase* pDb, AcDbEntity* pEnt, AcDbObjectId& id);

}  // namespace curvane
