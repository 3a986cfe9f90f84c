# Fails naming every test of a build tree without a time limit of its own (no
# TIMEOUT property, or 0, which CTest takes as none): a test that hangs would
# hold the whole test run until something outside it ends it.
#   cmake -DCTEST_COMMAND=<ctest> -DBUILD_DIR=<build tree> -P check_time_limits.cmake

execute_process(COMMAND "${CTEST_COMMAND}" --show-only=json-v1 --test-dir "${BUILD_DIR}"
                OUTPUT_VARIABLE listing ERROR_VARIABLE errors RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "ctest could not list the tests of ${BUILD_DIR}: ${errors}")
endif()
string(JSON count LENGTH "${listing}" tests)
# This check is a test itself: a listing without the others is no listing.
if(count LESS 2)
  message(FATAL_ERROR "ctest listed ${count} tests in ${BUILD_DIR}")
endif()

set(unlimited "")
math(EXPR last "${count} - 1")
foreach(i RANGE ${last})
  # Each test's own entry: the whole listing is parsed once per test, not per property.
  string(JSON test GET "${listing}" tests ${i})
  string(JSON name GET "${test}" name)
  set(limit 0)
  string(JSON properties ERROR_VARIABLE none LENGTH "${test}" properties)
  if(properties GREATER 0)
    math(EXPR lastProperty "${properties} - 1")
    foreach(p RANGE ${lastProperty})
      string(JSON property GET "${test}" properties ${p} name)
      if(property STREQUAL "TIMEOUT")
        string(JSON limit GET "${test}" properties ${p} value)
      endif()
    endforeach()
  endif()
  if(NOT limit GREATER 0)
    list(APPEND unlimited "${name}")
  endif()
endforeach()

list(LENGTH unlimited missing)
if(missing GREATER 0)
  list(JOIN unlimited "\n  " names)
  message(FATAL_ERROR "${missing} of ${count} tests have no time limit (TIMEOUT property):\n  ${names}")
endif()
message(STATUS "All ${count} tests have a time limit")
