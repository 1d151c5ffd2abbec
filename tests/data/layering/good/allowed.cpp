// Includes a module may use: host-named headers, its own and the standard library.
#include <afxwin.h>
#include <dbmain.h>
#include <vector>
#include <string>
#include "app/ConturaApp.h"
#include "contura_local.h"
#include <QuantityHelper>
