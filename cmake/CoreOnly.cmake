# The core and its tests alone: no toolkit, no X11, no POSIX services.
if(STOCK_TESTS)
  enable_testing()
  add_subdirectory(tests)
endif()
