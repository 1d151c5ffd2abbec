// Fixture: a forbidden include.
#include <vector>
  #  include "sys/stat.h"
