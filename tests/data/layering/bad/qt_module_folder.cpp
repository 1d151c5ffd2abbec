// Fixture: a forbidden include.
#include <vector>
  #  include "QtWidgets/QDialog"
