# Run by CPack before it builds the package: the copyright file and the
# changelog that every Debian package carries in /usr/share/doc/<package>.
file(GLOB_RECURSE staged_programs "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*/bin/stockkun")
if(NOT staged_programs)
  message(FATAL_ERROR "no staged program under ${CPACK_TEMPORARY_INSTALL_DIRECTORY}")
endif()
list(GET staged_programs 0 program)
get_filename_component(prefix "${program}" DIRECTORY)
get_filename_component(prefix "${prefix}" DIRECTORY)
file(COPY ${CPACK_STOCK_DOC_FILES} DESTINATION "${prefix}/share/doc/stockkun"
  FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
