// The command stack: every command a module registers, in named groups, found by its global
// or local name in any letter case. The host's command line runs commands through it.
#pragma once
#include <windows.h>

#include <rxobject.h>

#include <memory>
#include <string>
#include <vector>

// Command flags (an addCommand argument), with the host's values.
#define ACRX_CMD_MODAL 0x00000000
#define ACRX_CMD_TRANSPARENT 0x00000001
#define ACRX_CMD_USEPICKSET 0x00000002
#define ACRX_CMD_REDRAW 0x00000004
#define ACRX_CMD_NOPERSPECTIVE 0x00000008
#define ACRX_CMD_NOMULTIPLE 0x00000010
#define ACRX_CMD_NOTILEMODE 0x00000020
#define ACRX_CMD_NOPAPERSPACE 0x00000040
#define ACRX_CMD_NOOEM 0x00000100
#define ACRX_CMD_UNDEFINED 0x00000200
#define ACRX_CMD_INPROGRESS 0x00000400
#define ACRX_CMD_DEFUN 0x00000800
#define ACRX_CMD_NOINTERNALLOCK 0x00020000
#define ACRX_CMD_DOCREADLOCK 0x00080000
#define ACRX_CMD_DOCEXCLUSIVELOCK 0x00100000
#define ACRX_CMD_SESSION 0x00200000
#define ACRX_CMD_INTERRUPTIBLE 0x00400000
#define ACRX_CMD_NOHISTORY 0x00800000
#define ACRX_CMD_NO_UNDO_MARKER 0x01000000
#define ACRX_CMD_NOBEDIT 0x02000000

// The longest command name the stack accepts, in bytes.
#define ACRX_MAX_CMDNAME_LEN 64

// The registry key of the command stack.
#define ACRX_COMMAND_DOCK ACRX_T("ACAD_REGISTERED_COMMANDS")

// A context menu provider for a command. Commands may carry one; the host keeps it with the
// command and hands it back.
class AcEdUIContext : public AcRxObject {
public:
  ACRX_DECLARE_MEMBERS(AcEdUIContext);
};

// One registered command. Owned by the command stack.
class AcEdCommand : public AcRxObject {
public:
  ACRX_DECLARE_MEMBERS(AcEdCommand);
  AcEdCommand(std::string globalName, std::string localName, Adesk::Int32 flags,
              AcRxFunctionPtr function, AcEdUIContext* uiContext, int functionCode,
              HINSTANCE resourceHandle);

  const ACHAR* globalName() const { return m_globalName.c_str(); }
  const ACHAR* localName() const { return m_localName.c_str(); }
  Adesk::Int32 commandFlags() const { return m_flags; }
  AcRxFunctionPtr functionAddr() const { return m_function; }
  void functionAddr(AcRxFunctionPtr function) { m_function = function; }
  int functionCode() const { return m_functionCode; }
  void functionCode(int code) { m_functionCode = code; }
  AcEdUIContext* UIContext() const { return m_pUIContext; }
  // The module whose resources are current while the command runs; null for none.
  HINSTANCE resourceHandle() const { return m_hResource; }
  // An undefined command is skipped by lookups that ask to skip undefined ones.
  void commandUndef(bool undefIt) { m_bUndefined = undefIt; }
  bool isUndefined() const { return m_bUndefined; }

private:
  std::string m_globalName;
  std::string m_localName;
  Adesk::Int32 m_flags;
  AcRxFunctionPtr m_function;
  AcEdUIContext* m_pUIContext;
  int m_functionCode;
  HINSTANCE m_hResource;
  bool m_bUndefined = false;
};

// Walks every command, group by group from the top of the stack, each group in the order its
// commands were added. The stack must not change while an iterator walks it.
class AcEdCommandIterator : public AcRxObject {
public:
  ACRX_DECLARE_MEMBERS(AcEdCommandIterator);
  struct Item {
    const ACHAR* group;
    AcEdCommand* command;
  };
  explicit AcEdCommandIterator(std::vector<Item> items);

  bool done() const;
  bool next();  // false once done
  const AcEdCommand* command() const;  // null when done
  const ACHAR* commandGroup() const;   // null when done

private:
  std::vector<Item> m_items;
  size_t m_pos = 0;
};

class AcEdCommandStack : public AcRxObject {
public:
  ACRX_DECLARE_MEMBERS(AcEdCommandStack);
  AcEdCommandStack();
  ~AcEdCommandStack() override;
  AcEdCommandStack(const AcEdCommandStack&) = delete;
  AcEdCommandStack& operator=(const AcEdCommandStack&) = delete;

  // Adds a command to group cmdGroupName, making the group (on top of the stack) when it
  // does not exist. A null or empty local name means the global name. Results:
  //   eOk; eInvalidInput for a null or empty group or global name, a null function, or a
  //   name longer than ACRX_MAX_CMDNAME_LEN or holding a blank; eDuplicateKey when the group
  //   already has a command whose global name equals cmdGlobalName or whose local name
  //   equals the local name (letter case ignored).
  // cmdPtrRet, when given, receives the new command (null on failure).
  Acad::ErrorStatus addCommand(const ACHAR* cmdGroupName, const ACHAR* cmdGlobalName,
                               const ACHAR* cmdLocalName, Adesk::Int32 commandFlags,
                               AcRxFunctionPtr functionAddr, AcEdUIContext* UIContext = nullptr,
                               int fcode = -1, HINSTANCE hResourceHandle = nullptr,
                               AcEdCommand** cmdPtrRet = nullptr);

  // A new iterator the caller deletes.
  AcEdCommandIterator* iterator() const;

  // The first command, searching groups from the top, whose global (globalFlag) or local name
  // equals cmdName ignoring letter case; null when none. skipUndefed skips undefined commands.
  AcEdCommand* lookupCmd(const ACHAR* cmdName, bool globalFlag, bool skipUndefed = false) const;
  AcEdCommand* lookupGlobalCmd(const ACHAR* cmdName) const;
  AcEdCommand* lookupLocalCmd(const ACHAR* cmdName) const;
  // The group holding command cmd; null when the stack does not hold it.
  const ACHAR* groupOf(const AcEdCommand* cmd) const;

  // Moves a group to the top of the stack, so its commands are found first.
  // eKeyNotFound when there is no such group.
  Acad::ErrorStatus popGroupToTop(const ACHAR* groupName);
  // Removes one command by group and global name (letter case ignored); the group goes
  // when it becomes empty. eKeyNotFound when the group or the command does not exist.
  Acad::ErrorStatus removeCmd(const ACHAR* cmdGroupName, const ACHAR* cmdGlobalName);
  // Removes a group and all its commands; eKeyNotFound when there is no such group.
  Acad::ErrorStatus removeGroup(const ACHAR* groupName);

private:
  struct Group {
    std::string name;
    std::vector<std::unique_ptr<AcEdCommand>> commands;
  };
  Group* findGroup(const ACHAR* groupName) const;
  std::vector<std::unique_ptr<Group>> m_groups;  // top of the stack first
};

// The command stack of the system registry.
#define acedRegCmds AcEdCommandStack::cast(acrxSysRegistry()->at(ACRX_COMMAND_DOCK))
