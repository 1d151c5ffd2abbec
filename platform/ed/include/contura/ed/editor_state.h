// What the editor shows and keeps, for the host program and tests: temporary vectors, the
// displayed view, open selection sets, the last point.
#pragma once
#include <array>
#include <vector>

namespace contura::ed {

struct TemporaryVector {
  std::array<double, 3> from{}, to{};
  int color = 0;
  bool highlighted = false;
};

// The temporary vectors drawn since the last regeneration, in drawing order.
std::vector<TemporaryVector> temporaryVectors();
// How many regenerations (or redraws) removed temporary vectors so far.
int regenerations();

struct DisplayedView {
  std::array<double, 2> center{0.0, 0.0};
  double height = 1.0;
  double width = 1.0;
  std::array<double, 3> target{0.0, 0.0, 0.0};
  std::array<double, 3> direction{0.0, 0.0, 1.0};
  double twist = 0.0;
};
DisplayedView displayedView();

// Selection sets open now.
int openSelectionSets();
// The last point the person gave (what a relative answer without a base point starts from).
std::array<double, 3> lastPoint();

// Back to the state of a new session: frees every set, removes the temporary vectors,
// forgets the last point and the previous set, and restores the default view and pick box.
void resetEditor();

}  // namespace contura::ed
