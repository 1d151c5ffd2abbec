// Inspection and set-up of module resources for the host program and tests.
#pragma once
#include <afxres.h>

#include <vector>

namespace contura::afx {

// The resource table module `module` exports, or null when it exports none.
const AFX_RESOURCE_TABLE* resourceTableOf(HINSTANCE module);
// Dialog template or string `id` in one module only; null when absent.
const AFX_DLGTEMPLATE* findDialogIn(HINSTANCE module, UINT id);
const char* findStringIn(HINSTANCE module, UINT id);

// The extension chain from the entry searched first to the last one.
struct ChainEntry {
  HINSTANCE module;
  HINSTANCE resource;
  bool system;
};
std::vector<ChainEntry> extensionChain();

// Sets the handle AfxGetInstanceHandle reports (the host sets its own program's).
void setInstanceHandle(HINSTANCE instance);

}  // namespace contura::afx
