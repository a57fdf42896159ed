# The Windows program: our framework layer, the windowed code and the resources.
enable_language(RC)

# The version's one home is project(); the resources take it from a generated header.
configure_file(${CMAKE_SOURCE_DIR}/res/KelvaneVersion.h.in ${CMAKE_BINARY_DIR}/generated/KelvaneVersion.h @ONLY)
string(APPEND CMAKE_RC_FLAGS " -I${CMAKE_BINARY_DIR}/generated")

file(GLOB kelvane_win_sources CONFIGURE_DEPENDS
  ${CMAKE_SOURCE_DIR}/framework/*.cpp
  ${CMAKE_SOURCE_DIR}/panel/*.cpp
  ${CMAKE_SOURCE_DIR}/overlay/*.cpp)

# Everything windowed except the process entry, so tests can link it.
if(NOT kelvane_win_sources)
  return()
endif()
add_library(kelvane_win STATIC ${kelvane_win_sources})
target_link_libraries(kelvane_win PUBLIC kelvane_core user32 gdi32 comdlg32 comctl32 shell32 usp10 kernel32 ws2_32)
target_compile_definitions(kelvane_win PUBLIC WIN32_LEAN_AND_MEAN NOMINMAX STRICT)

set(KELVANE_RESOURCES ${CMAKE_SOURCE_DIR}/res/Kelvane.rc)
set(kelvane_resource_inputs ${CMAKE_SOURCE_DIR}/res/Kelvane.manifest ${CMAKE_SOURCE_DIR}/res/Kelvane.ico
    ${CMAKE_BINARY_DIR}/generated/KelvaneVersion.h)
set_source_files_properties(${KELVANE_RESOURCES} PROPERTIES OBJECT_DEPENDS "${kelvane_resource_inputs}")

file(GLOB kelvane_app_sources CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/app/*.cpp)
if(kelvane_app_sources AND EXISTS ${KELVANE_RESOURCES})
  add_executable(Kelvane WIN32 ${kelvane_app_sources} ${KELVANE_RESOURCES})
  target_link_libraries(Kelvane PRIVATE kelvane_win)
endif()

# The installer's custom action that closes a running Kelvane; tools/dist.sh takes it from beside Kelvane.exe.
add_library(CloseKelvane SHARED ${CMAKE_SOURCE_DIR}/package/CloseKelvane.cpp)
set_target_properties(CloseKelvane PROPERTIES PREFIX "")
target_compile_definitions(CloseKelvane PRIVATE WIN32_LEAN_AND_MEAN NOMINMAX STRICT)
target_link_options(CloseKelvane PRIVATE -static -static-libgcc -static-libstdc++)
target_link_libraries(CloseKelvane PRIVATE msi)
