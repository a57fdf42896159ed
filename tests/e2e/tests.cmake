# End-to-end tests: one executable that starts the real Kelvane.exe under Wine
# and drives it from outside with Win32 messages. Needs the program itself.
if(NOT TARGET Kelvane)
  return()
endif()

file(GLOB e2e_test_sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/*.cpp)
add_executable(e2e_tests ${e2e_test_sources})
target_include_directories(e2e_tests PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_compile_definitions(e2e_tests PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX STRICT)
target_link_libraries(e2e_tests PRIVATE ${KELVANE_GTEST} user32 gdi32 comdlg32)
# The tests start the program, so it must be built first.
add_dependencies(e2e_tests Kelvane)

# The harness turns the Unix path that CTest knows into a Windows path under Wine.
kelvane_gtest(e2e_tests --kelvane=$<TARGET_FILE:Kelvane>)
# Every test starts a Wine process and waits for windows: give the run room.
set_tests_properties(e2e_tests PROPERTIES TIMEOUT 1500 RUN_SERIAL TRUE)
