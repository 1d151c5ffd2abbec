// Fixture: a forbidden include.
#include <vector>
  #  include "contura/ed/print_sink.h"
