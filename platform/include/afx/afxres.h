// Module resources (dialog templates, string table) and MFC's chain of extension modules.
//
// A module's resources are data compiled into it. The module exports them as
//   extern "C" const AFX_RESOURCE_TABLE _afxModuleResources;   (see AFX_MODULE_RESOURCES)
// and the platform finds that symbol through the module's HINSTANCE, the way Windows finds
// the resource section of a DLL. A program (or test executable) linked with its symbols
// exported finds its own table through its own handle.
#pragma once
#include <windows.h>

// One control of a dialog template; rectangle in dialog units.
struct AFX_DLGITEM {
  UINT id;
  const char* className;  // "BUTTON", "EDIT", "LISTBOX", "COMBOBOX", "STATIC", "RichEdit20A", "Draw2DCtrl"
  const char* text;
  DWORD style;
  DWORD exStyle;
  short x, y, cx, cy;
};

// One dialog template; rectangle in dialog units, font size in points.
struct AFX_DLGTEMPLATE {
  UINT id;
  const char* caption;
  DWORD style;
  DWORD exStyle;
  short x, y, cx, cy;
  const char* fontName;
  WORD fontSize;
  const AFX_DLGITEM* items;
  int itemCount;
};

struct AFX_STRINGENTRY {
  UINT id;
  const char* text;
};

// What a module exports under the name _afxModuleResources. Counts may be zero (with null
// arrays). All texts are code page 936 bytes.
struct AFX_RESOURCE_TABLE {
  const AFX_DLGTEMPLATE* dialogs;
  int dialogCount;
  const AFX_STRINGENTRY* strings;
  int stringCount;
};

// The exported name of a module's resource table.
#define AFX_RESOURCE_TABLE_SYMBOL "_afxModuleResources"

// Defines the module's resource table: AFX_MODULE_RESOURCES = {dialogs, n, strings, m};
// Every module exports the same name, so the module's own uses of it must bind to its own
// definition even when the program exports one too (protected visibility), or the program's
// table would stand in for the module's inside the module.
#define AFX_MODULE_RESOURCES \
  extern "C" __attribute__((visibility("protected"))) const AFX_RESOURCE_TABLE _afxModuleResources

// Resource types for AfxFindResourceHandle.
#define RT_DIALOG MAKEINTRESOURCE(5)
#define RT_STRING MAKEINTRESOURCE(6)

// The handle whose resources are searched first; initially, and after setting null, the
// running program's own.
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE hInstResource);
// The application's instance: the running program unless the host set another.
HINSTANCE AfxGetInstanceHandle();

// The state MFC keeps for one extension module (its module resource record).
struct CRuntimeClass;
class COleObjectFactory;
struct AFX_EXTENSION_MODULE {
  BOOL bInitialized;  // non-zero between AfxInitExtensionModule and AfxTermExtensionModule
  HMODULE hModule;
  HMODULE hResource;
  CRuntimeClass* pFirstSharedClass;        // not used here; kept for MFC's layout
  COleObjectFactory* pFirstSharedFactory;  // not used here; kept for MFC's layout
};

// Records hModule as the module and its resource handle. Returns FALSE (and leaves `state`
// unchanged) when hModule is null; TRUE otherwise, also when `state` was already initialised.
BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule);
// Deletes every CDynLinkLibrary of the module in the chain (each must have been made with
// new, as MFC requires) and marks `state` not initialised. With bAll, deletes the whole chain.
void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll = FALSE);

// One entry of the extension chain. Constructing one puts the module at the head of the
// chain (the newest module is searched first, as in MFC); destroying it removes it.
class CDynLinkLibrary {
public:
  explicit CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem = FALSE);
  CDynLinkLibrary(HINSTANCE hModule, HINSTANCE hResource);
  virtual ~CDynLinkLibrary();
  CDynLinkLibrary(const CDynLinkLibrary&) = delete;
  CDynLinkLibrary& operator=(const CDynLinkLibrary&) = delete;

  HMODULE m_hModule;
  HMODULE m_hResource;
  BOOL m_bSystem;  // system modules are searched after every other one
  CDynLinkLibrary* m_pNextDLL;
};

// The handle that holds resource lpszName (a MAKEINTRESOURCE id) of type RT_DIALOG or
// RT_STRING, searched in MFC's order: the current resource handle, then the non-system
// modules of the chain from the newest, then the system ones. When none holds it, the
// current resource handle (as MFC does). For RT_STRING the name is the string id itself.
HINSTANCE AfxFindResourceHandle(LPCTSTR lpszName, LPCTSTR lpszType);

// The dialog template or string `id`, searched in the order above; null when none holds it.
const AFX_DLGTEMPLATE* AfxFindDialogTemplate(UINT id);
const char* AfxFindString(UINT id);

// Copies string uID of module hInstance (a single module, no chain) into lpBuffer, cut to
// cchBufferMax - 1 bytes without splitting a double-byte character, zero-terminated.
// Returns the bytes copied; 0 (and an empty buffer) when the module has no such string.
int LoadString(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax);
