# One place that registers tests with the environment they run in: the offscreen Qt
# platform and a fixed locale, so results do not depend on the machine.
include(GoogleTest)
find_package(GTest REQUIRED)

set(TOLVANE_TEST_ENV
    "QT_QPA_PLATFORM=offscreen"
    "LC_ALL=C.UTF-8"
    "LANG=C.UTF-8"
    "TOLVANE_SHARED_DIR=${CMAKE_SOURCE_DIR}/../shared"
    "TOLVANE_SOURCE_DIR=${CMAKE_SOURCE_DIR}"
    "TOLVANE_APP_DIR=${TOLVANE_APP_DIR}"
    "TOLVANE_BIN_DIR=${CMAKE_RUNTIME_OUTPUT_DIRECTORY}")
if(TOLVANE_ASAN)
  # The programs the tests start inherit these too. An undefined-behaviour report stops the
  # process as an address error does, so it fails its test. Stack use after return and the
  # order of static initialisation are checked as well. Leak detection stays at its default
  # (on); the suppressions file is for leaks inside system libraries only. The reading
  # helpers set their own defaults (__asan_default_options), which these leave alone.
  list(APPEND TOLVANE_TEST_ENV
       "ASAN_OPTIONS=halt_on_error=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1"
       "UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1"
       "LSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/support/lsan-suppressions.txt")
endif()

# tolvane_add_gtest(<name> SOURCES <files...> LIBS <targets...>)
function(tolvane_add_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE tolvane_test_support ${ARG_LIBS} GTest::gtest Qt6::Test)
  tolvane_warnings(${name})
  # CMake 3.25's discovery script flattens a list-valued ENVIRONMENT property and keeps only
  # its first entry, so the environment is given to both the listing and every test run
  # through `cmake -E env` instead.
  set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR
               ${CMAKE_COMMAND} -E env ${TOLVANE_TEST_ENV})
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 60
                       PROPERTIES TIMEOUT 600)
endfunction()

# tolvane_add_script_test(<name> COMMAND <cmd...>): a test that is a command line.
function(tolvane_add_script_test name)
  cmake_parse_arguments(ARG "" "" "COMMAND" ${ARGN})
  add_test(NAME ${name} COMMAND ${ARG_COMMAND})
  set_tests_properties(${name} PROPERTIES ENVIRONMENT "${TOLVANE_TEST_ENV}" TIMEOUT 900)
endfunction()
