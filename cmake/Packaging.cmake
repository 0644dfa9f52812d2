# The Debian package: `cpack -G DEB` in the build folder (scripts/package does the lot). The
# version is the project's; the libraries the programs link are found by dpkg-shlibdeps, so the
# package depends on exactly the Qt and C++ runtime it was built against.
set(CPACK_PACKAGE_NAME quelvaris)
set(CPACK_PACKAGE_VENDOR "Quelvaris developers")
set(CPACK_PACKAGE_CONTACT "${QUELVARIS_MAINTAINER}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "model performance statistics: how well a model reproduces observations")
# Debian wants the long description in lines of at most 80 characters.
set(CPACK_PACKAGE_DESCRIPTION
  "Quelvaris reads a delimited text file whose first column holds observed
values and whose further columns hold one or more models over the same time
steps. It reports the basic statistics of every series and 26 error
statistics of every model against the observations, from RMSE, the
Nash-Sutcliffe efficiency and the index of agreement to the Kling-Gupta
efficiency, MdAPE, AIC and BIC: on screen, on paper and in a tab-separated
results file.
.
The package holds the desktop program quelvaris, the batch commands
quelvaris-cli and quelvaris-plot, and example data in
/usr/share/quelvaris/examples.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES TRUE)
set(CPACK_GENERATOR DEB)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "${QUELVARIS_MAINTAINER}")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${QUELVARIS_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# The report asks for Arial; Liberation Sans has its metrics, so the figures line up as designed.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-liberation")

include(CPack)

# The files every Debian package carries in its documentation folder: the licence in the
# machine-readable copyright format and the package's changelog, compressed.
set(QUELVARIS_DEBIAN_VERSION ${PROJECT_VERSION}-${CPACK_DEBIAN_PACKAGE_RELEASE})
install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/copyright DESTINATION ${QUELVARIS_DOC_DIR})
configure_file(${PROJECT_SOURCE_DIR}/cmake/debian/changelog.in
  ${PROJECT_BINARY_DIR}/debian/changelog.Debian @ONLY)
quelvaris_gzip(${PROJECT_BINARY_DIR}/debian/changelog.Debian
  ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz)
install(FILES ${PROJECT_BINARY_DIR}/debian/changelog.Debian.gz DESTINATION ${QUELVARIS_DOC_DIR})

# Lintian's findings that do not apply to this package, each with the reason.
install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/lintian-overrides
  DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME quelvaris)

# A stripped program also loses the compiler's notes (.comment), as Debian's strip step does.
# The install rules of the programs come before this one, and strip them first.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(program quelvaris quelvaris-cli quelvaris-plot)
      set(file \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\")
      if(EXISTS \"\${file}\")
        execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
          --remove-section=.note \"\${file}\" COMMAND_ERROR_IS_FATAL ANY)
      endif()
    endforeach()
  endif()")

# The compressed files are built with the programs (scripts/package builds this target too).
get_property(compressed GLOBAL PROPERTY QUELVARIS_COMPRESSED)
add_custom_target(quelvaris-documents ALL DEPENDS ${compressed})
