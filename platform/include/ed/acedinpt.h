// The host's global editor functions: selection sets, points, entity picks, drags,
// temporary vectors, commands, coordinate systems and the host's main window.
//
// Results are the ads codes: RTNORM on success, RTNONE for an empty answer where one is
// allowed, RTCAN when the person cancelled (or the input ended), RTERROR for a failure,
// RTREJ for a request the host refuses (bad arguments). Points are in the current UCS, which
// here is always the world system. The answers are read from the input backend the host
// installed (see the host program's input language).
#pragma once
#include <adesk.h>
#include <adscodes.h>
#include <adsdef.h>
#include <windows.h>

// --- Selection sets ------------------------------------------------------------------------
// At most 128 sets may be open at once; each must be freed with acedSSFree.

// Builds a selection set. str is the mode (a leading '_' is ignored):
//   null   pt1 given: the entity picked at pt1; else the person selects (prompt "选择对象: ",
//          lines until an empty one)
//   ":S"   the person selects until one line selects something
//   "X"    every entity of the drawing that passes the filter, without asking (entities on
//          layers that are off or frozen included)
//   "W"/"C" window / crossing from pt1 to pt2;  "L" the last entity added;  "P" the previous
//   set.  ("I", the implied set, is always empty here: RTERROR.)
// filter: null, or a list of conditions that must all hold: group 0 (entity type, DXF name),
// 8 (layer name) - both with the wildcards '*', '?' and ',' between alternatives, letter case
// ignored - and 62 (colour index). Interactive and window selections skip entities on layers
// that are off or frozen. RTNORM with a new set in ss; RTERROR when nothing was selected, for
// an unknown mode or filter code, or with 128 sets open; RTCAN when cancelled.
int acedSSGet(const ACHAR* str, const void* pt1, const void* pt2, const struct resbuf* filter, ads_name ss);
int acedSSFree(const ads_name sname);
int acedSSLength(const ads_name sname, Adesk::Int32* len);
// The entity at index i (from 0). RTERROR for an index outside the set or a name that is no
// open set.
int acedSSName(const ads_name ss, Adesk::Int32 i, ads_name entres);
// Both null: a new empty set; ename only: a new set holding it; else adds ename to sname
// (a member already there is ignored). result names the set. RTERROR for a name that is no
// entity or no open set, or with 128 sets open.
int acedSSAdd(const ads_name ename, const ads_name sname, ads_name result);
int acedSSDel(const ads_name ename, const ads_name ss);
// RTNORM when ename is a member, RTERROR otherwise.
int acedSSMemb(const ads_name ename, const ads_name ss);

// --- Points, picks and drags -----------------------------------------------------------------

// A point from the person. pt: the base point of a rubber band (also what '@' answers are
// relative to), or null. RTNORM; RTNONE for an empty answer; RTCAN.
int acedGetPoint(const ads_point pt, const ACHAR* prompt, ads_point result);
// One entity picked by a point (the nearest entity within the pick box; curves by their
// closest point, texts by their box) or by its handle. str null: the prompt "选择对象: ".
// RTNORM with the entity name and the point picked; RTERROR when the point finds no entity
// or the answer is empty; RTCAN.
int acedEntSel(const ACHAR* str, ads_name entres, ads_point ptres);
// Drags the set: the person gives the final cursor point. scnf is called with that point
// and a matrix to fill (initially the identity) as for the cursor's last position; it
// returns RTNORM (matrix changed) or RTNONE (unchanged) to accept the point, anything else
// (RTERROR) to stop the drag. The matrix is not applied: the caller moves the entities, as
// on the host. RTNORM with the point in p; RTNONE for an empty answer; RTCAN; RTERROR for a
// name that is no open set or a callback that stopped.
int acedDragGen(const ads_name ss, const ACHAR* pmt, int cursor, int (*scnf)(ads_point pt, ads_matrix mt),
                ads_point p);
// Draws a temporary vector (colour index, -1 for XOR ink; hl non-zero draws it highlighted).
// Temporary vectors last until the next regeneration or redraw. RTNORM.
int acedGrDraw(const ads_point from, const ads_point to, int color, int hl);

// --- Commands ------------------------------------------------------------------------------

// Runs a command given as (type, value) pairs ended by 0 or RTNONE: first RTSTR with the
// command name, then its answers (RTSTR, RTREAL, RTSHORT, RTPOINT, RT3DPOINT; "" is an empty
// answer, "\\" waits for the person). The host's own commands are REGEN, REGENALL, REDRAW and
// REDRAWALL (a leading '_' or '.' allowed, letter case ignored), which remove the temporary
// vectors; other names run the command a module registered. RTNORM; RTERROR for an unknown
// command or a bad argument list.
int acedCommand(int rtype, ...);
int acedCommandS(int rtype, ...);
int acedCmdS(const struct resbuf* rb);

// --- Coordinates and windows -----------------------------------------------------------------

// Transforms pt between systems given as resbufs: RTSHORT 0 (world), 1 (user), 2 (display),
// 3 (paper-space display), RTENAME (an entity's object system) or RT3DPOINT (the object
// system of that extrusion direction, by the arbitrary axis rule). disp non-zero treats pt as
// a displacement. Here the user system is the world system and the display system equals it
// too (plan view of the world, no twist), so only object systems with an extrusion other
// than +Z change coordinates; an entity's object system is taken as the world system.
// RTNORM; RTERROR for a system code it does not know or a bad entity name.
int acedTrans(const ads_point pt, const struct resbuf* from, const struct resbuf* to, int disp, ads_point result);

// The host's main window.
HWND adsw_acadMainWnd();
