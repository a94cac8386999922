# Installs BUILD_DIR into a fresh prefix under WORK_DIR and checks what landed there. The prefix
# is removed and BUILD_DIR's install_manifest.txt put back whether the checks pass or not, so a
# real install's manifest (used to uninstall) survives the test.
find_program(desktop_file_validate desktop-file-validate)
find_program(appstreamcli appstreamcli)
find_program(python3 python3)
foreach(tool IN ITEMS desktop_file_validate appstreamcli python3)
  if(NOT ${tool})
    string(REPLACE "_" "-" name ${tool})
    if(NOT "$ENV{CI}" STREQUAL "" AND NOT "$ENV{CI}" MATCHES "^([Ff][Aa][Ll][Ss][Ee]|0)$")
      message(FATAL_ERROR "${name} is missing (scripts/install-deps installs it)")
    endif()
    message("install test skipped: ${name} is missing (scripts/install-deps installs it)")
    return()
  endif()
endforeach()
if(IS_ABSOLUTE "${BINDIR}" OR IS_ABSOLUTE "${DATADIR}")
  message("install test skipped: absolute install directories (${BINDIR}, ${DATADIR}) ignore the prefix")
  return()
endif()

string(RANDOM LENGTH 8 suffix)
set(prefix ${WORK_DIR}/prefix-${suffix})
file(REMOVE_RECURSE ${prefix})
file(MAKE_DIRECTORY ${prefix})

set(manifest ${BUILD_DIR}/install_manifest.txt)
set(manifest_backup ${WORK_DIR}/install_manifest.txt.saved-${suffix})
if(EXISTS ${manifest})
  file(COPY_FILE ${manifest} ${manifest_backup})
endif()

set(errors "")
# A function, not a macro: a macro would expand any ${...} in a program's output.
function(fail text)
  string(APPEND errors "\n- ${text}")
  set(errors "${errors}" PARENT_SCOPE)
endfunction()

set(config_args "")
if(CONFIG)
  set(config_args --config ${CONFIG})
