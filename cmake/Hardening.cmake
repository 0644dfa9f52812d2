# The compiler and linker hardening Debian builds its packages with: fortified string and
# memory functions, stack protection, position-independent programs and a read-only, eagerly
# bound relocation table. The flags are dpkg-buildflags' own (with every hardening feature on),
# less the optimisation and debug flags, which the build type decides. A sanitizer or fuzzing
# build instruments the code itself and takes none of them.
option(QUELVARIS_HARDENING "Build with Debian's hardening flags (dpkg-buildflags)" ON)
if(NOT QUELVARIS_HARDENING OR QUELVARIS_SANITIZE OR QUELVARIS_BUILD_FUZZ)
  return()
endif()

find_program(QUELVARIS_DPKG_BUILDFLAGS dpkg-buildflags)
function(quelvaris_buildflags name out)
  set(flags "")
  if(QUELVARIS_DPKG_BUILDFLAGS)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
              ${QUELVARIS_DPKG_BUILDFLAGS} --get ${name}
      OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      message(FATAL_ERROR "dpkg-buildflags --get ${name} failed")
    endif()
  endif()
  separate_arguments(flags UNIX_COMMAND "${flags}")
  list(FILTER flags EXCLUDE REGEX "^-(g.*|O.*|ffile-prefix-map=.*)$")
  set(${out} ${flags} PARENT_SCOPE)
endfunction()

if(QUELVARIS_DPKG_BUILDFLAGS)
  quelvaris_buildflags(CPPFLAGS hardening_cpp)
  quelvaris_buildflags(CXXFLAGS hardening_cxx)
  quelvaris_buildflags(LDFLAGS hardening_ld)
else()
  # What dpkg-buildflags gives on Debian 12, for a machine without dpkg-dev.
  set(hardening_cpp -Wdate-time -D_FORTIFY_SOURCE=2)
  set(hardening_cxx -fstack-protector-strong -Wformat -Werror=format-security)
  set(hardening_ld -Wl,-z,relro -Wl,-z,now)
endif()
# Fortified functions need the optimiser: an unoptimised build (Debug, or no build type) would
# only warn that they are off.
list(TRANSFORM hardening_cpp REPLACE "^(-D_FORTIFY_SOURCE=.*)$"
  "$<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:\\1>")
target_compile_options(quelvaris_options INTERFACE ${hardening_cpp} ${hardening_cxx})
# Position-independent programs are the compiler's default on Debian (Qt's own targets ask
# for -fPIC, which a -fPIE here would undo), so the package check only verifies them.
target_link_options(quelvaris_options INTERFACE ${hardening_ld})
message(STATUS "Hardening: ${hardening_cpp} ${hardening_cxx} ${hardening_ld}")
