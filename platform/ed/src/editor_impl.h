// The editor's shared state and the helpers its request functions share. UI thread only.
#pragma once
#include <adsdef.h>
#include <dbid.h>

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "contura/ed/editor_state.h"
#include "contura/ed/input.h"

namespace contura::ed::detail {

using Point3 = std::array<double, 3>;

// One answer for a request: a queued answer first, else the backend's; ended when there is
// no backend or no more input.
InputLine ask(const InputRequest& request);
// Shows one of the editor's messages.
void say(std::string_view text);

// What acedInitGet armed for the next request.
struct Arming {
  int flags = 0;
  std::vector<Keyword> keywords;
};
Arming& armedRef();
// Every request starts with this: it gets the arming, the request after it none, and the
// keyword of the request before is forgotten.
Arming takeArming();
// The keyword or text of the last request that returned RTKWORD (acedGetInput).
std::optional<std::string>& lastInputRef();
std::vector<std::string> localNames(const std::vector<Keyword>& keywords);
// Puts answers before any queued ones: the words after the first of an answer that a blank
// ends are answers to the requests that follow.
void queueAnswersFirst(std::vector<std::string> lines);

Point3& lastPointRef();
std::vector<TemporaryVector>& temporaryVectorsRef();
DisplayedView& viewRef();
int& regenerationsRef();
// Removes the temporary vectors (a regeneration or redraw).
void regenerate();

// Selection sets: the whole table lives in selection.cpp.
void freeAllSelectionSets();
// The entity a pick at p finds (the nearest within the pick box), and the model-space
// entity with a handle (upper-case hexadecimal; a message says why there is none).
std::optional<AcDbObjectId> entityAt(const Point3& p);
std::optional<AcDbObjectId> entityWithHandle(const std::string& hex);
// An entity's handle as requests name it (upper-case hexadecimal); empty for a null id.
std::string handleText(AcDbObjectId id);

// Converts between ads points and arrays.
inline Point3 toPoint(const ads_point p) { return {p[0], p[1], p[2]}; }
inline void fromPoint(const Point3& p, ads_point out) {
  out[0] = p[0];
  out[1] = p[1];
  out[2] = p[2];
}

}  // namespace contura::ed::detail
