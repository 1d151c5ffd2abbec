// Handlers of the commands whose work is not built yet: each says so on the command line and
// does nothing else. A command's real handler replaces its function here.
#include <acutads.h>

#include "ConturaApp.h"

namespace {

void reportNotBuilt(const char* localName) { acutPrintf("\n命令 %s 尚未实现。", localName); }

}  // namespace

void CConturaApp::OnUSection() { reportNotBuilt("USD"); }
