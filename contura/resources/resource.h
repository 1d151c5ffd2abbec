// Resource ids of the module: dialog templates 200-208 and the string table.
#pragma once

#define IDS_PROJNAME 100  // the module name, "Contura"
