// Module resource tables, the current resource handle and the extension-module chain.
#include "afxres.h"

#include <cstring>
#include <mutex>

#include "contura/afx/resources.h"
#include "contura/os/module.h"
#include "mbcs.h"

namespace {

// Process-wide resource state. Function-local so that modules constructing chain entries
// during their own static initialisation find it ready.
struct ResourceState {
  std::mutex mutex;
  HINSTANCE resource = nullptr;  // null: the running program
  HINSTANCE instance = nullptr;  // null: the running program
  CDynLinkLibrary* head = nullptr;
};

ResourceState& resourceState() {
  static ResourceState state;
  return state;
}

void linkAtHead(CDynLinkLibrary* library) {
  ResourceState& s = resourceState();
  std::lock_guard lock(s.mutex);
  library->m_pNextDLL = s.head;
  s.head = library;
}

void unlink(CDynLinkLibrary* library) {
  ResourceState& s = resourceState();
  std::lock_guard lock(s.mutex);
  for (CDynLinkLibrary** link = &s.head; *link; link = &(*link)->m_pNextDLL) {
    if (*link == library) {
      *link = library->m_pNextDLL;
      library->m_pNextDLL = nullptr;
      return;
    }
  }
}

// The resource handles to search, in MFC's order: current handle, non-system chain
// entries from the newest, then system entries.
std::vector<HINSTANCE> searchOrder() {
  std::vector<HINSTANCE> order{AfxGetResourceHandle()};
  std::vector<contura::afx::ChainEntry> chain = contura::afx::extensionChain();
  for (bool system : {false, true})
    for (const auto& entry : chain)
      if (entry.system == system && entry.resource) order.push_back(entry.resource);
  return order;
}

}  // namespace

namespace contura::afx {

const AFX_RESOURCE_TABLE* resourceTableOf(HINSTANCE module) {
  return static_cast<const AFX_RESOURCE_TABLE*>(os::findSymbol(module, AFX_RESOURCE_TABLE_SYMBOL));
}

const AFX_DLGTEMPLATE* findDialogIn(HINSTANCE module, UINT id) {
  const AFX_RESOURCE_TABLE* table = resourceTableOf(module);
  if (!table || !table->dialogs) return nullptr;
  for (int i = 0; i < table->dialogCount; ++i)
    if (table->dialogs[i].id == id) return &table->dialogs[i];
  return nullptr;
}

const char* findStringIn(HINSTANCE module, UINT id) {
  const AFX_RESOURCE_TABLE* table = resourceTableOf(module);
  if (!table || !table->strings) return nullptr;
  for (int i = 0; i < table->stringCount; ++i)
    if (table->strings[i].id == id && table->strings[i].text) return table->strings[i].text;
  return nullptr;
}

std::vector<ChainEntry> extensionChain() {
  ResourceState& s = resourceState();
  std::lock_guard lock(s.mutex);
  std::vector<ChainEntry> chain;
  for (const CDynLinkLibrary* p = s.head; p; p = p->m_pNextDLL)
    chain.push_back({p->m_hModule, p->m_hResource, p->m_bSystem != FALSE});
  return chain;
}

void setInstanceHandle(HINSTANCE instance) {
  ResourceState& s = resourceState();
  std::lock_guard lock(s.mutex);
  s.instance = instance;
}

}  // namespace contura::afx

HINSTANCE AfxGetResourceHandle() {
  ResourceState& s = resourceState();
  std::lock_guard lock(s.mutex);
  return s.resource ? s.resource : contura::os::mainProgramHandle();
}

void AfxSetResourceHandle(HINSTANCE hInstResource) {
  ResourceState& s = resourceState();
  std::lock_guard lock(s.mutex);
  s.resource = hInstResource;
}

HINSTANCE AfxGetInstanceHandle() {
  ResourceState& s = resourceState();
  std::lock_guard lock(s.mutex);
  return s.instance ? s.instance : contura::os::mainProgramHandle();
}

BOOL AfxInitExtensionModule(AFX_EXTENSION_MODULE& state, HMODULE hModule) {
  if (!hModule) return FALSE;
  if (state.bInitialized) return TRUE;
  state.bInitialized = TRUE;
  state.hModule = hModule;
  state.hResource = hModule;
  state.pFirstSharedClass = nullptr;
  state.pFirstSharedFactory = nullptr;
  return TRUE;
}

void AfxTermExtensionModule(AFX_EXTENSION_MODULE& state, BOOL bAll) {
  // Unlink the victims under the lock, delete them after it: their destructors unlink too.
  std::vector<CDynLinkLibrary*> victims;
  {
    ResourceState& s = resourceState();
    std::lock_guard lock(s.mutex);
    CDynLinkLibrary** link = &s.head;
    while (*link) {
      CDynLinkLibrary* p = *link;
      if (bAll || (state.hModule && p->m_hModule == state.hModule)) {
        *link = p->m_pNextDLL;
        p->m_pNextDLL = nullptr;
        victims.push_back(p);
      } else {
        link = &p->m_pNextDLL;
      }
    }
  }
  for (CDynLinkLibrary* p : victims) delete p;
  state.bInitialized = FALSE;
}

CDynLinkLibrary::CDynLinkLibrary(AFX_EXTENSION_MODULE& state, BOOL bSystem)
    : m_hModule(state.hModule), m_hResource(state.hResource), m_bSystem(bSystem), m_pNextDLL(nullptr) {
  linkAtHead(this);
}

CDynLinkLibrary::CDynLinkLibrary(HINSTANCE hModule, HINSTANCE hResource)
    : m_hModule(hModule), m_hResource(hResource), m_bSystem(FALSE), m_pNextDLL(nullptr) {
  linkAtHead(this);
}

CDynLinkLibrary::~CDynLinkLibrary() { unlink(this); }

HINSTANCE AfxFindResourceHandle(LPCTSTR lpszName, LPCTSTR lpszType) {
  auto id = static_cast<UINT>(reinterpret_cast<std::uintptr_t>(lpszName));
  bool dialog = lpszType == RT_DIALOG;
  bool string = lpszType == RT_STRING;
  if (reinterpret_cast<std::uintptr_t>(lpszName) < 0x10000 && (dialog || string)) {
    for (HINSTANCE h : searchOrder()) {
      if (dialog ? contura::afx::findDialogIn(h, id) != nullptr : contura::afx::findStringIn(h, id) != nullptr)
        return h;
    }
  }
  return AfxGetResourceHandle();
}

const AFX_DLGTEMPLATE* AfxFindDialogTemplate(UINT id) {
  for (HINSTANCE h : searchOrder())
    if (const AFX_DLGTEMPLATE* t = contura::afx::findDialogIn(h, id)) return t;
  return nullptr;
}

const char* AfxFindString(UINT id) {
  for (HINSTANCE h : searchOrder())
    if (const char* text = contura::afx::findStringIn(h, id)) return text;
  return nullptr;
}

int LoadString(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax) {
  if (!lpBuffer || cchBufferMax <= 0) return 0;
  const char* text = contura::afx::findStringIn(hInstance, uID);
  std::string_view s(text ? text : "");
  std::size_t room = static_cast<std::size_t>(cchBufferMax) - 1;
  std::size_t n = 0;
  // Whole characters only, so a cut never leaves a lone lead byte.
  while (n < s.size() && n + contura::afx::mbcs::charSize(s, n) <= room) n += contura::afx::mbcs::charSize(s, n);
  std::memcpy(lpBuffer, s.data(), n);
  lpBuffer[n] = '\0';
  return static_cast<int>(n);
}
