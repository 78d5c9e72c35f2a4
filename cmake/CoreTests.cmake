# The core's tests, the same sources for every build that has them; they
# mirror src/core, one file per module.
set(STOCK_CORE_TEST_SOURCES
  ${CMAKE_SOURCE_DIR}/tests/core/about/frm_about_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/editing/edit_commands_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/guard/guard_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/history/clipboard_watcher_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/history/history_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/history/recall_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/layout/layout_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/layout/front_end_rules_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/main_window/frm_clipboard_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/main_window/tray_record_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/text/ansi_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/core/text/text_map_test.cpp
)
