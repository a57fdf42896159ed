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
  kelvane_gtest(win_tests)
endif()
