# SPDX-License-Identifier: GPL-3.0-or-later
# What `cmake --install` puts where, and the Debian package made from it (`cpack -G DEB` in the build folder).

include(GNUInstallDirs)
set(app_id io.github.glimmerbox.Glimmerbox)

install(TARGETS glimmerbox RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The decoder helper, where the program looks for it: ../libexec/glimmerbox from its own folder.
install(TARGETS glimmerbox-decoder RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/glimmerbox)
# A stripped install (`--strip`, and the Debian package) also drops the compilers' version strings, as Debian's
# own packages do (dh_strip).
foreach(program ${CMAKE_INSTALL_BINDIR}/glimmerbox ${CMAKE_INSTALL_LIBEXECDIR}/glimmerbox/glimmerbox-decoder)
  install(CODE "if(CMAKE_INSTALL_DO_STRIP)
    execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
                            \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${program}\"
                    COMMAND_ERROR_IS_FATAL ANY)
  endif()")
endforeach()
install(FILES packaging/${app_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES packaging/${app_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES packaging/glimmerbox.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
  install(FILES packaging/icons/glimmerbox-${size}.png DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
          RENAME glimmerbox.png)
endforeach()

# The manual page and the change log, compressed as Debian installs them.
find_program(GZIP gzip REQUIRED)
set(man_page ${CMAKE_CURRENT_BINARY_DIR}/glimmerbox.1.gz)
set(changelog ${CMAKE_CURRENT_BINARY_DIR}/changelog.gz)
foreach(pair "glimmerbox.1|${man_page}" "changelog|${changelog}")
  string(REPLACE "|" ";" pair "${pair}")
  list(GET pair 0 source)
  list(GET pair 1 packed)
  add_custom_command(OUTPUT ${packed}
                     COMMAND ${GZIP} -9nc ${CMAKE_CURRENT_SOURCE_DIR}/packaging/${source} > ${packed}
                     DEPENDS packaging/${source} VERBATIM)
endforeach()
add_custom_target(compressed_docs ALL DEPENDS ${man_page} ${changelog})
install(FILES ${man_page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${changelog} DESTINATION ${CMAKE_INSTALL_DOCDIR})
# Who holds the copyright and under which licences, in Debian's machine-readable form (read by lintian and
# licence scanners); the licence texts themselves are in the system's common-licenses.
install(FILES packaging/copyright DESTINATION ${CMAKE_INSTALL_DOCDIR})

# The package: its dependencies are read off the libraries the program is linked with (dpkg-shlibdeps, from
# dpkg-dev), and what it installs is stripped of debugging information.
set(CPACK_PACKAGE_NAME glimmerbox)
set(CPACK_PACKAGE_VENDOR "The Glimmerbox developers")
set(CPACK_PACKAGE_CONTACT "The Glimmerbox developers <glimmerbox@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "image viewer for the pictures of one folder, with slideshow")
set(CPACK_PACKAGE_DESCRIPTION "Glimmerbox shows the JPEG, GIF and BMP pictures of one folder in A to Z
order, one at a time or as a slideshow, with zoom, full screen, a thumbnail
bar, a list of suspended images and removal to the trash.")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://github.com/glimmerbox/glimmerbox")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt finds its platform plugins at run time: X11 comes with the Qt GUI library, Wayland is its own package.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
include(CPack)
