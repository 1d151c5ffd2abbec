// What the variable command and dialog tests share: a drawing made the working database, the
// variable entity's properties read back by id, and dialog steps. (The variable with every
// property set and the properties as values are the entity library's test fixture.)
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "contura/ui/acui_state.h"
#include "drawing_fixture.h"
#include "test_backend.h"
#include "varcommon_fixture.h"
#include "variables/VarSetDlg.h"

// The properties of entity `id`; all empty when it does not open as a variable.
inline VarProps propsOf(AcDbObjectId id) {
  Opened<AcDbVarCommon> v(id);
  return v.p ? propsOf(v.p) : VarProps{};
}

// The dialog steps by control id.
using steps::chooseRow;
using steps::clickOk;
using steps::itemText;
using steps::pressCancel;
using steps::Step;
using steps::typeInto;
