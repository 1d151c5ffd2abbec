// CAcExtensionModule: a module's resource record. It ties the module into MFC as an
// extension module, so that MFC finds the module's dialog templates and strings, and
// remembers both the host's resource handle and the module's own.
#pragma once
#include <windows.h>

#include <afxres.h>

class CAcExtensionModule {
public:
  CAcExtensionModule() = default;
  CAcExtensionModule(const CAcExtensionModule&) = delete;
  CAcExtensionModule& operator=(const CAcExtensionModule&) = delete;

  // Attaches the module: FALSE when it is attached already or MFC refuses the instance;
  // otherwise records the current resource handle as the host's and hExtInst as the
  // module's, adds the module to MFC's chain of extension libraries and returns TRUE.
  BOOL AttachInstance(HINSTANCE hExtInst) {
    if (m_bAttached) return FALSE;
    m_bAttached = AfxInitExtensionModule(m_module, hExtInst);
    if (m_bAttached) {
      m_hDefaultResource = AfxGetResourceHandle();
      m_hModuleResource = hExtInst;
      new CDynLinkLibrary(m_module);  // owned by MFC's chain; AfxTermExtensionModule deletes it
    }
    return m_bAttached;
  }
  // Ends the extension module when it is attached.
  void DetachInstance() {
    if (m_bAttached) {
      AfxTermExtensionModule(m_module);
      m_bAttached = FALSE;
    }
  }

  BOOL Attached() const { return m_bAttached; }
  HINSTANCE DefaultResourceInstance() const { return m_hDefaultResource; }
  HINSTANCE ModuleResourceInstance() const { return m_hModuleResource; }
  AFX_EXTENSION_MODULE& ModuleState() { return m_module; }

private:
  BOOL m_bAttached = FALSE;
  HINSTANCE m_hDefaultResource = nullptr;
  HINSTANCE m_hModuleResource = nullptr;
  AFX_EXTENSION_MODULE m_module = {};
};

// Declares (in a header) and defines (in one source file) a module's resource record.
#define AC_DECLARE_EXTENSION_MODULE(exm) extern CAcExtensionModule exm;
#define AC_IMPLEMENT_EXTENSION_MODULE(exm) CAcExtensionModule exm;
