// The host's user-interface extension library: initialisation, and the dialog controls that
// follow the host's look (colour picker, edit boxes that know their kind of value).
#pragma once
#include "acuiComboBox.h"
#include "acuiEdit.h"

// Initialises the library for the calling module; a module calls it once from its DllMain
// process attach. Calling it again does nothing.
void InitAcUiDLL();
