// Utility functions of the host: printing on the command line.
#pragma once
#include <adesk.h>
#include <adscodes.h>

// Formats like the C library's printf (code page 936 bytes in, code page 936 bytes out) and
// shows the text on the command line. Returns RTNORM, or RTERROR for a null format.
int acutPrintf(const ACHAR* format, ...) __attribute__((format(printf, 1, 2)));
