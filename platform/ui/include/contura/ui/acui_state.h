// Observation of the user-interface extension library for the host program and tests.
#pragma once
#include <vector>

namespace contura::ui {

// True once InitAcUiDLL has run in this process.
bool acuiInitialised();
// How many times InitAcUiDLL was called (the first call initialises, later ones do nothing).
int acuiInitCalls();

// The recently used colour indices shared by every colour box, most recent first.
std::vector<int> recentColors();
// Puts an index colour (0..256) first, removing it from further down and dropping the oldest
// beyond `limit` entries; other values are ignored. Colour boxes call it.
void noteRecentColor(int colorIndex, int limit);
// Empties the list (a new session, or a test).
void clearRecentColors();

}  // namespace contura::ui
