// Text helpers of the section text: line and record splitting, key lookup, and the parsing of
// points, polyline vertices and colours, plus appending a new entity to model space.
//
// Every search is multi-byte aware (code page 936): the text is walked character by
// character, so the trail byte of a double-byte character (which may equal '[', ']' or ',')
// is never taken for a separator. "Trimmed" means the single-byte white space of the C
// runtime's space test (blank, tab, line feed, carriage return, vertical tab, form feed)
// removed at both ends; the double-byte space A1A1 is not white space.
//
// Numbers are read as atof and atol read them (leading white space, an optional sign, as
// many characters as form a number; a text that is no number reads as 0) in the C locale.
//
// Malformed values (values the writer never produces): the helpers never index outside a
// text. leftOf gives the empty text when the separator does not occur, rightOf the whole
// text, so a missing separator leaves the numbers it would have delimited reading as 0. The
// reader does not draw from such values at all: see SectionTextReader.h.
#pragma once
#include <afx.h>
#include <afxcoll.h>
#include <dbmain.h>
#include <gepnt2d.h>
#include <gepnt3d.h>

// Fills `out` with the trimmed pieces of `s` between separators `sep`. `out` always gets at
// least one element. Splitting stops at an empty piece (two separators in a row, or one at
// the start): the whole rest, trimmed, becomes the last element.
void splitText(CStringArray& out, CString s, char sep);

// The text before the first `c`; the empty text when `c` does not occur.
CString leftOf(CString s, char c);
// The text after the first `c`; all of `s` when `c` does not occur.
CString rightOf(CString s, char c);

// Cuts a section text into record blocks, each trimmed. A block begins at a '[' that starts
// a line (only white space between it and the line feed before it); a '[' elsewhere belongs
// to a value. Text in front of the first header (after the text's first character) is a
// block of its own. Always at least one block (an empty text gives one empty block).
void splitRecords(CStringArray& out, CString text);

// The name between a block's leading '[' and the first ']'; the empty text when the block
// does not begin with '[' or has no ']'.
CString recordName(CString block);

// The value of the first line "key=value" whose key (the text before the first '=', not
// trimmed) equals `key` ignoring letter case; empty when there is none. The value is
// everything after the first '=' (it may hold '=' itself).
CString getKeyValue(CStringArray& lines, CString key);
// The values of every matching line, in order, joined by single line feeds.
CString getKeyValues(CStringArray& lines, CString key);

// (x, y, 0) from "x,y" (any further ",..." after y is ignored, as atof stops there).
AcGePoint3d parsePoint(CString s);
// The 2D form of the same reading.
void parsePoint(AcGePoint2d& pt, CString s);

// The five numbers "x,y,bulge,startWidth,endWidth" of a polyline item.
void parseVertex(AcGePoint2d& pt, double& bulge, double& startWidth, double& endWidth, CString s);

// A true colour (colour method by colour) from "red,green,blue"; each number is cut to its
// low 8 bits.
AcCmColor colorFromText(CString s);

// Appends pEnt to model space of the working database. The entity stays open; the caller
// closes it (or deletes it when it did not get into the database). Results: 0 appended;
// 1 the block table could not be opened (or there is no working database); 3 model space
// could not be opened for write.
int postToModelSpace(AcDbObjectId& id, AcDbEntity* pEnt);
int postToModelSpace(AcDbEntity* pEnt);

// Number reading as atof / atol, locale independent (the C locale's forms).
double textToDouble(const char* psz);
long textToLong(const char* psz);
