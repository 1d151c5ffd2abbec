# The SDK that `cmake --install build --prefix P` lays out for modules of other products:
#   P/include/contura-sdk/        the host-named platform headers, the sibling libraries'
#                                 public headers and Contura.arx's exported headers
#   P/lib/contura-sdk/            the platform and sibling shared libraries and Contura.arx
#   P/lib/cmake/ConturaSDK/       the package: find_package(ConturaSDK) gives the imported
#                                 target ConturaSDK::Contura and contura_add_module()
include(CMakePackageConfigHelpers)
set(sdk_include include/contura-sdk)
set(sdk_lib lib/contura-sdk)
set(sdk_cmake lib/cmake/ConturaSDK)

file(GLOB sdk_headers CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/platform/include/*/*.h
     ${PROJECT_SOURCE_DIR}/siblings/*/include/*.h
     ${PROJECT_SOURCE_DIR}/contura/include/*.h)
install(FILES ${sdk_headers} DESTINATION ${sdk_include} COMPONENT sdk)

# Every shared library a module's link reaches. The operating-system layer is installed for
# the linker, which follows the libraries' own dependencies; modules do not link it.
set(sdk_libraries contura_os contura_ge contura_afx contura_rx contura_db contura_ed contura_ui
                  contura_dao dabrel vistrel varlune curvane)
set(sdk_library_files)
foreach(lib ${sdk_libraries})
  get_target_property(kind ${lib} TYPE)
  if(kind STREQUAL "SHARED_LIBRARY")
    install(TARGETS ${lib} LIBRARY DESTINATION ${sdk_lib} COMPONENT sdk)
    if(NOT lib STREQUAL "contura_os")
      list(APPEND sdk_library_files "lib${lib}.so")
    endif()
  endif()
endforeach()
if(TARGET Contura)
  install(TARGETS Contura LIBRARY DESTINATION ${sdk_lib} COMPONENT sdk)
endif()

list(JOIN sdk_library_files ";" CONTURA_SDK_LIBRARIES)
configure_package_config_file(${PROJECT_SOURCE_DIR}/cmake/ConturaSDKConfig.cmake.in
                              ${PROJECT_BINARY_DIR}/sdk/ConturaSDKConfig.cmake
                              INSTALL_DESTINATION ${sdk_cmake}
                              PATH_VARS sdk_include sdk_lib)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/sdk/ConturaSDKConfigVersion.cmake
                                 VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/sdk/ConturaSDKConfig.cmake
              ${PROJECT_BINARY_DIR}/sdk/ConturaSDKConfigVersion.cmake
              ${PROJECT_SOURCE_DIR}/cmake/ConturaModule.cmake
        DESTINATION ${sdk_cmake} COMPONENT sdk)
