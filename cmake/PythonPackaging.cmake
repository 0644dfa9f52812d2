# The second Debian package, python3-quelvaris: the Python module alone, its install rules
# being the `python` component. `cpack --config CPackPythonConfig.cmake` in the build folder
# makes it (scripts/package makes both packages); it takes every setting of the main package
# (CPackConfig.cmake) but its name, contents, description and dependencies.
if(NOT QUELVARIS_PYTHON_MODULE)
  return()
endif()
# The main package keeps every install rule but the module's.
set(CPACK_INSTALL_CMAKE_PROJECTS "${PROJECT_BINARY_DIR};${PROJECT_NAME};Unspecified;/")

# The dependencies Debian's helpers state for an extension module: the Python version it was
# built for (dh_python3) and the numpy ABI and API it was built against (dh_numpy3).
string(REPLACE "." ";" python_version "${QUELVARIS_PYTHON_VERSION}")
list(GET python_version 0 python_major)
list(GET python_version 1 python_minor)
math(EXPR python_next "${python_minor} + 1")
set(python_depends
  "python3 (>= ${python_major}.${python_minor}~), python3 (<< ${python_major}.${python_next})")
set(numpy_versions /usr/share/numpy3/versions)
if(EXISTS ${numpy_versions})
  file(STRINGS ${numpy_versions} numpy_abi REGEX "^abi ")
  file(STRINGS ${numpy_versions} numpy_api_min REGEX "^api-min-version ")
  string(REPLACE "abi " "" numpy_abi "${numpy_abi}")
  string(REPLACE "api-min-version " "" numpy_api_min "${numpy_api_min}")
  string(APPEND python_depends ", python3-numpy (>= ${numpy_api_min}), python3-numpy-abi${numpy_abi}")
else()
  string(APPEND python_depends ", python3-numpy")
endif()

# The files every Debian package carries in its own documentation folder: the licence in the
# machine-readable copyright format and the package's changelog, compressed; and lintian's
# findings that do not apply, each with the reason.
set(python_doc_dir ${CMAKE_INSTALL_DATADIR}/doc/python3-quelvaris)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/copyright DESTINATION ${python_doc_dir}
  COMPONENT python)
set(QUELVARIS_DEBIAN_VERSION ${PROJECT_VERSION}-1)
configure_file(${PROJECT_SOURCE_DIR}/cmake/debian/changelog-python.in
  ${PROJECT_BINARY_DIR}/debian/python3-quelvaris/changelog.Debian @ONLY)
quelvaris_gzip(${PROJECT_BINARY_DIR}/debian/python3-quelvaris/changelog.Debian
  ${PROJECT_BINARY_DIR}/debian/python3-quelvaris/changelog.Debian.gz)
install(FILES ${PROJECT_BINARY_DIR}/debian/python3-quelvaris/changelog.Debian.gz
  DESTINATION ${python_doc_dir} COMPONENT python)
install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/lintian-overrides-python
  DESTINATION ${CMAKE_INSTALL_DATADIR}/lintian/overrides RENAME python3-quelvaris
  COMPONENT python)

# The stripped module also loses the compiler's notes (.comment), as the programs do; its
# install rule comes before this one and strips it first.
install(CODE "
  set(file \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${QUELVARIS_PYTHON_SITE}/quelvaris/$<TARGET_FILE_NAME:quelvaris_python>\")
  if(CMAKE_INSTALL_DO_STRIP AND EXISTS \"\${file}\")
    execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment \"\${file}\"
      COMMAND_ERROR_IS_FATAL ANY)
  endif()" COMPONENT python)

file(CONFIGURE OUTPUT ${PROJECT_BINARY_DIR}/CPackPythonConfig.cmake @ONLY CONTENT [[
include("@PROJECT_BINARY_DIR@/CPackConfig.cmake")
set(CPACK_PACKAGE_NAME python3-quelvaris)
set(CPACK_INSTALL_CMAKE_PROJECTS "@PROJECT_BINARY_DIR@;@PROJECT_NAME@;python;/")
set(CPACK_DEBIAN_PACKAGE_SECTION python)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "@python_depends@")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "python3-pandas")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "python3-dask, python3-distributed, python3-xarray")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY
  "model performance statistics for Python 3: numpy, pandas, Dask")
set(CPACK_PACKAGE_DESCRIPTION
  "The Python 3 module quelvaris scores models against observations with the
engine of the Quelvaris programs: the basic statistics of every series, 26
error statistics of every model (RMSE, the Nash-Sutcliffe efficiency, the
Kling-Gupta efficiency, ...) and the extended figures, as numpy arrays, equal
to the last bit to what the batch command quelvaris-cli reports.
.
It takes numpy arrays, pandas DataFrames and xarray DataArrays; with Dask it
scores thousands of gauges on a cluster.")
]])
