// The module's resources: its string table and dialog templates, exported under the name
// through which the platform finds a module's resources.
#include <afxres.h>

#include "LibraryResource.h"
#include "SectionResource.h"
#include "SectionTextResource.h"
#include "VariableResource.h"
#include "resource.h"

namespace {

const AFX_DLGTEMPLATE kDialogs[] = {g_dlgInfoView,    g_dlgUserSectionLib,   g_dlgSection,    g_dlgLibPicName,
                                    g_dlgViewSection, g_dlgSectionLibManage, g_dlgPicSelect,  g_dlgSectionInfo,
                                    g_dlgVarSet};

const AFX_STRINGENTRY kStrings[] = {
    {IDS_PROJNAME, "Contura"},
};

}  // namespace

extern "C" const AFX_RESOURCE_TABLE _afxModuleResources = {
    kDialogs, static_cast<int>(sizeof(kDialogs) / sizeof(kDialogs[0])),
    kStrings, static_cast<int>(sizeof(kStrings) / sizeof(kStrings[0])),
};
