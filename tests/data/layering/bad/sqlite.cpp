// Fixture: a forbidden include.
#include <vector>
  #  include "sqlite3.h"
