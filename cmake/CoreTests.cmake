# The core's tests, the same sources for every build that has them; they
# mirror src/core, one file per module.
file(GLOB_RECURSE STOCK_CORE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/core/*_test.cpp)
