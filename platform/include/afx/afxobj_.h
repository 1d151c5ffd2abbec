// CObject and run-time class information, and MFC's diagnostics macros (included by afx.h
// and the collection headers).
#pragma once
#include <windows.h>

typedef long long LONGLONG;
typedef unsigned long long ULONGLONG;
typedef unsigned int* PUINT;

class CObject;

// Run-time class information of a CObject class (DECLARE_DYNAMIC and friends).
struct CRuntimeClass {
  LPCSTR m_lpszClassName;
  int m_nObjectSize;
  UINT m_wSchema;                      // 0xFFFF: not serialisable
  CObject* (*m_pfnCreateObject)();     // null unless DECLARE_DYNCREATE
  const CRuntimeClass* m_pBaseClass;  // null for CObject

  // A new object of the class, or null when the class cannot be created dynamically.
  CObject* CreateObject() const;
  // TRUE when this class is pBaseClass or derives from it.
  BOOL IsDerivedFrom(const CRuntimeClass* pBaseClass) const;
};

// The root of MFC's classes: virtual destructor, run-time class, not copyable.
class CObject {
public:
  virtual ~CObject() = default;
  CObject(const CObject&) = delete;
  CObject& operator=(const CObject&) = delete;

  virtual CRuntimeClass* GetRuntimeClass() const;
  BOOL IsKindOf(const CRuntimeClass* pClass) const;

  static const CRuntimeClass classCObject;

protected:
  CObject() = default;
};

#define RUNTIME_CLASS(class_name) (const_cast<CRuntimeClass*>(&class_name::class##class_name))

#define DECLARE_DYNAMIC(class_name) \
public:                             \
  static const CRuntimeClass class##class_name; \
  CRuntimeClass* GetRuntimeClass() const override;

#define DECLARE_DYNCREATE(class_name) \
  DECLARE_DYNAMIC(class_name)         \
  static CObject* CreateObject();

#define AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, pfnNew)                            \
  const CRuntimeClass class_name::class##class_name = {#class_name, sizeof(class_name), 0xFFFF,  \
                                                       pfnNew, RUNTIME_CLASS(base_class_name)};    \
  CRuntimeClass* class_name::GetRuntimeClass() const { return RUNTIME_CLASS(class_name); }

#define IMPLEMENT_DYNAMIC(class_name, base_class_name) \
  AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, nullptr)

#define IMPLEMENT_DYNCREATE(class_name, base_class_name)            \
  CObject* class_name::CreateObject() { return new class_name; }    \
  AFX_IMPLEMENT_RUNTIMECLASS(class_name, base_class_name, class_name::CreateObject)

// pObject as a class_name*, or null when it is not one (or is null).
#define DYNAMIC_DOWNCAST(class_name, pObject) \
  (((pObject) && (pObject)->IsKindOf(RUNTIME_CLASS(class_name))) ? static_cast<class_name*>(pObject) : nullptr)
#define STATIC_DOWNCAST(class_name, pObject) (static_cast<class_name*>(pObject))

// Diagnostics as in a release build of MFC: ASSERT checks nothing (its expression is not
// evaluated), VERIFY evaluates its expression, TRACE prints nothing.
#define ASSERT(f) ((void)sizeof(!(f)))
#define VERIFY(f) ((void)(f))
#define ASSERT_VALID(pOb) ((void)0)
#define ASSERT_KINDOF(class_name, object) ((void)0)
#define TRACE(...) ((void)0)
#define UNUSED(x) ((void)(x))
#define UNUSED_ALWAYS(x) ((void)(x))
