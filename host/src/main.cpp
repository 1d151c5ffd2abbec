// The program `contura`: the host of the section module Contura.arx.
#include "session.h"
#ifdef CONTURA_WITH_QT
#include "qt_frontend.h"
#endif

#include <exception>
#include <iostream>

int main(int argc, char** argv) {
  try {
    std::vector<std::string> args(argv + 1, argv + argc);
#ifdef CONTURA_WITH_QT
    contura::qt::installQtFrontEnd();  // --gui opens the window
#endif
    return contura::host::runProgram(args, contura::host::modulePath(),
                                     {std::cin, std::cout, std::cerr});
  } catch (const std::exception& e) {
    std::cerr << "contura: " << e.what() << "\n";
  } catch (...) {
    std::cerr << "contura: stopped by an unexpected error\n";
  }
  return contura::host::kExitError;
}
