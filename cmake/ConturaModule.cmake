# Build helpers for application modules, used in the source tree and installed with the SDK.

# Module, sibling and platform code holds text as code page 936 bytes, exactly as the
# Windows build did: sources are UTF-8, string literals become CP936 in the object file.
# Clang has no code page 936 execution character set: in the clang fuzz build literals stay
# UTF-8 (the fuzzers feed bytes, not the module's prompts).
function(contura_cp936 target)
  if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    return()
  endif()
  target_compile_options(${target} PRIVATE -finput-charset=UTF-8 -fexec-charset=CP936)
endfunction()

# contura_add_module(<target> <sources>...): an application module of the product, built the
# way a module using Contura.arx's exported classes is: a shared object named <target>.arx,
# compiled with the host-named headers and Contura.arx's exported headers only, its texts in
# code page 936, linked to Contura.arx itself (whose shared-object name lets the dynamic
# loader hand it the Contura.arx the host has loaded, wherever that file lies). The target
# ConturaSDK::Contura carries the headers and the libraries: the installed package defines
# it, the source tree an alias of its own. Load the module with `contura --load FILE.arx`.
function(contura_add_module target)
  add_library(${target} MODULE ${ARGN})
  target_link_libraries(${target} PRIVATE ConturaSDK::Contura)
  set_target_properties(${target} PROPERTIES PREFIX "" SUFFIX ".arx")
  if(TARGET Contura)  # in the source tree: Contura.arx is built first
    add_dependencies(${target} Contura)
  endif()
  contura_cp936(${target})
endfunction()
