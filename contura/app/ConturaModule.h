// The module's resource record, attached in DllMain; its module resource handle is what the
// commands make current around their dialogs.
#pragma once
#include <AcExtensionModule.h>

AC_DECLARE_EXTENSION_MODULE(ConturaDLL)
