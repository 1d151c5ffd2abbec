// The command stack: groups of commands, found by global or local name in any letter case.
#include <accmd.h>

#include <afxstr.h>

#include <algorithm>
#include <cstring>

ACRX_NO_CONS_DEFINE_MEMBERS(AcEdUIContext, AcRxObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcEdCommand, AcRxObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcEdCommandIterator, AcRxObject)
ACRX_NO_CONS_DEFINE_MEMBERS(AcEdCommandStack, AcRxObject)

namespace {

// Names compare as the host compares them: letter case ignored for ASCII letters, double-byte
// characters compared whole.
bool sameName(const ACHAR* a, const ACHAR* b) {
  return _mbsicmp(reinterpret_cast<const unsigned char*>(a),
                  reinterpret_cast<const unsigned char*>(b)) == 0;
}

bool validName(const ACHAR* name) {
  if (name == nullptr || *name == '\0') return false;
  size_t length = std::strlen(name);
  if (length > ACRX_MAX_CMDNAME_LEN) return false;
  return std::none_of(name, name + length, [](char c) { return c == ' ' || c == '\t'; });
}

}  // namespace

// ---- AcEdCommand

AcEdCommand::AcEdCommand(std::string globalName, std::string localName, Adesk::Int32 flags,
                         AcRxFunctionPtr function, AcEdUIContext* uiContext, int functionCode,
                         HINSTANCE resourceHandle)
    : m_globalName(std::move(globalName)),
      m_localName(std::move(localName)),
      m_flags(flags),
      m_function(function),
      m_pUIContext(uiContext),
      m_functionCode(functionCode),
      m_hResource(resourceHandle) {}

// ---- AcEdCommandIterator

AcEdCommandIterator::AcEdCommandIterator(std::vector<Item> items) : m_items(std::move(items)) {}

bool AcEdCommandIterator::done() const { return m_pos >= m_items.size(); }

bool AcEdCommandIterator::next() {
  if (done()) return false;
  ++m_pos;
  return !done();
}

const AcEdCommand* AcEdCommandIterator::command() const {
  return done() ? nullptr : m_items[m_pos].command;
}

const ACHAR* AcEdCommandIterator::commandGroup() const {
  return done() ? nullptr : m_items[m_pos].group;
}

// ---- AcEdCommandStack

AcEdCommandStack::AcEdCommandStack() = default;
AcEdCommandStack::~AcEdCommandStack() = default;

AcEdCommandStack::Group* AcEdCommandStack::findGroup(const ACHAR* groupName) const {
  if (groupName == nullptr) return nullptr;
  for (const auto& g : m_groups)
    if (sameName(g->name.c_str(), groupName)) return g.get();
  return nullptr;
}

Acad::ErrorStatus AcEdCommandStack::addCommand(const ACHAR* cmdGroupName,
                                               const ACHAR* cmdGlobalName,
                                               const ACHAR* cmdLocalName,
                                               Adesk::Int32 commandFlags,
                                               AcRxFunctionPtr functionAddr,
                                               AcEdUIContext* UIContext, int fcode,
                                               HINSTANCE hResourceHandle,
                                               AcEdCommand** cmdPtrRet) {
  if (cmdPtrRet != nullptr) *cmdPtrRet = nullptr;
  const ACHAR* localName =
      (cmdLocalName == nullptr || *cmdLocalName == '\0') ? cmdGlobalName : cmdLocalName;
  if (cmdGroupName == nullptr || *cmdGroupName == '\0' || !validName(cmdGlobalName) ||
      !validName(localName) || functionAddr == nullptr)
    return Acad::eInvalidInput;

  Group* group = findGroup(cmdGroupName);
  if (group != nullptr) {
    for (const auto& c : group->commands)
      if (sameName(c->globalName(), cmdGlobalName) || sameName(c->localName(), localName))
        return Acad::eDuplicateKey;
  } else {
    m_groups.insert(m_groups.begin(), std::make_unique<Group>());
    group = m_groups.front().get();
    group->name = cmdGroupName;
  }
  group->commands.push_back(std::make_unique<AcEdCommand>(
      cmdGlobalName, localName, commandFlags, functionAddr, UIContext, fcode, hResourceHandle));
  if (cmdPtrRet != nullptr) *cmdPtrRet = group->commands.back().get();
  return Acad::eOk;
}

AcEdCommandIterator* AcEdCommandStack::iterator() const {
  std::vector<AcEdCommandIterator::Item> items;
  for (const auto& g : m_groups)
    for (const auto& c : g->commands) items.push_back({g->name.c_str(), c.get()});
  return new AcEdCommandIterator(std::move(items));
}

AcEdCommand* AcEdCommandStack::lookupCmd(const ACHAR* cmdName, bool globalFlag,
                                         bool skipUndefed) const {
  if (cmdName == nullptr || *cmdName == '\0') return nullptr;
  for (const auto& g : m_groups) {
    for (const auto& c : g->commands) {
      if (skipUndefed && c->isUndefined()) continue;
      if (sameName(globalFlag ? c->globalName() : c->localName(), cmdName)) return c.get();
    }
  }
  return nullptr;
}

AcEdCommand* AcEdCommandStack::lookupGlobalCmd(const ACHAR* cmdName) const {
  return lookupCmd(cmdName, true);
}

AcEdCommand* AcEdCommandStack::lookupLocalCmd(const ACHAR* cmdName) const {
  return lookupCmd(cmdName, false);
}

const ACHAR* AcEdCommandStack::groupOf(const AcEdCommand* cmd) const {
  for (const auto& g : m_groups)
    for (const auto& c : g->commands)
      if (c.get() == cmd) return g->name.c_str();
  return nullptr;
}

Acad::ErrorStatus AcEdCommandStack::popGroupToTop(const ACHAR* groupName) {
  Group* group = findGroup(groupName);
  if (group == nullptr) return Acad::eKeyNotFound;
  auto it = std::find_if(m_groups.begin(), m_groups.end(),
                         [group](const auto& g) { return g.get() == group; });
  std::rotate(m_groups.begin(), it, it + 1);
  return Acad::eOk;
}

Acad::ErrorStatus AcEdCommandStack::removeCmd(const ACHAR* cmdGroupName,
                                              const ACHAR* cmdGlobalName) {
  Group* group = findGroup(cmdGroupName);
  if (group == nullptr || cmdGlobalName == nullptr) return Acad::eKeyNotFound;
  auto& cmds = group->commands;
  auto it = std::find_if(cmds.begin(), cmds.end(),
                         [&](const auto& c) { return sameName(c->globalName(), cmdGlobalName); });
  if (it == cmds.end()) return Acad::eKeyNotFound;
  cmds.erase(it);
  if (cmds.empty()) removeGroup(cmdGroupName);
  return Acad::eOk;
}

Acad::ErrorStatus AcEdCommandStack::removeGroup(const ACHAR* groupName) {
  Group* group = findGroup(groupName);
  if (group == nullptr) return Acad::eKeyNotFound;
  m_groups.erase(std::find_if(m_groups.begin(), m_groups.end(),
                              [group](const auto& g) { return g.get() == group; }));
  return Acad::eOk;
}
