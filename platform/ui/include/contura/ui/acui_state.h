// Observation of the user-interface extension library for the host program and tests.
#pragma once

namespace contura::ui {

// True once InitAcUiDLL has run in this process.
bool acuiInitialised();
// How many times InitAcUiDLL was called (the first call initialises, later ones do nothing).
int acuiInitCalls();

}  // namespace contura::ui
