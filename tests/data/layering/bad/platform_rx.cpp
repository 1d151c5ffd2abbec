// Fixture: a forbidden include.
#include <vector>
  #  include "contura/rx/app_loader.h"
