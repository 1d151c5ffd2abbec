// An extension module for the resource tests: a resource table and the attach and detach
// steps a module runs when it is loaded and unloaded.
#include <afxres.h>

#ifndef FIXTURE_TAG
#error FIXTURE_TAG must name the module ("A" or "B")
#endif

namespace {

const AFX_DLGITEM kItems[] = {
    {1, "BUTTON", "OK", 0x50010001, 0, 10, 10, 50, 14},
};

#ifdef FIXTURE_HAS_DIALOG_200
const AFX_DLGTEMPLATE kDialogs[] = {
    {200, FIXTURE_TAG "-200", 0x80C80080, 0, 0, 0, 100, 60, "MS Shell Dlg", 8, kItems, 1},
    {201, FIXTURE_TAG "-201", 0x80C80080, 0, 0, 0, 100, 60, "MS Shell Dlg", 8, kItems, 1},
};
#else
const AFX_DLGTEMPLATE kDialogs[] = {
    {201, FIXTURE_TAG "-201", 0x80C80080, 0, 0, 0, 100, 60, "MS Shell Dlg", 8, kItems, 1},
};
#endif

const AFX_STRINGENTRY kStrings[] = {
    {100, FIXTURE_TAG "-100"},
    {101, FIXTURE_TAG "-101"},
    {FIXTURE_OWN_STRING, FIXTURE_TAG "-own"},
};

AFX_EXTENSION_MODULE extensionModule = {FALSE, nullptr, nullptr, nullptr, nullptr};

}  // namespace

AFX_MODULE_RESOURCES = {
    kDialogs, static_cast<int>(sizeof kDialogs / sizeof kDialogs[0]), kStrings, 3};

// What a module does on process attach: become an extension module and join the chain.
extern "C" BOOL fixtureAttach(HINSTANCE instance) {
  if (!AfxInitExtensionModule(extensionModule, instance)) return FALSE;
  new CDynLinkLibrary(extensionModule);
  return TRUE;
}

// What a module does on process detach.
extern "C" void fixtureDetach() { AfxTermExtensionModule(extensionModule); }

extern "C" BOOL fixtureAttached() { return extensionModule.bInitialized; }
