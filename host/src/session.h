// One run of the program `contura`: options in, exit code out.
#pragma once
#include <filesystem>
#include <istream>
#include <ostream>
#include <string>
#include <vector>

namespace contura::host {

// Exit codes of the program.
inline constexpr int kExitOk = 0;
inline constexpr int kExitError = 1;  // an error stopped the run (message on the error stream)
inline constexpr int kExitUsage = 2;  // bad usage (one-line hint on the error stream)

// Said on the error stream when the session ends with changes to the drawing that were not
// saved and nobody chose to drop them (a script, or a terminal that went away).
inline constexpr const char* kUnsavedChangesNote =
    "contura: the drawing has changes that were not saved (SAVE them, or run with --save FILE)\n";

// Where the module is: the file named by the environment variable CONTURA_MODULE when it is
// set and not empty, else Contura.arx in the folder of the running program.
std::filesystem::path modulePath();

// The standard streams of a run (tests give string streams).
struct Streams {
  std::istream& in;
  std::ostream& out;
  std::ostream& err;
};

// Runs the program with the arguments after its name:
//  - parses the options (bad usage: a one-line hint, kExitUsage);
//  - --help / --version print and end (kExitOk);
//  - maps the drives, opens the script (unreadable: kExitUsage);
//  - loads `module`, then each module of --load in order, as the host's loader does
//    (failure: kExitError, after unloading what was loaded);
//  - installs the print sink, runs the command prompt from the script or the terminal;
//  - unloads every module and ends the output (kExitOk).
int runProgram(const std::vector<std::string>& args, const std::filesystem::path& module,
               Streams streams);

}  // namespace contura::host
