# Windows-only unit tests: windowed code and the differential checks against the
# Windows runtime. One executable, run under Wine.
file(GLOB win_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
if(win_test_sources)
  add_executable(win_tests ${win_test_sources})
  target_link_libraries(win_tests PRIVATE kelvane_core gtest gtest_main)
  if(TARGET kelvane_win)
    target_sources(win_tests PRIVATE ${KELVANE_RESOURCES})
    target_link_libraries(win_tests PRIVATE kelvane_win)
  endif()
  kelvane_gtest(win_tests)
  set_tests_properties(win_tests PROPERTIES TIMEOUT 60)
endif()
