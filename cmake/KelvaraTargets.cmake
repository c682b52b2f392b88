# One static library per folder of src/: every .cpp of the folder (not its subfolders).
# kelvara_library(<target> [DEPS <targets>...])
function(kelvara_library target)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h
       ${CMAKE_CURRENT_SOURCE_DIR}/*.ui ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
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

# One GoogleTest executable per test folder, every .cpp in it; each case is a CTest test.
# kelvara_test_suite(<name> [DEPS <targets>...])
function(kelvara_test_suite name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} kelvara_test_support GTest::gtest GTest::gmock)
  # gtest_discover_tests of CMake 3.25 flattens list-valued PROPERTIES, so an ENVIRONMENT of
  # several variables would keep only the first: the tests start through `cmake -E env` instead.
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR
    "${CMAKE_COMMAND};-E;env;QT_QPA_PLATFORM=offscreen;KELVARA_SOURCE_DIR=${CMAKE_SOURCE_DIR};KELVARA_PROGRAM_DIR=${KELVARA_PROGRAM_DIR}")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()
