// Fixture: a forbidden include.
#include <vector>
  #  include "iconv.h"
