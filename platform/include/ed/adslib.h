// Everything of the host's global (ads) functions: types, result codes, utility and editor
// functions.
#pragma once
#include <adscodes.h>
#include <adsdef.h>

#include "acedads.h"
#include "acedinpt.h"
#include "acutads.h"
