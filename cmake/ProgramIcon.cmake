# The program icon: drawn once as SVG, rendered to the PNG sizes of the hicolor theme at build
# time. The PNGs are installed with the icon theme and also built into `target`, so every window
# shows the icon even where the theme is not installed.
find_program(RSVG_CONVERT rsvg-convert REQUIRED)

set(QUELVARIS_ICON_SVG ${PROJECT_SOURCE_DIR}/data/icons/${QUELVARIS_APP_ID}.svg)
set(QUELVARIS_ICON_BUILD_DIR ${PROJECT_BINARY_DIR}/icons/hicolor)
set(QUELVARIS_ICON_SIZES 16 22 24 32 48 64 128 256)

function(quelvaris_program_icon target)
  set(pngs)
  foreach(size ${QUELVARIS_ICON_SIZES})
    set(png ${QUELVARIS_ICON_BUILD_DIR}/${size}x${size}/apps/${QUELVARIS_APP_ID}.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${QUELVARIS_ICON_BUILD_DIR}/${size}x${size}/apps
      COMMAND ${RSVG_CONVERT} --width ${size} --height ${size} --output ${png} ${QUELVARIS_ICON_SVG}
      DEPENDS ${QUELVARIS_ICON_SVG}
      COMMENT "Drawing the ${size} px program icon"
      VERBATIM)
    list(APPEND pngs ${png})
  endforeach()
  set_source_files_properties(${pngs} PROPERTIES GENERATED TRUE)
  qt_add_resources(${target} program_icon PREFIX /icons BASE ${QUELVARIS_ICON_BUILD_DIR}
    FILES ${pngs})
endfunction()