endif()
execute_process(
  COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${prefix} ${config_args}
  OUTPUT_VARIABLE install_output
  ERROR_VARIABLE install_output
  RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  fail("cmake --install failed (${status}):\n${install_output}")
else()
  set(desktop_file ${prefix}/${DATADIR}/applications/kestrum.desktop)
  set(icon ${prefix}/${DATADIR}/icons/hicolor/scalable/apps/kestrum.svg)
  set(metainfo ${prefix}/${DATADIR}/metainfo/io.github.kestrum.Kestrum.metainfo.xml)
  set(programs ${BINDIR}/kestrum ${BINDIR}/kestrum-report)
  set(extension ${DATADIR}/gnome-shell/extensions/kestrum@kestrum.github.io)
  set(expected_files ${programs}
    ${extension}/extension.js ${extension}/focusTracker.js ${extension}/metadata.json
    ${DATADIR}/applications/kestrum.desktop
    ${DATADIR}/icons/hicolor/scalable/apps/kestrum.svg
    ${DATADIR}/metainfo/io.github.kestrum.Kestrum.metainfo.xml)

  # Every file and directory in the prefix, against the expected files and their directories:
  # an empty lib/ or a stray static library or test program counts as much as a missing file.
  set(expected "")
  foreach(file IN LISTS expected_files)
    set(path ${file})
    while(NOT path STREQUAL "")
      list(APPEND expected ${path})
      get_filename_component(path ${path} DIRECTORY)
    endwhile()
  endforeach()
  list(REMOVE_DUPLICATES expected)
  file(GLOB_RECURSE actual LIST_DIRECTORIES true RELATIVE ${prefix} ${prefix}/*)
  set(unexpected ${actual})
  if(expected)
    list(REMOVE_ITEM unexpected ${expected})
  endif()
  set(missing ${expected})
  if(actual)
    list(REMOVE_ITEM missing ${actual})
  endif()
  if(unexpected)
    list(SORT unexpected)
    list(JOIN unexpected "\n    " text)
    fail("installed but not expected:\n    ${text}")
  endif()
  if(missing)
    list(SORT missing)
    list(JOIN missing "\n    " text)
    fail("expected but not installed:\n    ${text}")
  endif()

  foreach(program IN LISTS programs)
    execute_process(COMMAND test -f ${prefix}/${program} -a -x ${prefix}/${program} RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      fail("${program} is not an executable file")
    endif()
  endforeach()

  if(EXISTS ${prefix}/${BINDIR}/kestrum)
    execute_process(
      COMMAND ${prefix}/${BINDIR}/kestrum --version
      OUTPUT_VARIABLE output
      ERROR_VARIABLE output
      RESULT_VARIABLE status
      TIMEOUT 30)
    string(STRIP "${output}" output)
    if(NOT status EQUAL 0 OR NOT output STREQUAL "Kestrum ${VERSION}")
      fail("installed kestrum --version gave (${status}) \"${output}\", not \"Kestrum ${VERSION}\"")
    endif()
  endif()

  # Hints are advice; errors and warnings fail.
  if(EXISTS ${desktop_file})
    execute_process(
      COMMAND ${desktop_file_validate} ${desktop_file}
      OUTPUT_VARIABLE output
      ERROR_VARIABLE output
      RESULT_VARIABLE status)
    if(NOT status EQUAL 0 OR output MATCHES "(error|warning):")
      fail("desktop-file-validate rejects the desktop entry (${status}):\n${output}")
    endif()
  endif()

  # KWin trusts the entry only when Exec is the installed program's absolute path.
  if(EXISTS ${desktop_file})
    file(STRINGS ${desktop_file} exec_lines REGEX "^Exec=")
    list(GET exec_lines 0 exec_line)
    if(NOT exec_line STREQUAL "Exec=${prefix}/${BINDIR}/kestrum")
      fail("the desktop entry starts \"${exec_line}\", not the installed kestrum")
    endif()
    file(STRINGS ${desktop_file} interfaces REGEX "^X-KDE-Wayland-Interfaces=")
    if(NOT interfaces STREQUAL "X-KDE-Wayland-Interfaces=org_kde_plasma_window_management")
      fail("the desktop entry does not ask KWin for its window list: \"${interfaces}\"")
    endif()
  endif()

  # The extension in the form this machine's GNOME Shell loads (43-44, scripts, without one).
  if(EXISTS ${prefix}/${extension}/metadata.json)
    file(READ ${prefix}/${extension}/metadata.json metadata)
    string(JSON uuid GET "${metadata}" uuid)
    execute_process(COMMAND gnome-shell --version OUTPUT_VARIABLE shell ERROR_QUIET)
    string(REGEX MATCH "[0-9]+" major "${shell}")
    if(NOT major)
      set(major 43)
    endif()
    string(FIND "${metadata}" "\"${major}\"" listed)
    if(NOT uuid STREQUAL "kestrum@kestrum.github.io" OR listed EQUAL -1)
      fail("the installed extension's metadata does not fit GNOME Shell ${major}:\n${metadata}")
    endif()
  endif()

  if(EXISTS ${metainfo})
    execute_process(
      COMMAND ${appstreamcli} validate --no-net ${metainfo}
      OUTPUT_VARIABLE output
      ERROR_VARIABLE output
      RESULT_VARIABLE status)
    if(NOT status EQUAL 0 OR output MATCHES "(^|\n)[EW]:")
      fail("appstreamcli validate rejects the metainfo (${status}):\n${output}")
    endif()
  endif()

  # Well-formed SVG that stands alone: no links out, no text that needs a font.
  if(EXISTS ${icon})
    execute_process(
      COMMAND ${python3} -c [[
import sys, xml.etree.ElementTree as ET
root = ET.parse(sys.argv[1]).getroot()
ns = "{http://www.w3.org/2000/svg}"
assert root.tag == ns + "svg", "root is " + root.tag
for e in root.iter():
    assert e.tag not in (ns + "text", ns + "image"), "contains " + e.tag
    for name in e.attrib:
        assert not name.endswith("href"), "links out through " + name
]] ${icon}
      OUTPUT_VARIABLE output
      ERROR_VARIABLE output
      RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      fail("the icon is not a standalone SVG document:\n${output}")
    endif()
  endif()
endif()

file(REMOVE_RECURSE ${prefix})
if(EXISTS ${manifest_backup})
  file(RENAME ${manifest_backup} ${manifest})
else()
  file(REMOVE ${manifest})
endif()

if(errors)
  message(FATAL_ERROR "the installation is wrong:${errors}")
endif()
