# Fails with the list of source files that do not name their licence in an SPDX line near
# their top; the generated text tables are written with it by their generator.
file(GLOB_RECURSE files
  ${SOURCE_DIR}/src/*.cpp ${SOURCE_DIR}/src/*.h
  ${SOURCE_DIR}/tests/*.cpp ${SOURCE_DIR}/tests/*.h ${SOURCE_DIR}/tests/*.sh
  ${SOURCE_DIR}/bench/*.cpp ${SOURCE_DIR}/bench/*.h ${SOURCE_DIR}/bench/*.sh
  ${SOURCE_DIR}/fuzz/*.cpp ${SOURCE_DIR}/fuzz/*.h
  ${SOURCE_DIR}/desktop/*.cpp ${SOURCE_DIR}/tools/*.py ${SOURCE_DIR}/scripts/*.sh)
set(missing "")
foreach(file IN LISTS files)
  file(READ ${file} head LIMIT 300)
  if(NOT head MATCHES "SPDX-License-Identifier: GPL-3.0-or-later")
    string(APPEND missing "\n  ${file}")
  endif()
endforeach()
if(missing)
  message(FATAL_ERROR "No SPDX licence line:${missing}")
endif()
