# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the Debian package into WORK with cpack and checks what apt and a desktop get from it.
# -D CPACK, BUILD_DIR, WORK, WITH_DESKTOP (ON/OFF), VERSION, SUMMARY, HOMEPAGE, APP_ID.
cmake_minimum_required(VERSION 3.25)

find_program(DPKG_DEB dpkg-deb)
if(NOT DPKG_DEB)
  message("SKIPPED: dpkg-deb is not installed (Debian package dpkg): no Debian package to check")
  return()
endif()

set(failures 0)
macro(fail message)
  message(SEND_ERROR "${message}")
  math(EXPR failures "${failures} + 1")
endmacro()

# Runs a command that must succeed; its standard output goes to out_var.
function(run out_var)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE result OUTPUT_VARIABLE output
                  ERROR_VARIABLE errors)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${ARGN} failed (${result}):\n${output}${errors}")
  endif()
  set(${out_var} "${output}" PARENT_SCOPE)
endfunction()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
run(output "${CPACK}" -G DEB --config "${BUILD_DIR}/CPackConfig.cmake" -B "${WORK}")
run(arch dpkg --print-architecture)
string(STRIP "${arch}" arch)
set(deb "${WORK}/stavio_${VERSION}_${arch}.deb")
if(NOT EXISTS "${deb}")
  file(GLOB made "${WORK}/*.deb")
  message(FATAL_ERROR "no ${deb}; cpack made: ${made}")
endif()

# The control fields.
foreach(field Package Version Architecture Section Priority Maintainer Homepage Depends Recommends
        Description)
  run(value "${DPKG_DEB}" --field "${deb}" ${field})
  string(REGEX REPLACE "\n$" "" value "${value}")
  set(field_${field} "${value}")
endforeach()
foreach(pair "Package=stavio" "Version=${VERSION}" "Architecture=${arch}" "Section=sound"
        "Priority=optional" "Homepage=${HOMEPAGE}")
  string(REPLACE "=" ";" pair "${pair}")
  list(GET pair 0 field)
  list(GET pair 1 expected)
  if(NOT field_${field} STREQUAL expected)
    fail("${field}: '${field_${field}}', expected '${expected}'")
  endif()
endforeach()
if(NOT field_Maintainer MATCHES "^[^<>]+ <[^<>@ ]+@[^<> ]+>$")
  fail("Maintainer is no 'Name <address>': '${field_Maintainer}'")
endif()
# The first line is the short description; the long one follows, each line indented.
string(REPLACE "\n" ";" lines "${field_Description}")
list(POP_FRONT lines short)
list(LENGTH lines long)
if(NOT short STREQUAL SUMMARY)
  fail("short description '${short}', expected '${SUMMARY}'")
endif()
if(long LESS 3)
  fail("the long description has ${long} line(s)")
endif()
foreach(line IN LISTS lines)
  if(NOT line MATCHES "^ [^ ]")
    fail("long description line not indented by one space: '${line}'")
  endif()
endforeach()
# Dependencies with their versions: what dpkg-shlibdeps finds in the programs, and the SVG
# plugins.
set(needed libc6 libstdc++6)
if(WITH_DESKTOP)
  # libqt6svg6 holds the plugins that draw the window's SVG icons.
  list(APPEND needed libqt6core6 libqt6gui6 libqt6widgets6 libqt6svg6)
endif()
foreach(package IN LISTS needed)
  string(REPLACE "+" "\\+" pattern "${package}")
  if(NOT field_Depends MATCHES "(^|, )${pattern} \\(>= [^)]+\\)")
    fail("Depends lacks ${package} with a version: '${field_Depends}'")
  endif()
endforeach()
if(WITH_DESKTOP AND NOT field_Recommends MATCHES "(^|, )qt6-translations-l10n($|,| )")
  fail("Recommends lacks qt6-translations-l10n: '${field_Recommends}'")
endif()

# The files: all below /usr, owned by root, and exactly the expected ones.
run(listing "${DPKG_DEB}" --contents "${deb}")
string(REPLACE "\n" ";" listing "${listing}")
set(files)
foreach(line IN LISTS listing)
  if(line STREQUAL "")
    continue()
  endif()
  if(NOT line MATCHES "^[-d]rw[-x]r-[-x]r-[-x] root/root ")
    fail("wrong owner or mode: ${line}")
  endif()
  if(line MATCHES "^-[^ ]+ root/root +[0-9]+ [0-9-]+ [0-9:]+ \\./(.*)$")
    list(APPEND files "/${CMAKE_MATCH_1}")
  endif()
endforeach()
set(expected
  /usr/bin/stavio-cli
  /usr/share/man/man1/stavio-cli.1.gz
  /usr/share/doc/stavio/copyright
  /usr/share/doc/stavio/changelog.gz)
