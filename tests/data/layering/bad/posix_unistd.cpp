// Fixture: a forbidden include.
#include <vector>
  #  include "unistd.h"
