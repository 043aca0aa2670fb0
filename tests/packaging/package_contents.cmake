# SPDX-License-Identifier: GPL-3.0-or-later
# Makes the Debian package from the build folder (as the README says), unpacks it and checks what a user's
# system gets from it: the program and its decoder helper (stripped, and running), its desktop entry, metadata,
# icons and manual, and dependencies read off the libraries they are linked with; and lintian, Debian's package
# checker, finds nothing to warn of.
set(work "${BUILD_DIR}/package-test")
file(REMOVE_RECURSE "${work}")
file(MAKE_DIRECTORY "${work}")
execute_process(COMMAND cpack -G DEB --config "${BUILD_DIR}/CPackConfig.cmake" -B "${work}"
                WORKING_DIRECTORY "${BUILD_DIR}" RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE out)
file(GLOB debs "${work}/glimmerbox_*_*.deb")
if(NOT rc EQUAL 0 OR NOT debs)
  message(FATAL_ERROR "cpack -G DEB failed (${rc}):\n${out}")
endif()
list(GET debs 0 deb)
execute_process(COMMAND dpkg-deb -x "${deb}" "${work}/root" RESULT_VARIABLE rc)
execute_process(COMMAND dpkg-deb -f "${deb}" Package Depends Recommends Section OUTPUT_VARIABLE fields)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "dpkg-deb -x failed: ${rc}")
endif()

set(app_id io.github.glimmerbox.Glimmerbox)
set(files usr/bin/glimmerbox usr/libexec/glimmerbox/glimmerbox-decoder usr/share/applications/${app_id}.desktop usr/share/metainfo/${app_id}.metainfo.xml
          usr/share/man/man1/glimmerbox.1.gz usr/share/doc/glimmerbox/changelog.gz usr/share/doc/glimmerbox/copyright
          usr/share/icons/hicolor/scalable/apps/glimmerbox.svg)
foreach(size 16 32 48 64 128 256)
  list(APPEND files usr/share/icons/hicolor/${size}x${size}/apps/glimmerbox.png)
endforeach()
foreach(f ${files})
  if(NOT EXISTS "${work}/root/${f}")
    message(FATAL_ERROR "not in the package: /${f}")
  endif()
endforeach()

foreach(field "Package: glimmerbox" "libqt6widgets6 (>=" "libqt6gui6 (>=" "libqt6core6 (>=" "libc6 (>=" "libseccomp2 (>="
              "Section: graphics")
  string(FIND "${fields}" "${field}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the package's fields lack '${field}':\n${fields}")
  endif()
endforeach()

file(READ "${work}/root/usr/share/applications/${app_id}.desktop" desktop)
foreach(line "Exec=glimmerbox %F" "TryExec=glimmerbox" "StartupNotify=true" "Icon=glimmerbox" "image/jpeg;")
  string(FIND "${desktop}" "${line}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the desktop entry lacks ${line}")
  endif()
endforeach()
string(FIND "${desktop}" "inode/directory" at)
if(NOT at EQUAL -1)
  message(FATAL_ERROR "the desktop entry claims folders (inode/directory): file managers would open them here")
endif()

foreach(program usr/bin/glimmerbox usr/libexec/glimmerbox/glimmerbox-decoder)
  execute_process(COMMAND file -b "${work}/root/${program}" OUTPUT_VARIABLE kind)
  if(NOT kind MATCHES ", stripped")
    message(FATAL_ERROR "the packaged /${program} is not stripped: ${kind}")
  endif()
endforeach()
# The packaged helper decodes, confined, a picture made here.
execute_process(COMMAND convert -size 64x48 xc:red "${work}/red.jpg")
execute_process(COMMAND "${work}/root/usr/libexec/glimmerbox/glimmerbox-decoder" --decode "${work}/red.jpg" 32x24
                OUTPUT_VARIABLE decoded RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT decoded MATCHES "decoded: 32 x 24")
  message(FATAL_ERROR "the packaged decoder helper does not decode (${rc}): ${decoded}")
endif()
execute_process(COMMAND env -u DISPLAY -u WAYLAND_DISPLAY "${work}/root/usr/bin/glimmerbox" --version
                OUTPUT_VARIABLE version RESULT_VARIABLE rc)
if(NOT rc EQUAL 0 OR NOT version MATCHES "^glimmerbox [0-9]")
  message(FATAL_ERROR "the packaged program does not answer --version (${rc}): ${version}")
endif()

# Errors and warnings fail; of the informational tags, those of a program built without the hardening Debian
# builds with (an optimised build is hardened; a debugging build cannot check its buffers).
execute_process(COMMAND lintian --fail-on error,warning --display-info "${deb}"
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
message(STATUS "lintian (${rc}):\n${out}")
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "lintian finds fault with the package (${rc}):\n${out}${err}")
endif()
if(HARDENED AND out MATCHES "hardening-")
  message(FATAL_ERROR "the packaged program is not hardened:\n${out}")
endif()
file(REMOVE_RECURSE "${work}")
