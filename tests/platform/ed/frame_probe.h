// Shared by the application-frame test and its module: a probe object in the system registry
// through which the module reports what its frame did.
#pragma once
#include <windows.h>

#include <rxregsvc.h>

#include <string>
#include <vector>

#define FRAME_TEST_PROBE "FrameTestProbe"

struct FrameTestProbe : public AcRxObject {
  std::vector<int> handled;  // message codes that reached one of the module's own handlers
  int registerCalls = 0;     // calls of the registration hook
  std::vector<std::string> lispCalls;  // Lisp functions of the module that ran

  static FrameTestProbe* get() {
    return static_cast<FrameTestProbe*>(acrxSysRegistry()->at(FRAME_TEST_PROBE));
  }
};
