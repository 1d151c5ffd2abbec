// CSectionTextReader: draws the entity records of a section text back into model space of
// the working database, each with its record's layer and colour (a true colour).
//
// Record names are matched ignoring letter case: Line, Arc, Polyline, Text, Circle and
// VarCommon are drawn; PolylineSection, Mtext, SecType, unknown and unnamed blocks are passed
// over (the Text records after an Mtext header are blocks of their own and are drawn). Keys
// are looked up with getKeyValue (first match, case-blind, no blanks round '='). A missing
// single-number key reads as 0. Coordinates are used as they stand.
//
// Malformed input (what the writer never produces) follows one rule: a record is drawn only
// when every structured value it needs is present and has its separators - points and the
// angle pair a comma, a line's Point a ';' with a point on each side, every polyline item at
// least four commas (five numbers), colours two commas. Otherwise the whole record is
// skipped: no entity is made, nothing is appended, and the other records are still drawn.
// Numbers themselves are read as atof reads them (text that is no number reads as 0); a
// number that atof reads as infinite or not a number ("1e400", "nan") cannot be held by a
// drawing, so its record is skipped too, and drawSectionText says on the command line how
// many were. A header without ']' has no name and is passed over like any unnamed block.
//
// An entity that could not be appended to model space is deleted at once.
#pragma once
#include <afx.h>

#include "SectionTextHelpers.h"

class CSectionTextReader {
public:
  CSectionTextReader();
  ~CSectionTextReader();

  // Draws every entity record of `text`. 1 when splitRecords yields no block (never in
  // practice), else 0.
  int drawSectionText(CString text);

  // Each draws one block (header line included). 0 drawn; 1 skipped as malformed; 2 made but
  // not appended (model space could not be opened), and freed; 3 skipped for a number that
  // is not finite.
  int drawLine(CString block);
  int drawArc(CString block);
  int drawCircle(CString block);
  int drawPolyline(CString block);
  int drawText(CString block);
  int drawVarCommon(CString block);
};
