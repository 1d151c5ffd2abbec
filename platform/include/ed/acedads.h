// Global editor functions of the host. So far: the functions through which a module defines
// the commands it offers to the host's Lisp (there is no Lisp interpreter in this host; the
// definitions are kept and can be invoked by the host program).
#pragma once
#include <adesk.h>
#include <adscodes.h>

// Defines Lisp function sname with code funcno for the calling module. RTNORM; RTERROR for a
// null or empty name or a negative code. Defining a name again replaces its code.
int acedDefun(const ACHAR* sname, int funcno);
// Removes the definition of sname with code funcno. RTNORM; RTERROR when it is not defined
// with that code.
int acedUndef(const ACHAR* sname, int funcno);
// Registers fhdl as the function the host calls directly for code fcode (instead of sending
// kInvkSubrMsg). RTNORM; RTERROR for a negative code.
int acedRegFunc(int (*fhdl)(), int fcode);
// The code of the Lisp function being invoked, or RTERROR when none is.
int acedGetFunCode();
