// Fixture: a forbidden include.
#include <vector>
  #  include "contura/dxf/dxf.h"
