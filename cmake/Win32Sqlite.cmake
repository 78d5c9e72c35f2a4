# SQLite for the Windows program, linked statically: its amalgamation made
# at configure time from Debian's source package (scripts/sqlite-amalgamation.sh).
set(STOCK_SQLITE_SOURCE ${CMAKE_BINARY_DIR}/sqlite)
if(NOT EXISTS ${STOCK_SQLITE_SOURCE}/sqlite3.c)
  execute_process(COMMAND bash ${CMAKE_SOURCE_DIR}/scripts/sqlite-amalgamation.sh ${STOCK_SQLITE_SOURCE}
    RESULT_VARIABLE made)
  if(NOT made EQUAL 0)
    message(FATAL_ERROR "SQLite's amalgamation could not be made from Debian's sqlite3 source package")
  endif()
endif()
enable_language(C)
add_library(stock_sqlite STATIC ${STOCK_SQLITE_SOURCE}/sqlite3.c)
target_include_directories(stock_sqlite SYSTEM PUBLIC ${STOCK_SQLITE_SOURCE})
# SQLite's own code, built as its authors build it: their warnings are not ours.
target_compile_options(stock_sqlite PRIVATE -w -O2)
target_compile_definitions(stock_sqlite PRIVATE SQLITE_THREADSAFE=1 SQLITE_OMIT_LOAD_EXTENSION SQLITE_DQS=0)
