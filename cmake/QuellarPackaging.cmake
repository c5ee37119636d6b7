# Installation, the Debian package and the Windows resources of the quellar
# executable. Included after src/, where the executable is defined.
include(GNUInstallDirs)

set(QUELLAR_DATA_DIR ${PROJECT_SOURCE_DIR}/data)

# quellar_add_windows_resources(<target>)
# Gives a Windows executable its version resource (1.1.0.0, Russian, code page 1251),
# the manifest that asks for themed common controls, and the icon.
function(quellar_add_windows_resources target)
  set(QUELLAR_WINDOWS_ICON ${QUELLAR_DATA_DIR}/windows/quellar.ico)
  set(manifest ${QUELLAR_DATA_DIR}/windows/quellar.manifest)
  if(MSVC)
    # The MSVC linker writes a manifest of its own and merges ours into it.
    set(QUELLAR_WINDOWS_MANIFEST_RESOURCE "")
    target_sources(${target} PRIVATE ${manifest})
  else()
    # 1 is the manifest of the process, 24 the manifest resource type.
    set(QUELLAR_WINDOWS_MANIFEST_RESOURCE "1 24 \"${manifest}\"")
  endif()
  set(rc ${CMAKE_CURRENT_BINARY_DIR}/${target}.rc)
  configure_file(${QUELLAR_DATA_DIR}/windows/quellar.rc.in ${rc} @ONLY NEWLINE_STYLE CRLF)
  target_sources(${target} PRIVATE ${rc})
endfunction()

if(TARGET quellar)
  if(WIN32)
    quellar_add_windows_resources(quellar)
  endif()
  install(TARGETS quellar RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
# The command-line watcher for scripts: a console program without resources.
if(TARGET quellar-watch)
  install(TARGETS quellar-watch RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()

# The files a distribution expects beside the program: its menu entry and icon,
# AppStream metainfo, the systemd user unit for quellar-watch, the manual page in
# English and Russian, and the copyright file and changelog. Debian wants the
# manual pages and the changelog compressed with gzip -9n (no name or time stamp,
# so every build gives the same bytes).
if(UNIX AND NOT APPLE)
  install(FILES ${QUELLAR_DATA_DIR}/${QUELLAR_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${QUELLAR_DATA_DIR}/quellar.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${QUELLAR_DATA_DIR}/${QUELLAR_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${QUELLAR_DATA_DIR}/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quellar)
  # The user unit template that runs quellar-watch --history for one clan. User
  # units live in lib/systemd/user whatever the library folder of the machine is,
  # so not under CMAKE_INSTALL_LIBDIR (lib/x86_64-linux-gnu on Debian).
  install(FILES ${QUELLAR_DATA_DIR}/systemd/quellar-watch@.service
          DESTINATION lib/systemd/user)

  find_program(QUELLAR_GZIP gzip REQUIRED)
  set(compressed "")
  foreach(pair "man/quellar.1|man1/quellar.1.gz" "man/quellar.ru.1|ru/man1/quellar.1.gz"
               "man/quellar-watch.1|man1/quellar-watch.1.gz"
               "man/quellar-watch.ru.1|ru/man1/quellar-watch.1.gz"
               "changelog|changelog.gz")
    string(REPLACE "|" ";" pair "${pair}")
    list(GET pair 0 source)
    list(GET pair 1 target)
    set(output ${PROJECT_BINARY_DIR}/packaged/${target})
    get_filename_component(output_dir ${output} DIRECTORY)
    add_custom_command(OUTPUT ${output}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${output_dir}
        COMMAND ${QUELLAR_GZIP} -9n -c ${QUELLAR_DATA_DIR}/${source} > ${output}
        DEPENDS ${QUELLAR_DATA_DIR}/${source}
        VERBATIM)
    list(APPEND compressed ${output})
  endforeach()
  add_custom_target(quellar_packaged_docs ALL DEPENDS ${compressed})
  install(FILES ${PROJECT_BINARY_DIR}/packaged/man1/quellar.1.gz
                ${PROJECT_BINARY_DIR}/packaged/man1/quellar-watch.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  install(FILES ${PROJECT_BINARY_DIR}/packaged/ru/man1/quellar.1.gz
                ${PROJECT_BINARY_DIR}/packaged/ru/man1/quellar-watch.1.gz
          DESTINATION ${CMAKE_INSTALL_MANDIR}/ru/man1)
  install(FILES ${PROJECT_BINARY_DIR}/packaged/changelog.gz DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quellar)
endif()

# cpack -G DEB builds quellar_<version>_<arch>.deb in the build tree's package/
# folder, never in the checkout.
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/package)
set(CPACK_PACKAGE_NAME quellar)
set(CPACK_PACKAGE_VENDOR "Quellar")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Online roster of a Vorlane clan")
# Debian shows the extended description as it is: lines of at most 80 columns.
set(CPACK_PACKAGE_DESCRIPTION
    "Quellar shows which members of a Vorlane clan are online on the x3 or x300
server, in a sortable table of nick, play time, registration and profession,
and can refresh it every 1 to 60 minutes. Its interface is Russian.
quellar-watch prints the same roster, or who comes and goes, for scripts.")
set(CPACK_PACKAGE_CONTACT "Quellar maintainers <maintainers@quellar.example>")
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Quellar maintainers <maintainers@quellar.example>")
# A network client for a game's players, not a game.
set(CPACK_DEBIAN_PACKAGE_SECTION net)
# The libraries the executable links come from dpkg-shlibdeps when it is there;
# what the program loads at run time is named by hand: the platform plugins Qt
# loads, libcurl, which is loaded on the first roster fetch, the font the windows
# ask for and Qt's own Russian texts.
find_program(QUELLAR_DPKG_SHLIBDEPS dpkg-shlibdeps)
if(QUELLAR_DPKG_SHLIBDEPS)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libcurl4, qt6-qpa-plugins, fonts-liberation2, qt6-translations-l10n")
else()
  set(CPACK_DEBIAN_PACKAGE_DEPENDS
      "libqt6widgets6, libqt6gui6, libqt6core6, libicu72, libsqlite3-0, libcurl4, \
qt6-qpa-plugins, fonts-liberation2, qt6-translations-l10n")
endif()
include(CPack)
