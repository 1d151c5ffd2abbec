// The Lisp functions modules define (acedDefun), for the host program and tests. The host has
// no Lisp interpreter; it can list the definitions and invoke one by name.
#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace contura::ed {

struct LispFunction {
  std::string name;  // as defined (code page 936)
  int code;          // the module's function code
  void* appId;       // the module that defined it (the dynamic linker's app id), or null
  bool direct;       // the module registered a function for the code (acedRegFunc)
};

// Every definition, in the order made.
std::vector<LispFunction> lispFunctions();

// Invokes a defined function by name (letter case ignored): calls the registered function
// directly, or sends the defining module kInvkSubrMsg; acedGetFunCode gives the code meanwhile.
// Returns the direct function's result, RTNORM after a kInvkSubrMsg the module accepted, or
// RTERROR when no such function is defined or the module refused the message.
int invokeLispFunction(std::string_view name);

}  // namespace contura::ed
