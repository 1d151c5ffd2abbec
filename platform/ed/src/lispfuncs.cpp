// Lisp function definitions of modules: acedDefun, acedUndef, acedRegFunc, acedGetFunCode.
#include <acedads.h>
#include <contura/ed/lisp_functions.h>
#include <contura/rx/app_loader.h>

#include <afxstr.h>
#include <rxregsvc.h>

#include <algorithm>
#include <map>
#include <utility>

namespace contura::ed {
namespace {

struct LispState {
  std::vector<LispFunction> functions;
  std::map<std::pair<void*, int>, int (*)()> direct;  // (app, code) -> function
  std::vector<int> invoking;                           // codes being invoked, innermost last
};

LispState& state() {
  static LispState s;
  return s;
}

// Drops the definitions of a module when it is unloaded, so that nothing points into it.
class UnloadWatcher : public AcRxDLinkerReactor {
public:
  void rxAppWillBeUnloaded(const ACHAR* moduleName) override {
    m_pending.push_back(rx::applicationId(moduleName));
  }
  void rxAppUnloadAborted(const ACHAR*) override { m_pending.pop_back(); }
  void rxAppUnloaded(const ACHAR*) override {
    void* app = m_pending.back();
    m_pending.pop_back();
    auto& fns = state().functions;
    fns.erase(std::remove_if(fns.begin(), fns.end(), [app](const LispFunction& f) { return f.appId == app; }),
              fns.end());
    std::erase_if(state().direct, [app](const auto& entry) { return entry.first.first == app; });
  }

private:
  std::vector<void*> m_pending;
};

void watchUnloads() {
  static UnloadWatcher* watcher = [] {
    auto* w = new UnloadWatcher;  // lives as long as the dynamic linker, which is never destroyed
    acrxDynamicLinker->addReactor(w);
    return w;
  }();
  (void)watcher;
}

bool sameName(const std::string& a, std::string_view b) {
  return _mbsicmp(reinterpret_cast<const unsigned char*>(a.c_str()),
                  reinterpret_cast<const unsigned char*>(std::string(b).c_str())) == 0;
}

std::vector<LispFunction>::iterator findFunction(std::string_view name, void* app) {
  auto& fns = state().functions;
  return std::find_if(fns.begin(), fns.end(), [&](const LispFunction& f) {
    return f.appId == app && sameName(f.name, name);
  });
}

// Marks a code as being invoked for the duration of a call.
class Invoking {
public:
  explicit Invoking(int code) { state().invoking.push_back(code); }
  ~Invoking() { state().invoking.pop_back(); }
  Invoking(const Invoking&) = delete;
  Invoking& operator=(const Invoking&) = delete;
};

}  // namespace

std::vector<LispFunction> lispFunctions() {
  std::vector<LispFunction> result = state().functions;
  for (LispFunction& f : result) f.direct = state().direct.count({f.appId, f.code}) != 0;
  return result;
}

int invokeLispFunction(std::string_view name) {
  auto& fns = state().functions;
  auto it = std::find_if(fns.begin(), fns.end(),
                         [&](const LispFunction& f) { return sameName(f.name, name); });
  if (it == fns.end()) return RTERROR;
  const LispFunction f = *it;
  Invoking invoking(f.code);
  auto direct = state().direct.find({f.appId, f.code});
  if (direct != state().direct.end()) return direct->second();
  if (f.appId == nullptr) return RTERROR;
  return rx::sendAppMessage(f.appId, AcRx::kInvkSubrMsg, nullptr) == AcRx::kRetOK ? RTNORM : RTERROR;
}

}  // namespace contura::ed

using contura::ed::state;

int acedDefun(const ACHAR* sname, int funcno) {
  if (sname == nullptr || *sname == '\0' || funcno < 0) return RTERROR;
  contura::ed::watchUnloads();
  void* app = contura::rx::currentApplication();
  auto it = contura::ed::findFunction(sname, app);
  if (it != state().functions.end())
    it->code = funcno;
  else
    state().functions.push_back({sname, funcno, app, false});
  return RTNORM;
}

int acedUndef(const ACHAR* sname, int funcno) {
  if (sname == nullptr) return RTERROR;
  void* app = contura::rx::currentApplication();
  auto it = contura::ed::findFunction(sname, app);
  if (it == state().functions.end() || it->code != funcno) return RTERROR;
  state().functions.erase(it);
  state().direct.erase({app, funcno});
  return RTNORM;
}

int acedRegFunc(int (*fhdl)(), int fcode) {
  if (fcode < 0) return RTERROR;
  contura::ed::watchUnloads();
  void* app = contura::rx::currentApplication();
  if (fhdl == nullptr)
    state().direct.erase({app, fcode});
  else
    state().direct[{app, fcode}] = fhdl;
  return RTNORM;
}

int acedGetFunCode() { return state().invoking.empty() ? RTERROR : state().invoking.back(); }
