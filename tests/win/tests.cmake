# Windows-only unit tests: windowed code and the differential checks against the
# Windows runtime. One executable, run under Wine.
file(GLOB win_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
if(win_test_sources)
  add_library(win_player_stubs STATIC ${CMAKE_CURRENT_LIST_DIR}/../stubs/win_player_stubs.cpp)
  target_link_libraries(win_player_stubs PUBLIC player_stubs ws2_32)
  add_executable(win_tests ${win_test_sources})
  target_link_libraries(win_tests PRIVATE kelvane_core win_player_stubs gtest gtest_main)
  if(TARGET kelvane_win)
    target_sources(win_tests PRIVATE ${KELVANE_RESOURCES})
    target_link_libraries(win_tests PRIVATE kelvane_win)
  endif()
  kelvane_gtest(win_tests --gtest_filter=-Stubs/*)
  set_tests_properties(win_tests PROPERTIES TIMEOUT 60)
  # Following the film players' stubs: about 20 s of play, pause, seeks and quitting; all four cases must run.
  add_test(NAME player_follow COMMAND win_tests --gtest_filter=Stubs/* --gtest_output=xml:player_follow.xml
           WORKING_DIRECTORY ${KELVANE_TEST_RESULTS})
  set_tests_properties(player_follow PROPERTIES LABELS gtest TIMEOUT 60 PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] 4 tests\\.")
endif()
