// Fixture: a forbidden include.
#include <vector>
  #  include "dlfcn.h"
