// The installed window front end.
#include "window_frontend.h"

namespace contura::host {
namespace {

WindowFrontEnd*& installed() {
  static WindowFrontEnd* frontEnd = nullptr;
  return frontEnd;
}

}  // namespace

WindowFrontEnd* setWindowFrontEnd(WindowFrontEnd* frontEnd) {
  WindowFrontEnd* previous = installed();
  installed() = frontEnd;
  return previous;
}

WindowFrontEnd* windowFrontEnd() { return installed(); }

}  // namespace contura::host
