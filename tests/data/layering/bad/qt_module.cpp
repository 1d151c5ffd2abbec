// Fixture: a forbidden include.
#include <vector>
  #  include "QtCore"
