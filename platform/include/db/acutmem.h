// Strings the database hands out: copies the caller owns and releases with acutDelString.
#pragma once
#include <adesk.h>

// A copy of pInput allocated with new[]; null for null.
ACHAR* acutNewString(const ACHAR* pInput);
// Releases a string from acutNewString or from a database call that returns a copy
// (layer(), textString(), getName(ACHAR*&), ...): delete[], then sets pString to null.
void acutDelString(ACHAR*& pString);
