# End-to-end tests: start the real Kelvane.exe under Wine and drive it with Win32 messages.
if(NOT TARGET Kelvane)
  return()
endif()
file(GLOB e2e_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
add_executable(e2e_tests ${e2e_test_sources})
target_include_directories(e2e_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR} ${CMAKE_CURRENT_LIST_DIR}/../../res)
target_compile_definitions(e2e_tests PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX STRICT)
target_link_libraries(e2e_tests PRIVATE ${KELVANE_GTEST} win_player_stubs user32 gdi32 comdlg32)
add_dependencies(e2e_tests Kelvane)
kelvane_gtest(e2e_tests --kelvane=$<TARGET_FILE:Kelvane> --gtest_filter=-Player/*)
set_tests_properties(e2e_tests PROPERTIES TIMEOUT 75 RUN_SERIAL TRUE)
# Following each film player's stub, about 30 s a player: all three must run.
add_test(NAME e2e_follow COMMAND e2e_tests --kelvane=$<TARGET_FILE:Kelvane> --gtest_filter=Player/*
         --gtest_output=xml:e2e_follow.xml WORKING_DIRECTORY ${KELVANE_TEST_RESULTS})
set_tests_properties(e2e_follow PROPERTIES LABELS gtest TIMEOUT 200 RUN_SERIAL TRUE
                     PASS_REGULAR_EXPRESSION "\\[  PASSED  \\] 3 tests\\.")
