# What a user reads beside the programs: the manual pages, the documents they and --help point
# to, and the examples the README's commands run on.
set(QUELVARIS_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/quelvaris)
find_program(QUELVARIS_GZIP gzip REQUIRED)

# Compresses SOURCE into OUTPUT as Debian installs such files: gzip -9n, without the name and
# time stamp, so the same text always gives the same bytes. OUTPUT is built with the project.
set_property(GLOBAL PROPERTY QUELVARIS_COMPRESSED "")
function(quelvaris_gzip source output)
  add_custom_command(OUTPUT ${output}
    COMMAND sh -c "\"$0\" -9n -c \"$1\" > \"$2\"" ${QUELVARIS_GZIP} ${source} ${output}
    DEPENDS ${source} VERBATIM)
  set_property(GLOBAL APPEND PROPERTY QUELVARIS_COMPRESSED ${output})
endfunction()

install(FILES examples/three_models.txt examples/comma_header_missing.csv
  DESTINATION ${CMAKE_INSTALL_DATADIR}/quelvaris/examples)
install(DIRECTORY examples/gauges DESTINATION ${CMAKE_INSTALL_DATADIR}/quelvaris/examples
  FILES_MATCHING PATTERN "*.txt")
install(FILES docs/statistics.md docs/batch-output.md docs/batch-output.schema.json
  DESTINATION ${QUELVARIS_DOC_DIR})

file(GLOB QUELVARIS_MAN_PAGES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/man/*.1)
foreach(page ${QUELVARIS_MAN_PAGES})
  get_filename_component(name ${page} NAME)
  quelvaris_gzip(${page} ${PROJECT_BINARY_DIR}/man/${name}.gz)
  install(FILES ${PROJECT_BINARY_DIR}/man/${name}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
