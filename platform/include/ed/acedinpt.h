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
// relative to), or null. RTNORM; RTNONE for an empty answer; RTCAN. When acedInitGet armed
// keywords, an answer naming one gives RTKWORD (the keyword from acedGetInput); other answers
// that are no point are refused ("需要点或选项关键字。") and asked again, unless RSG_OTHER
// was armed (then RTKWORD with the answer's text). RSG_NONULL refuses an empty answer.
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

// --- Keywords and text ------------------------------------------------------------------

// Arms the NEXT input request (of any kind; every request takes the arming away, used or not)
// with the RSG_* flags val (adscodes.h says which are honoured) and the keywords of kwl, or
// none when kwl is null or empty. Keywords are separated by blanks; the capital letters of a
// keyword are its abbreviation ("Arc" A, "LType" LT, "eXit" X). An answer names a keyword
// when it is the abbreviation, the whole word, or a prefix of the word reaching at least its
// last capital letter, letter case ignored; a keyword without capitals (a Chinese one, say)
// must be given whole. An exact word or abbreviation goes before a prefix; otherwise the
// first keyword in the list wins. The host's "local _ global" form is understood: the words
// after a lone "_" are the global names of the words before it, in the same order; an answer
// names a local keyword, or a global one when it starts with '_', and the request reports the
// global name. Without "_" each keyword is its own global name.
// RTNORM; RTREJ (nothing armed) for a list whose two halves differ in length or a keyword of
// 512 bytes or more.
int acedInitGet(int val, const ACHAR* kwl);
// The keyword (its global name, as written in the list) or the text of the last request that
// returned RTKWORD, into str (at least 512 bytes). RTNORM; RTERROR when the last request
// gave no keyword; RTREJ for a null buffer.
int acedGetInput(ACHAR* str);
// Asks for one of the armed keywords; result (at least 512 bytes) gets its global name.
// RTNORM; RTNONE for an empty answer (refused and asked again with RSG_NONULL); RTCAN. Any
// other answer is refused with "无效选项关键字。" and asked again (RSG_OTHER: accepted, RTNORM
// with the answer's text). RTREJ without asking when no keyword is armed and RSG_OTHER is not.
int acedGetKword(const ACHAR* prompt, ACHAR* result);
// One answer as text into result (512 bytes, as on the host). cronly non-zero: the whole line
// is the text, blanks included. cronly zero: a blank ends the answer as it does on the host,
// so the text is the first word (leading blanks skipped) and each further word answers the
// requests that follow, as typed-ahead answers do; nothing typed is lost. An empty answer is
// RTNORM with an empty text; "*cancel*" (or the end of the input) gives RTCAN. A text of 512
// bytes or more is cut to the longest whole-character prefix of at most 511 bytes and the
// result is RTINPUTTRUNCATED. Armed keywords and flags do not apply (the arming is used up).
int acedGetString(int cronly, const ACHAR* prompt, ACHAR* result);

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
