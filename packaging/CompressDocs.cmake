# SPDX-License-Identifier: GPL-3.0-or-later
# Run by cpack between its staging install and the package: Debian wants the manual pages and
# the changelog compressed with gzip -9n (no name, no time stamp: the same bytes every build).
file(GLOB_RECURSE documents "${CPACK_TEMPORARY_DIRECTORY}/*")
list(FILTER documents INCLUDE REGEX "/share/(man/man[1-9]/[^/]+\\.[1-9]|doc/stavio/changelog)$")
if(NOT documents)
  message(FATAL_ERROR "no manual page or changelog below ${CPACK_TEMPORARY_DIRECTORY}")
endif()
foreach(document IN LISTS documents)
  execute_process(COMMAND gzip -9nf "${document}" RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "gzip -9n ${document} failed")
  endif()
endforeach()
