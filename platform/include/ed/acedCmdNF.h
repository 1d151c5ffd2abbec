// The command functions of newer hosts (acedCommandS, acedCmdS).
#pragma once
#include "acedinpt.h"
