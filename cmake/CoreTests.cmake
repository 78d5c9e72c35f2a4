# The core's tests, the same sources for every build that has them.
set(STOCK_CORE_TEST_SOURCES
  ${CMAKE_SOURCE_DIR}/tests/core/main_window_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/text_and_layout_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/front_end_rules_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/about_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/ansi_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/tray_record_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/guard_test.cpp
)
