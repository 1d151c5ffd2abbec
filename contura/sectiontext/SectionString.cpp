// CSectionString: outline texts read into a polyline (moved to the origin) or a region, and the
// section dialog run on a caller's record and list.
#include "SectionString.h"

#include <gemat3d.h>

#include <cmath>
#include <vector>

#include "SectionTextScan.h"
#include "app/ResourceScope.h"
#include "dialogs/DlgSection.h"

using namespace sectiontext;

namespace {

// One vertex of an outline as read from its item.
struct OutlineVertex {
  AcGePoint2d pt;
  double bulge = 0.0;
};

// The number that fills the whole of `piece` (white space round it allowed); false for an
// empty piece, text that is no number, a number followed by other text, or a value that is
// not finite (which would make a polyline no drawing can hold).
bool wholeNumber(TextSpan piece, double& value) {
  TextSpan t = trimmed(piece);
  if (t.empty()) return false;
  const char* stop = t.begin;
  value = numberAt(t, stop);
  return stop == t.end && std::isfinite(value);
}

// x and y of "x,y[,...]": x before the first comma, y up to the next comma or the end.
bool readXY(TextSpan s, AcGePoint2d& pt, const char*& firstComma) {
  firstComma = findChar(s, ',');
  if (firstComma == nullptr) return false;
  TextSpan rest{firstComma + 1, s.end};
  const char* second = findChar(rest, ',');
  return wholeNumber(TextSpan{s.begin, firstComma}, pt.x) &&
         wholeNumber(TextSpan{rest.begin, second ? second : rest.end}, pt.y);
}

// The text after the last comma of s (s holds at least one comma).
TextSpan afterLastComma(TextSpan s, const char* firstComma) {
  const char* last = firstComma;
  for (const char* p = findChar(TextSpan{last + 1, s.end}, ','); p != nullptr;
       p = findChar(TextSpan{last + 1, s.end}, ','))
    last = p;
  return TextSpan{last + 1, s.end};
}

// Reads every item of the Points value. 0, or the result code of the first bad item.
int readOutlineItems(TextSpan points, std::vector<OutlineVertex>& vertices) {
  std::vector<TextSpan> items;
  splitSpans(points, ';', items);
  for (const TextSpan& item : items) {
    OutlineVertex v;
    const char* comma = nullptr;
    if (findChar(item, ',') == nullptr) return CSectionString::kOutlineItemWithoutComma;
    if (!readXY(item, v.pt, comma) || !wholeNumber(afterLastComma(item, comma), v.bulge))
      return CSectionString::kOutlineBadNumber;
    vertices.push_back(v);
  }
  return 0;
}

}  // namespace

CSectionString::CSectionString() {}

CSectionString::~CSectionString() {}

CSectionString& CSectionString::operator=(const CSectionString&) { return *this; }

int CSectionString::readPolylineSection(AcDbPolyline*& pPline, AcGePoint3d& basePoint, CString text) {
  pPline = NULL;
  std::vector<TextSpan> lines;
  splitSpans(spanOf(text), '\n', lines);

  TextSpan points = keyValueSpan(lines, "Points");
  if (points.begin == nullptr || trimmed(points).empty()) return kOutlineNoPoints;
  std::vector<OutlineVertex> vertices;
  if (int bad = readOutlineItems(points, vertices)) return bad;

  TextSpan base = keyValueSpan(lines, "BasePoint");
  AcGePoint2d base2d;
  const char* comma = nullptr;
  if (base.begin == nullptr || !readXY(base, base2d, comma)) return kOutlineBadBasePoint;

  // Only now, with every number read, is anything allocated.
  pPline = new AcDbPolyline();
  for (std::size_t i = 0; i < vertices.size(); ++i)
    pPline->addVertexAt(static_cast<unsigned int>(i), vertices[i].pt, vertices[i].bulge, 0.0, 0.0);
  basePoint.set(base2d.x, base2d.y, 0.0);
  return 0;
}

int CSectionString::getSectionPolylineFromString(AcDbPolyline*& pPline, AcGePoint3d& basePoint, CString text) {
  int result = readPolylineSection(pPline, basePoint, text);
  if (result != 0) return result;
  AcGeMatrix3d move;
  move.setTranslation(AcGePoint3d::kOrigin - basePoint);
  pPline->transformBy(move);
  basePoint = AcGePoint3d::kOrigin;
  return 0;
}

int CSectionString::getSectionRegionFromString(AcDbRegion*& pRegion, AcGePoint3d& basePoint, CString text) {
  AcDbPolyline* pPline = NULL;
  if (getSectionPolylineFromString(pPline, basePoint, text) != 0) return 1;

  AcDbVoidPtrArray curves;
  curves.append(pPline);
  AcDbVoidPtrArray regions;
  Acad::ErrorStatus es = AcDbRegion::createFromCurves(curves, regions);
  delete pPline;
  if (es != Acad::eOk) return 2;
  if (regions.isEmpty()) return 4;

  pRegion = static_cast<AcDbRegion*>(regions[0]);
  for (int i = 1; i < regions.length(); ++i) delete static_cast<AcDbRegion*>(regions[i]);  // not used
  return 0;
}

// Element-by-element copies, so that the caller's list and the dialog's never share storage.
static void copySection(CUserSectionInfo& to, const CUserSectionInfo& from) {
  to.m_nTag = from.m_nTag;
  to.m_strName = CString(from.m_strName.GetString(), from.m_strName.GetLength());
  to.m_strSection = CString(from.m_strSection.GetString(), from.m_strSection.GetLength());
}

static void copySectionList(CArray<CUserSectionInfo, CUserSectionInfo>& to,
                            const CArray<CUserSectionInfo, CUserSectionInfo>& from) {
  to.SetSize(from.GetSize());
  for (INT_PTR i = 0; i < from.GetSize(); ++i) copySection(to[i], from[i]);
}

int CSectionString::getUserSelectSection(CUserSectionInfo& info, CArray<CUserSectionInfo, CUserSectionInfo>& lib) {
  CConturaResourceScope resources;  // popped after the dialog is destroyed, on every path
  CDlgSection dlg(NULL);
  copySection(dlg.m_userSection, info);
  copySectionList(dlg.m_sectionList, lib);
  if (dlg.DoModal() != IDOK) return 1;
  copySection(info, dlg.m_userSection);
  copySectionList(lib, dlg.m_sectionList);
  return 0;
}
