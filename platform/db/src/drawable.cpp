// The drawable base every database object has.
#include <acgi.h>

Adesk::Boolean AcGiDrawable::worldDraw(AcGiWorldDraw*) { return Adesk::kTrue; }
