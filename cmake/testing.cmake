# GoogleTest: the installed package natively; for the cross build, compiled from the
# sources Debian's libgtest-dev ships, with the same compiler as the code under test.
include(CTest)
include(GoogleTest)
# A package build (-DBUILD_TESTING=OFF) needs neither GoogleTest nor the suites.
if(NOT BUILD_TESTING)
  return()
endif()

if(CMAKE_CROSSCOMPILING)
  set(TARNWELL_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(${TARNWELL_GTEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
else()
  find_package(GTest REQUIRED)
endif()

# tarnwell_add_test(NAME source... [PROPERTIES ...]): one GoogleTest executable, each case
# its own ctest test; PROPERTIES go to every case.
function(tarnwell_add_test name)
  cmake_parse_arguments(PARSE_ARGV 1 ARG "" "" "PROPERTIES")
  add_executable(${name} ${ARG_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE GTest::gtest_main)
  target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
  # Listing runs at test time, so building never waits for Wine.
  set(properties)
  if(ARG_PROPERTIES)
    set(properties PROPERTIES ${ARG_PROPERTIES})
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60 ${properties})
endfunction()
