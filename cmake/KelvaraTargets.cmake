# The layers of src/, each a library that may link only the libraries named after it here:
#   platform <- database <- services <- study; platform <- uictl/bars <- uictl/frames; all <- app.
# A link upwards or sideways would let a lower layer depend on one above it, so it stops the
# configure step (tools/check_layers.sh checks the same for the #include lines).
set(KELVARA_LAYER_kelvara_platform "")
set(KELVARA_LAYER_kelvara_database kelvara_platform)
set(KELVARA_LAYER_kelvara_services kelvara_database kelvara_platform)
set(KELVARA_LAYER_kelvara_study kelvara_services kelvara_database kelvara_platform)
set(KELVARA_LAYER_kelvara_uictl_bars kelvara_platform)
set(KELVARA_LAYER_kelvara_uictl_frames kelvara_uictl_bars kelvara_platform)
set(KELVARA_LAYER_kelvara_app kelvara_study kelvara_services kelvara_database kelvara_platform
    kelvara_uictl_bars kelvara_uictl_frames)

function(kelvara_check_layer target)
  if(NOT DEFINED KELVARA_LAYER_${target})
    message(FATAL_ERROR "${target} is not one of the layers of src/ (cmake/KelvaraTargets.cmake)")
  endif()
  foreach(dep ${ARGN})
    if(dep MATCHES "^kelvara_" AND NOT dep IN_LIST KELVARA_LAYER_${target})
      message(FATAL_ERROR "${target} may not link ${dep}: a layer links only the layers below it")
    endif()
  endforeach()
endfunction()

# One static library per layer of src/: every source of the folder and of its subfolders (the
# areas of a layer are folders, not libraries of their own).
# kelvara_library(<target> [EXCLUDE <regex>] [DEPS <targets>...])
function(kelvara_library target)
  cmake_parse_arguments(ARG "" "EXCLUDE" "DEPS" ${ARGN})
  kelvara_check_layer(${target} ${ARG_DEPS})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.ui ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  if(ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${ARG_EXCLUDE}")
  endif()
  add_library(${target} STATIC ${sources})
  target_include_directories(${target} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  # A dependency on a library that has no sources yet is left out until it has.
  foreach(dep ${ARG_DEPS})
    if(dep MATCHES "^kelvara_")
      target_link_libraries(${target} PUBLIC $<TARGET_NAME_IF_EXISTS:${dep}>)
    else()
      target_link_libraries(${target} PUBLIC ${dep})
    endif()
  endforeach()
endfunction()

# One GoogleTest executable per test folder, every .cpp in it and in its area subfolders, which
# find the folder's shared fixtures by their plain names; each case is a CTest test.
# kelvara_test_suite(<name> [EXCLUDE <regex>] [DEPS <targets>...])
function(kelvara_test_suite name)
  cmake_parse_arguments(ARG "" "EXCLUDE" "DEPS" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "${ARG_EXCLUDE}")
  endif()
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} kelvara_test_support GTest::gtest GTest::gmock)
  # Half of the build is test code, and much of a test file's time went to optimising it and to
  # parsing the test framework again: the tests are compiled unoptimised (the code they test keeps
  # the build's optimisation), over the framework parsed once per program. Qt stays out of the
  # shared headers: its keyword macros (emit, signals, slots) would meet code that does not expect them.
  target_compile_options(${name} PRIVATE -O0)
  target_precompile_headers(${name} PRIVATE <gtest/gtest.h> <functional> <map> <memory> <string> <vector>)
  # gtest_discover_tests of CMake 3.25 flattens list-valued PROPERTIES, so an ENVIRONMENT of
  # several variables would keep only the first: the tests start through `cmake -E env` instead.
  set(test_env QT_QPA_PLATFORM=offscreen KELVARA_SOURCE_DIR=${CMAKE_SOURCE_DIR}
      KELVARA_PROGRAM_DIR=${KELVARA_PROGRAM_DIR} ${KELVARA_SANITIZER_ENV})
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR "${CMAKE_COMMAND};-E;env;${test_env}")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()

# One case of a suite once more in another environment (a language, say), as a CTest test of
# its own named <case>.<label>.
# kelvara_test_case_in_environment(<suite> <case> <label> <VAR=value>...)
function(kelvara_test_case_in_environment suite case label)
  if(NOT TARGET ${suite})
    return()
  endif()
  add_test(NAME ${case}.${label}
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen KELVARA_SOURCE_DIR=${CMAKE_SOURCE_DIR}
            KELVARA_PROGRAM_DIR=${KELVARA_PROGRAM_DIR} ${ARGN} $<TARGET_FILE:${suite}> --gtest_filter=${case}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()
