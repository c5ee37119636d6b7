# Builds the Debian package into WORK_DIR with cpack and checks what it holds.
# Arguments: -DCPACK=<cpack> -DBINARY_DIR=<top build dir> -DWORK_DIR=<dir>
#            -DQUELLAR_EXECUTABLE=<path, empty when the build has no such target>.
# Prints "SKIP:" when it cannot run here.
cmake_minimum_required(VERSION 3.25)

if(QUELLAR_EXECUTABLE STREQUAL "")
  message("SKIP: the build has no quellar executable to package")
  return()
endif()
if(NOT EXISTS ${QUELLAR_EXECUTABLE})
  message(FATAL_ERROR "${QUELLAR_EXECUTABLE} has not been built: build the quellar target first")
endif()
find_program(DPKG_DEB dpkg-deb)
if(NOT DPKG_DEB)
  message("SKIP: dpkg-deb is not installed")
  return()
endif()

file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
execute_process(
  COMMAND ${CPACK} -G DEB -B ${WORK_DIR} --config ${BINARY_DIR}/CPackConfig.cmake
  RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cpack failed (${result}):\n${output}")
endif()

file(GLOB packages ${WORK_DIR}/*.deb)
list(LENGTH packages count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one .deb in ${WORK_DIR}, found: ${packages}")
endif()

execute_process(COMMAND ${DPKG_DEB} -c ${packages} OUTPUT_VARIABLE contents
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "dpkg-deb -c failed")
endif()
foreach(path
    "./usr/bin/quellar"
    "./usr/bin/quellar-watch"
    "./usr/share/applications/example.quellar.Quellar.desktop"
    "./usr/share/icons/hicolor/scalable/apps/quellar.svg"
    "./usr/share/metainfo/example.quellar.Quellar.metainfo.xml"
    "./usr/share/man/man1/quellar.1.gz"
    "./usr/share/man/ru/man1/quellar.1.gz"
    "./usr/share/man/man1/quellar-watch.1.gz"
    "./usr/share/man/ru/man1/quellar-watch.1.gz"
    "./usr/share/doc/quellar/copyright"
    "./usr/share/doc/quellar/changelog.gz"
    "./usr/lib/systemd/user/quellar-watch@.service")
  string(REGEX MATCH " ${path}\n" found "${contents}")
  if(NOT found)
    message(FATAL_ERROR "the package lacks ${path}; it holds:\n${contents}")
  endif()
endforeach()
foreach(program quellar quellar-watch)
  string(REGEX MATCH "-rwxr-xr-x [^\n]* ./usr/bin/${program}\n" executable "${contents}")
  if(NOT executable)
    message(FATAL_ERROR "usr/bin/${program} is not executable:\n${contents}")
  endif()
endforeach()

foreach(field Package Version Depends Maintainer Section)
  execute_process(COMMAND ${DPKG_DEB} -f ${packages} ${field}
                  OUTPUT_VARIABLE value OUTPUT_STRIP_TRAILING_WHITESPACE)
  set(control_${field} "${value}")
endforeach()
if(NOT control_Package STREQUAL "quellar" OR NOT control_Version STREQUAL "1.1.0")
  message(FATAL_ERROR "package ${control_Package} ${control_Version}, not quellar 1.1.0")
endif()
foreach(dependency libqt6widgets6 libcurl qt6-qpa-plugins)
  string(FIND "${control_Depends}" "${dependency}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "Depends lacks ${dependency}: ${control_Depends}")
  endif()
endforeach()
if(control_Maintainer STREQUAL "" OR NOT control_Section STREQUAL "net")
  message(FATAL_ERROR "Maintainer '${control_Maintainer}', Section '${control_Section}'")
endif()

# The checks a distribution makes: lintian on the package, appstreamcli on its
# metainfo, desktop-file-validate on its menu entry. An error or a warning fails.
foreach(tool lintian appstreamcli desktop-file-validate)
  find_program(tool_${tool} ${tool})
  if(NOT tool_${tool})
    message(FATAL_ERROR "${tool} is not installed (./scripts/install-deps installs it)")
  endif()
endforeach()
execute_process(COMMAND ${tool_lintian} --fail-on error,warning --tag-display-limit 0 ${packages}
                RESULT_VARIABLE result OUTPUT_VARIABLE output ERROR_VARIABLE output)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "lintian fails the package (${result}):\n${output}")
endif()
set(tree ${WORK_DIR}/tree)
execute_process(COMMAND ${DPKG_DEB} -x ${packages} ${tree} RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "dpkg-deb -x failed")
endif()
execute_process(
  COMMAND ${tool_appstreamcli} validate --no-net
          ${tree}/usr/share/metainfo/example.quellar.Quellar.metainfo.xml
  RESULT_VARIABLE result OUTPUT_VARIABLE appstream ERROR_VARIABLE appstream)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "appstreamcli fails the metainfo (${result}):\n${appstream}")
endif()
execute_process(
  COMMAND ${tool_desktop-file-validate}
          ${tree}/usr/share/applications/example.quellar.Quellar.desktop
  RESULT_VARIABLE result OUTPUT_VARIABLE desktop ERROR_VARIABLE desktop)
if(NOT result EQUAL 0 OR NOT desktop STREQUAL "")
  message(FATAL_ERROR "desktop-file-validate fails the menu entry (${result}):\n${desktop}")
endif()
# systemd-analyze verifies the unit as an instance for a clan with a blank and
# Cyrillic letters, its command pointed at the packaged program. The manual page
# is not installed here, so it is not looked for; and the check runs in the system
# manager's mode, as --user needs a runtime directory that a build may lack.
find_program(SYSTEMD_ANALYZE systemd-analyze)
if(SYSTEMD_ANALYZE)
  set(unit_dir ${WORK_DIR}/units)
  file(READ ${tree}/usr/lib/systemd/user/quellar-watch@.service unit)
  string(REPLACE "=/usr/bin/" "=${tree}/usr/bin/" unit "${unit}")
  file(WRITE ${unit_dir}/quellar-watch@.service "${unit}")
  execute_process(
    COMMAND ${SYSTEMD_ANALYZE} verify --man=no
            "${unit_dir}/quellar-watch@\\xd0\\xa2\\xd1\\x91\\x20\\xd0\\x9b.service"
    RESULT_VARIABLE result OUTPUT_VARIABLE verify ERROR_VARIABLE verify)
  if(NOT result EQUAL 0 OR NOT verify STREQUAL "")
    message(FATAL_ERROR "systemd-analyze fails the user unit (${result}):\n${verify}")
  endif()
endif()
message("package ${packages}\nDepends: ${control_Depends}\nlintian:\n${output}")
