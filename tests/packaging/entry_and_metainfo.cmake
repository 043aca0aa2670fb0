# SPDX-License-Identifier: GPL-3.0-or-later
# The desktop entry and the software centres' data tell the same story: every type the entry opens is a type the
# metadata provides (software centres offer the viewer for a file of that type from it), the entry names the
# window class docks tie the window to, and the licence is the program's.
cmake_minimum_required(VERSION 3.22)
file(READ "${DESKTOP}" entry)
string(REGEX MATCH "\nMimeType=([^\n]*)" unused "${entry}")
set(entry_types "${CMAKE_MATCH_1}")
list(FILTER entry_types EXCLUDE REGEX "^$")
file(READ "${METAINFO}" metainfo)
string(REGEX MATCHALL "<mediatype>[^<]*</mediatype>" tagged "${metainfo}")
set(provided "")
foreach(tag ${tagged})
  string(REGEX REPLACE "</?mediatype>" "" type "${tag}")
  list(APPEND provided "${type}")
endforeach()
if(NOT entry_types)
  message(FATAL_ERROR "the desktop entry lists no MimeType")
endif()
list(SORT entry_types)
list(SORT provided)
if(NOT entry_types STREQUAL provided)
  message(FATAL_ERROR "the desktop entry opens '${entry_types}' but the metainfo provides '${provided}'")
endif()

if(NOT entry MATCHES "\nStartupWMClass=[^\n]")
  message(FATAL_ERROR "the desktop entry has no StartupWMClass: docks cannot tie the window to it")
endif()

if(NOT metainfo MATCHES "<project_license>GPL-3.0-or-later</project_license>")
  message(FATAL_ERROR "the metainfo does not give the program's licence, GPL-3.0-or-later")
endif()
