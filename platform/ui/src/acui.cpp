// Initialisation of the user-interface extension library.
#include <acui.h>
#include <contura/ui/acui_state.h>

namespace {

struct AcUiState {
  bool initialised = false;
  int calls = 0;
};

AcUiState& state() {
  static AcUiState s;
  return s;
}

// What the library sets up once per process. Its controls keep no shared state and bring no
// resources of their own yet, so there is nothing to register; the step stays the single
// place where such set-up goes.
void initialiseOnce() { state().initialised = true; }

}  // namespace

void InitAcUiDLL() {
  ++state().calls;
  if (!state().initialised) initialiseOnce();
}

namespace contura::ui {
bool acuiInitialised() { return state().initialised; }
int acuiInitCalls() { return state().calls; }
}  // namespace contura::ui
