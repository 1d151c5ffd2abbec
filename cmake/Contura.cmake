# Build helpers shared by every layer.

# contura_cp936 (texts as code page 936 bytes) and contura_add_module (a module built against
# Contura.arx), shared with the installed SDK.
include(${CMAKE_CURRENT_LIST_DIR}/ConturaModule.cmake)

# contura_layer(NAME <target> DIR <source dir> [PUBLIC_INCLUDE <dir>...] [DEPS <target>...]
#               [PRIVATE_DEPS <target>...] [STATIC])
# One shared library per layer, built from every .cpp under DIR/src (or DIR itself when it
# has no src/). Public include directories propagate to whoever links the layer, so a layer
# sees exactly the headers of the layers it depends on.
function(contura_layer)
  cmake_parse_arguments(L "STATIC;UTF8" "NAME;DIR" "PUBLIC_INCLUDE;DEPS;PRIVATE_DEPS;PRIVATE_INCLUDE" ${ARGN})
  # A layer's own include/ holds platform-internal interfaces (for the host program and tests).
  if(EXISTS ${L_DIR}/include)
    list(APPEND L_PUBLIC_INCLUDE ${L_DIR}/include)
  endif()
  if(EXISTS ${L_DIR}/src)
    file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${L_DIR}/src/*.cpp)
  else()
    file(GLOB srcs CONFIGURE_DEPENDS ${L_DIR}/*.cpp)
  endif()
  if(NOT srcs)
    # A layer whose sources have not been written yet is headers only.
    add_library(${L_NAME} INTERFACE)
    target_include_directories(${L_NAME} INTERFACE ${L_PUBLIC_INCLUDE})
    target_link_libraries(${L_NAME} INTERFACE ${L_DEPS})
    return()
  endif()
  if(L_STATIC)
    add_library(${L_NAME} STATIC ${srcs})
  else()
    add_library(${L_NAME} SHARED ${srcs})
  endif()
  target_include_directories(${L_NAME} PUBLIC ${L_PUBLIC_INCLUDE})
  if(L_PRIVATE_INCLUDE)
    target_include_directories(${L_NAME} PRIVATE ${L_PRIVATE_INCLUDE})
  endif()
  if(L_DEPS)
    target_link_libraries(${L_NAME} PUBLIC ${L_DEPS})
  endif()
  if(L_PRIVATE_DEPS)
    target_link_libraries(${L_NAME} PRIVATE ${L_PRIVATE_DEPS})
  endif()
  if(NOT L_UTF8)
    contura_cp936(${L_NAME})
  endif()
endfunction()

# contura_gtest(NAME <exe> SOURCES <files...> LIBS <targets...> [CP936] [LABELS <labels>])
# One GoogleTest executable; its cases are discovered when CTest runs.
include(GoogleTest)
find_package(GTest REQUIRED)
function(contura_gtest)
  cmake_parse_arguments(T "CP936" "NAME" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${T_NAME} PRIVATE
      CONTURA_SOURCE_DIR="${PROJECT_SOURCE_DIR}" CONTURA_BINARY_DIR="${PROJECT_BINARY_DIR}"
      CONTURA_MADE_DATA_DIR="${PROJECT_BINARY_DIR}/tests/data")
  if(TARGET contura_test_data)  # the drawings the build writes for the tests
    add_dependencies(${T_NAME} contura_test_data)
  endif()
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/tests
                        ENABLE_EXPORTS ON)
  if(T_CP936)
    contura_cp936(${T_NAME})
  endif()
  gtest_discover_tests(${T_NAME} DISCOVERY_MODE PRE_TEST
                       PROPERTIES LABELS "${T_LABELS}" ENVIRONMENT "QT_QPA_PLATFORM=offscreen")
endfunction()
