// CSectionTextWriter: lets the user select entities and encodes each supported one as a
// record of section text; also makes the outline record and base point line of a captured
// section outline.
//
// Records, in the order their keys are written (every line ends with a line feed; numbers
// are printf "%g": six significant digits, no trailing zeros, exponent form outside
// 1e-4..1e6 with a two-digit exponent; colours are "red,green,blue"):
//   [Line]      Point=x1,y1;x2,y2  Color  Layer
//   [Arc]       Center=x,y  Radius=r  Angle=start,end  Color  Layer
//   [Circle]    Center=x,y  Radius=r  Color  Layer
//   [Polyline]  Point=x,y,bulge,startWidth,endWidth;...  (closed: one more item x0,y0,0,0,0)
//               Color  Layer
//   [Text]      Value  Height  Point=x,y  Angle  Color  Layer
//   [Mtext]     no keys; followed by one Text record (and an empty line) per exploded piece
//   [VarCommon] the Text keys, then Code Visible Sort Condiction Remark(one per line)
//               VarInitial VarValue VarHeight VarPoint VarAngle VarColor VarType
//   [PolylineSection] Points=x,y,bulge;...;x0,y0,0   then  BasePoint=x,y (no line feed)
#pragma once
#include <afx.h>
#include <dbents.h>
#include <dbidar.h>
#include <dbmain.h>
#include <dbpl.h>
#include <gepnt3d.h>

#include <string>

#include "SectionTextHelpers.h"

class CSectionTextWriter {
public:
  CSectionTextWriter();
  ~CSectionTextWriter();

  // Lets the user select entities and encodes them, in selection order, with one empty line
  // between two records. Results: 0 text built; 1 the selection yielded nothing (the message
  // "没有选中构件！" has been printed); 3 a selected entity could not be opened (status in
  // m_esLast; no text at all, even if other entities were encoded).
  int buildSectionText();
  // Encodes the entities of m_ids as buildSectionText does after its selection (0 or 3).
  int buildRecords();
  // A copy of the text built by the last buildSectionText (empty before).
  CString getSectionText();
  // The user selects with the host's ordinary object selection; fills m_ids. Results: 0 ids
  // taken; 1 nothing selected (message printed); 2 an entity's id could not be obtained.
  int selectEntities();

  // The outline record of an open polyline (the caller keeps it open): header and Points
  // line with its line feed; the first vertex is repeated with bulge 0, closed or not.
  CString polylineSectionRecord(AcDbPolyline*& pPline);
  // "BasePoint=x,y" without a line feed.
  CString basePointLine(AcGePoint3d pt);

  // One record of an entity of the named kind, open for read.
  CString lineRecord(AcDbEntity*& pEnt);
  CString arcRecord(AcDbEntity*& pEnt);
  CString circleRecord(AcDbEntity*& pEnt);
  CString polylineRecord(AcDbEntity*& pEnt);
  CString textRecord(AcDbEntity*& pEnt);
  CString mtextRecord(AcDbEntity*& pEnt);
  CString varCommonRecord(AcDbEntity*& pEnt);

  // The colour text of an entity: its colour index through the host palette; by layer: the
  // layer's colour index (when the layer record cannot be opened, the entity's own index, 256,
  // which the palette gives as 0,0,0); by block: index 0; a true colour: the index the host
  // reports for it.
  CString entityColorText(AcDbEntity*& pEnt);
  // The palette colour of an index as "red,green,blue".
  CString indexColorText(int colorIndex);

  Acad::ErrorStatus m_esLast;   // last status of an entity open, layer open or explode
  int m_nSelectResult;          // result of the last selectEntities
  CString m_strSectionText;     // the text of the last buildSectionText
  AcDbObjectIdArray m_ids;      // selected entities in selection order

private:
  // The record of pEnt appended to out (false, nothing appended, for an unsupported kind);
  // the members below append one record each.
  bool appendRecordOf(std::string& out, AcDbEntity* pEnt);
  void appendLineRecord(std::string& out, AcDbEntity* pEnt);
  void appendArcRecord(std::string& out, AcDbEntity* pEnt);
  void appendCircleRecord(std::string& out, AcDbEntity* pEnt);
  void appendPolylineRecord(std::string& out, AcDbEntity* pEnt);
  void appendTextRecord(std::string& out, AcDbEntity* pEnt);
  void appendMtextRecord(std::string& out, AcDbEntity* pEnt);
  void appendVarCommonRecord(std::string& out, AcDbEntity* pEnt);
};
