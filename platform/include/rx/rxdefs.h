// Runtime definitions shared by every module: application messages, their results and the
// command function type.
#pragma once
#include <adesk.h>

struct AcRx {
  // The messages the host sends a module through its acrxEntryPoint, with the host's numbers.
  enum AppMsgCode {
    kNullMsg = 0,
    kInitAppMsg = 1,
    kUnloadAppMsg = 2,
    kLoadDwgMsg = 3,
    kUnloadDwgMsg = 4,
    kInvkSubrMsg = 5,
    kCfgMsg = 6,
    kEndMsg = 7,
    kQuitMsg = 8,
    kSaveMsg = 9,
    kDependencyMsg = 10,
    kNoDependencyMsg = 11,
    kOleUnloadAppMsg = 12,
    kPreQuitMsg = 13,
    kInitDialogMsg = 14,
    kEndDialogMsg = 15,
    kSuspendMsg = 16,
    kInitTabGroupMsg = 17,
    kEndTabGroupMsg = 18,
  };

  // A module's answer. kRetError to kInitAppMsg makes the host unload the module again;
  // kRetError to kUnloadAppMsg refuses the unload.
  enum AppRetCode {
    kRetOK = 0,
    kRetError = 3,
  };

  enum Ordering {
    kLessThan = -1,
    kEqual = 0,
    kGreaterThan = 1,
    kNotOrderable = 2,
  };

  // Iteration order of a dictionary: kDictSorted by key, kDictCollated by insertion.
  enum DictIterType {
    kDictCollated = 0,
    kDictSorted = 1,
  };
};

// A command handler: no arguments, no result.
typedef void (*AcRxFunctionPtr)();

// The entry point every module exports. For kInitAppMsg and kUnloadAppMsg `pkt` is the
// application id the dynamic linker gave the module.
extern "C" AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* pkt);
