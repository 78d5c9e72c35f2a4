# Each folder of src/ is one target, and a target reaches the headers of
# what it links and nothing else: a folder's headers are put in a staging
# folder of the build tree of their own (one link, named by the folder's path
# under src/), and only that target and what links it get it on the include
# path. An include of a layer above, or beside, fails to compile:
#   fatal error: ui/qt/qt_window.h: No such file or directory
# stock_headers(TARGET FOLDER)   FOLDER as it stands under src/, e.g. core/text
function(stock_headers target folder)
  set(stage ${CMAKE_BINARY_DIR}/layers/${target})
  get_filename_component(parent ${stage}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  if(NOT EXISTS ${stage}/${folder})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/src/${folder} ${stage}/${folder} SYMBOLIC)
  endif()
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_include_directories(${target} INTERFACE ${stage})
  else()
    target_include_directories(${target} PUBLIC ${stage})
  endif()
endfunction()
