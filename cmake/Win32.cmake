# The Windows front end, cross-built with cmake/mingw-w64.cmake: one
# self-contained stockkun.exe (see `make windows`).
enable_language(RC)
add_compile_definitions(UNICODE _UNICODE _WIN32_WINNT=0x0A00 WINVER=0x0A00 NOMINMAX WIN32_LEAN_AND_MEAN)

add_library(stock_win32 STATIC
  src/platform/win32/win32_text.cpp
  src/platform/win32/win32_text_box.cpp
  src/platform/win32/win32_ui.cpp
  src/platform/win32/win32_clipboard.cpp
  src/platform/win32/win32_instance_lock.cpp
  src/platform/win32/win32_tray.cpp
  src/platform/win32/win32_user_name.cpp
  src/platform/win32/win32_shell.cpp
  src/platform/win32/win32_registry.cpp
  src/platform/win32/win32_message_box.cpp
  src/platform/win32/program_icon.cpp
)
target_link_libraries(stock_win32 PUBLIC stock_core comctl32 shell32 advapi32 gdi32 user32)

configure_file(src/platform/win32/stockkun.rc.in ${CMAKE_BINARY_DIR}/stockkun.rc @ONLY)
add_executable(stockkun WIN32 src/platform/win32/main.cpp ${CMAKE_BINARY_DIR}/stockkun.rc)
target_link_options(stockkun PRIVATE -municode)
target_link_libraries(stockkun PRIVATE stock_win32)
set_source_files_properties(${CMAKE_BINARY_DIR}/stockkun.rc PROPERTIES
  OBJECT_DEPENDS ${CMAKE_SOURCE_DIR}/src/platform/win32/stockkun.manifest)
# Strip the symbols from the shipped executable.
target_link_options(stockkun PRIVATE $<$<NOT:$<CONFIG:Debug>>:-s>)

# The core's tests, cross-built with GoogleTest from Debian's sources, to run
# under Wine (tests/windows/test_core_under_wine.sh).
if(STOCK_TESTS AND EXISTS /usr/src/googletest/CMakeLists.txt)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  include(cmake/CoreTests.cmake)
  add_executable(core_tests ${STOCK_CORE_TEST_SOURCES})
  target_include_directories(core_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(core_tests PRIVATE stock_core gtest_main)
endif()
