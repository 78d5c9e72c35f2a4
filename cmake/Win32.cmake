# The core's tests, cross-built with GoogleTest from Debian's sources, to run
# under Wine (tests/ui/win32/test_core_under_wine.sh).
if(STOCK_TESTS AND EXISTS /usr/src/googletest/CMakeLists.txt)
  set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
  include(cmake/CoreTests.cmake)
  add_executable(core_tests ${STOCK_CORE_TEST_SOURCES})
  target_include_directories(core_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(core_tests PRIVATE stock_app gtest_main)
endif()

# The main window in process under Wine (tests/ui/win32/main_window_test.cpp).
if(TARGET gtest_main)
  add_executable(win32_main_window_tests tests/ui/win32/main_window_test.cpp)
  target_include_directories(win32_main_window_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests)
  target_link_libraries(win32_main_window_tests PRIVATE stock_ui_win32 gtest_main)
endif()
