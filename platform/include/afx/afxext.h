// MFC's extensions header: brings in the windows, dialogs and common controls that extension
// modules include through it.
#pragma once
#include "afxwin.h"
#include "afxdlgs.h"
#include "afxcmn.h"
