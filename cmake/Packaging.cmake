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
