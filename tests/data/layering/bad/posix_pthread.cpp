// Fixture: a forbidden include.
#include <vector>
  #  include "pthread.h"
