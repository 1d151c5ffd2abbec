// Misuse of the open/close protocol: how it is reported.
#pragma once
#include <acadstrc.h>

namespace contura::db {

// Called with the status the misuse returns (or would return) and a sentence naming it.
// The default handler prints the sentence to stderr and, in a build without NDEBUG, aborts;
// in other builds it only prints. Tests that check misuse install their own.
using MisuseHandler = void (*)(Acad::ErrorStatus es, const char* what);
// Installs handler (null: the default) and returns the previous one.
MisuseHandler setMisuseHandler(MisuseHandler handler);

}  // namespace contura::db