if(WITH_DESKTOP)
  list(APPEND expected
    /usr/bin/stavio
    /usr/share/man/man1/stavio.1.gz
    /usr/share/applications/${APP_ID}.desktop
    /usr/share/metainfo/${APP_ID}.metainfo.xml
    /usr/share/mime/packages/${APP_ID}.xml
    /usr/share/icons/hicolor/scalable/apps/stavio.svg)
  foreach(size 16 32 48 64 128 256)
    list(APPEND expected /usr/share/icons/hicolor/${size}x${size}/apps/stavio.png)
  endforeach()
endif()
list(SORT files)
list(SORT expected)
if(NOT files STREQUAL expected)
  set(extra ${files})
  list(REMOVE_ITEM extra ${expected})
  set(missing ${expected})
  list(REMOVE_ITEM missing ${files})
  fail("package files differ; missing: '${missing}', unexpected: '${extra}'")
endif()

# Unpacked: stripped programs that run, compressed documents, a valid entry and AppStream file.
set(root "${WORK}/root")
run(output "${DPKG_DEB}" --extract "${deb}" "${root}")
run(version "${root}/usr/bin/stavio-cli" --version)
if(NOT version STREQUAL "stavio-cli ${VERSION}\n")
  fail("unpacked stavio-cli --version gives '${version}'")
endif()
set(programs "${root}/usr/bin/stavio-cli")
if(WITH_DESKTOP)
  list(APPEND programs "${root}/usr/bin/stavio")
endif()
foreach(program IN LISTS programs)
  # An ELF file's section headers: a stripped program has no .debug_info and no .symtab.
  file(READ "${program}" bytes HEX)
  foreach(section debug_info symtab)
    string(HEX ".${section}" name)
    string(FIND "${bytes}" "00${name}00" at)
    if(NOT at EQUAL -1)
      fail("${program} is not stripped: it has a .${section} section")
    endif()
  endforeach()
endforeach()
set(documents man/man1/stavio-cli.1.gz doc/stavio/changelog.gz)
if(WITH_DESKTOP)
  list(APPEND documents man/man1/stavio.1.gz)
endif()
foreach(document IN LISTS documents)
  set(magic "")
  if(EXISTS "${root}/usr/share/${document}")
    file(READ "${root}/usr/share/${document}" magic LIMIT 2 HEX)
  endif()
  if(NOT magic STREQUAL "1f8b")
    fail("${document} is not gzip-compressed")
  endif()
endforeach()

if(WITH_DESKTOP)
  set(entry "${root}/usr/share/applications/${APP_ID}.desktop")
  set(metainfo "${root}/usr/share/metainfo/${APP_ID}.metainfo.xml")
  find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
  find_program(APPSTREAMCLI appstreamcli)
  if(NOT DESKTOP_FILE_VALIDATE OR NOT APPSTREAMCLI)
    message(FATAL_ERROR "desktop-file-validate (desktop-file-utils) and appstreamcli (appstream) "
                        "are needed: scripts/prepare.sh installs them")
  endif()
  execute_process(COMMAND "${DESKTOP_FILE_VALIDATE}" "${entry}" RESULT_VARIABLE result
                  OUTPUT_VARIABLE output ERROR_VARIABLE output)
  if(NOT result EQUAL 0)
    fail("desktop-file-validate: ${output}")
  endif()
  execute_process(COMMAND "${APPSTREAMCLI}" validate --no-net "${metainfo}" RESULT_VARIABLE result
                  OUTPUT_VARIABLE output ERROR_VARIABLE output)
  message(STATUS "appstreamcli validate --no-net:\n${output}")
  if(NOT result EQUAL 0)
    fail("appstreamcli validate --no-net failed")
  endif()
  # What ties the AppStream file to the package: its id, its desktop entry, this release.
  file(READ "${metainfo}" xml)
  foreach(expected "<id>${APP_ID}</id>"
          "<launchable type=\"desktop-id\">${APP_ID}.desktop</launchable>"
          "<release version=\"${VERSION}\" date=\"" "<content_rating type=\"oars-"
          "<url type=\"homepage\">${HOMEPAGE}</url>" "<binary>stavio</binary>")
    string(FIND "${xml}" "${expected}" at)
    if(at EQUAL -1)
      fail("the AppStream file lacks ${expected}")
    endif()
  endforeach()
endif()

# Debian's own package checks, where installed: no errors (warnings are shown).
find_program(LINTIAN lintian)
if(LINTIAN)
  execute_process(COMMAND "${LINTIAN}" --fail-on error "${deb}" RESULT_VARIABLE result
                  OUTPUT_VARIABLE output ERROR_VARIABLE output)
  message(STATUS "lintian:\n${output}")
  if(NOT result EQUAL 0)
    fail("lintian reports errors")
  endif()
else()
  message(STATUS "lintian not installed: Debian's package checks not run")
endif()

if(failures)
  message(FATAL_ERROR "${failures} check(s) failed")
endif()
message(STATUS "built and checked ${deb}")
