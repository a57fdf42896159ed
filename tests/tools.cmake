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

add_test(NAME srtdump_golden
  COMMAND Python3::Interpreter ${KELVANE_GOLDEN_DIR}/srtdump_golden.py
          check ${CMAKE_CURRENT_BINARY_DIR}/golden ${KELVANE_GOLDEN_DIR}/expected
          -- ${kelvane_srtdump_command})
set_tests_properties(srtdump_golden PROPERTIES TIMEOUT 60)
if(NOT WIN32 AND NOT KELVANE_SANITIZE)  # the run's summary over broken and missing reports, once
  add_test(NAME summarize_test COMMAND Python3::Interpreter ${CMAKE_CURRENT_LIST_DIR}/summary/summarize_test.py
                                       ${CMAKE_SOURCE_DIR}/tools/summarize.py)
endif()

# The Windows build against the native one, on generated files, when the
# native srtdump has been built (make test builds it first).
if(WIN32)
  set(KELVANE_NATIVE_SRTDUMP ${CMAKE_SOURCE_DIR}/build/native/bin/srtdump
      CACHE FILEPATH "Native srtdump that srtdump.exe is compared with")
  if(EXISTS ${KELVANE_NATIVE_SRTDUMP})
    add_test(NAME srtdump_matches_native
      COMMAND Python3::Interpreter ${KELVANE_GOLDEN_DIR}/srtdump_golden.py
              compare ${CMAKE_CURRENT_BINARY_DIR}/generated 12 ${KELVANE_NATIVE_SRTDUMP}
              -- ${kelvane_srtdump_command})
    set_tests_properties(srtdump_matches_native PROPERTIES TIMEOUT 60)
  else()
    message(STATUS "no native srtdump at ${KELVANE_NATIVE_SRTDUMP}: srtdump_matches_native not added")
  endif()
endif()
