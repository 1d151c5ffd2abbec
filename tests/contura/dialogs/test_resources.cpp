// The library dialog templates, exported as this test program's resources.
#include <afxres.h>

#include "resources/LibraryResource.h"

namespace {

const AFX_DLGTEMPLATE kDialogs[] = {g_dlgLibPicName, g_dlgSectionLibManage, g_dlgPicSelect, g_dlgSectionInfo};

}  // namespace

extern "C" const AFX_RESOURCE_TABLE _afxModuleResources = {kDialogs, 4, nullptr, 0};
