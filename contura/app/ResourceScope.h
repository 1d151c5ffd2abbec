// CConturaResourceScope: makes the module's resources current for as long as it lives, through
// the document manager's resource-handle stack. A command builds one before constructing a
// dialog and lets it end after the dialog is destroyed, so the handle is popped on every path.
#pragma once
#include <acdocman.h>

#include "ConturaModule.h"

class CConturaResourceScope {
public:
  CConturaResourceScope() { acDocManagerPtr()->pushResourceHandle(ConturaDLL.ModuleResourceInstance()); }
  ~CConturaResourceScope() { acDocManagerPtr()->popResourceHandle(); }
  CConturaResourceScope(const CConturaResourceScope&) = delete;
  CConturaResourceScope& operator=(const CConturaResourceScope&) = delete;
};
