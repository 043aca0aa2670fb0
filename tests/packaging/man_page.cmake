# SPDX-License-Identifier: GPL-3.0-or-later
# The manual page renders as `man` renders it, with every warning groff knows turned on, and says nothing.
execute_process(COMMAND groff -ww -mandoc -Tutf8 -z "${MAN_PAGE}" RESULT_VARIABLE rc ERROR_VARIABLE warnings)
if(NOT rc EQUAL 0 OR NOT warnings STREQUAL "")
  message(FATAL_ERROR "groff (${rc}):\n${warnings}")
endif()
execute_process(COMMAND groff -mandoc -Tutf8 -P-cbou "${MAN_PAGE}" OUTPUT_VARIABLE text)
foreach(section NAME SYNOPSIS OPTIONS KEYS FILES "EXIT STATUS")
  if(NOT text MATCHES "\n${section}\n")
    message(FATAL_ERROR "the manual page has no ${section} section")
  endif()
endforeach()
