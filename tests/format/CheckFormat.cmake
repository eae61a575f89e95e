# SPDX-License-Identifier: GPL-3.0-or-later
# Fails with the list of files that clang-format would change.
file(GLOB_RECURSE files
  ${SOURCE_DIR}/src/*.cpp ${SOURCE_DIR}/src/*.h
  ${SOURCE_DIR}/tests/*.cpp ${SOURCE_DIR}/tests/*.h
  ${SOURCE_DIR}/bench/*.cpp ${SOURCE_DIR}/bench/*.h
  ${SOURCE_DIR}/fuzz/*.cpp ${SOURCE_DIR}/fuzz/*.h
  ${SOURCE_DIR}/desktop/*.cpp)
set(unformatted "")
foreach(file IN LISTS files)
  execute_process(COMMAND ${CLANG_FORMAT} --dry-run --Werror --style=file ${file}
    RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
  if(NOT result EQUAL 0)
    string(APPEND unformatted "\n  ${file}")
  endif()
endforeach()
if(unformatted)
  message(FATAL_ERROR "Not formatted as .clang-format says (run clang-format -i on them):${unformatted}")
endif()
