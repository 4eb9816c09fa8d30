# Fails when a test of the suite carries no label: `ctest -L AREA` would
# never select it, and if it ran threads, ThreadSanitizer would miss it.
# A test GoogleTest discovers loses its labels when its name holds a square
# bracket, which CMake leaves out of the list of discovered tests.
#
# cmake -DCTEST=... -DBUILD_DIR=... -P every_test_labelled.cmake
execute_process(
  COMMAND "${CTEST}" -N -LE .
  WORKING_DIRECTORY "${BUILD_DIR}"
  OUTPUT_VARIABLE listing
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "ctest -N -LE . exited ${status}:\n${listing}")
endif()
if(NOT listing MATCHES "\nTotal Tests: 0\n")
  message(FATAL_ERROR "tests without a label (tests/CMakeLists.txt says "
    "which label each area has):\n${listing}")
endif()
message(STATUS "every test has a label")
