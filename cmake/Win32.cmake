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

# The program's icon (.ico, every size Windows asks for), drawn at build
# time by a small tool that runs on the build machine, so the resource always
# shows what the drawing code draws.
find_program(STOCK_HOST_CXX NAMES c++ g++ REQUIRED)
set(STOCK_ICON_TOOL_SOURCE ${CMAKE_SOURCE_DIR}/src/platform/win32/program_icon_ico.cpp)
set(STOCK_ICON_TOOL ${CMAKE_BINARY_DIR}/host/program_icon_ico)
set(STOCK_ICON ${CMAKE_BINARY_DIR}/stockkun.ico)
add_custom_command(OUTPUT ${STOCK_ICON_TOOL}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host
  COMMAND ${STOCK_HOST_CXX} -std=c++20 -O2 -Wall -Wextra -Wpedantic -Wshadow -Werror -I${CMAKE_SOURCE_DIR}/src
          ${STOCK_ICON_TOOL_SOURCE} -o ${STOCK_ICON_TOOL} -lz
  DEPENDS ${STOCK_ICON_TOOL_SOURCE} ${CMAKE_SOURCE_DIR}/src/main_window/program_icon_design.h
          ${CMAKE_SOURCE_DIR}/src/platform/layout.h
  COMMENT "Building the host tool that draws the program icon"
  VERBATIM)
add_custom_command(OUTPUT ${STOCK_ICON}
  COMMAND ${STOCK_ICON_TOOL} ${STOCK_ICON}
  DEPENDS ${STOCK_ICON_TOOL}
  COMMENT "Drawing stockkun.ico"
  VERBATIM)
add_custom_target(stockkun_icon DEPENDS ${STOCK_ICON})

configure_file(src/platform/win32/stockkun.rc.in ${CMAKE_BINARY_DIR}/stockkun.rc @ONLY)
add_executable(stockkun WIN32 src/platform/win32/main.cpp ${CMAKE_BINARY_DIR}/stockkun.rc)
target_link_options(stockkun PRIVATE -municode)
target_link_libraries(stockkun PRIVATE stock_win32)
add_dependencies(stockkun stockkun_icon)
set_source_files_properties(${CMAKE_BINARY_DIR}/stockkun.rc PROPERTIES
  OBJECT_DEPENDS "${CMAKE_SOURCE_DIR}/src/platform/win32/stockkun.manifest;${STOCK_ICON}")
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

# The main window in process under Wine (tests/windows/main_window_test.cpp).
if(TARGET gtest_main)
  add_executable(win32_main_window_tests tests/windows/main_window_test.cpp)
  target_include_directories(win32_main_window_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(win32_main_window_tests PRIVATE stock_win32 gtest_main)
endif()
