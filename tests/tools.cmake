# Golden tests of srtdump on files the test writes itself; in the Windows build
# srtdump.exe runs under the emulator and must print the same bytes.
find_package(Python3 COMPONENTS Interpreter QUIET)
if(NOT Python3_Interpreter_FOUND)
  message(STATUS "python3 not found: srtdump golden tests skipped")
  return()
endif()

set(KELVANE_GOLDEN_DIR ${CMAKE_CURRENT_LIST_DIR}/golden)
set(kelvane_srtdump_command $<TARGET_FILE:srtdump>)
if(CMAKE_CROSSCOMPILING_EMULATOR)
  set(kelvane_srtdump_command ${CMAKE_CROSSCOMPILING_EMULATOR} $<TARGET_FILE:srtdump>)
endif()

# The script runs natively even in the Windows build (the interpreter's imported target would be
# wrapped in the emulator); each srtdump.exe it starts pays Wine's start, hence the longer timeout there.
add_test(NAME srtdump_golden
  COMMAND ${Python3_EXECUTABLE} ${KELVANE_GOLDEN_DIR}/srtdump_golden.py
          ${CMAKE_CURRENT_BINARY_DIR}/golden ${KELVANE_GOLDEN_DIR}/expected
          -- ${kelvane_srtdump_command})
if(CMAKE_CROSSCOMPILING_EMULATOR)
  set_tests_properties(srtdump_golden PROPERTIES TIMEOUT 120)
endif()
if(NOT WIN32 AND NOT KELVANE_SANITIZE)  # the run's summary over broken and missing reports, once
  add_test(NAME summarize_test COMMAND Python3::Interpreter ${CMAKE_CURRENT_LIST_DIR}/summary/summarize_test.py
                                       ${CMAKE_SOURCE_DIR}/tools/summarize.py)
endif()

