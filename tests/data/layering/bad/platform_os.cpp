// Fixture: a forbidden include.
#include <vector>
  #  include "contura/os/module.h"
