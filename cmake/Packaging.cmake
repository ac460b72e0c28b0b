# Install layout and the Debian package (cpack -G DEB, see tools/package).
# Included last from the top level, so that it sees every target the tree builds and refers to
# them by name only: the folders' own CMakeLists stay free of install rules.
include(GNUInstallDirs)

set(ORYX_PACKAGE_NAME oryx-config)
set(ORYX_APP_ID com.altorvia.OryxConfig)
set(ORYX_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(ORYX_GENERATED_DIR ${PROJECT_BINARY_DIR}/packaging)
# Nothing outside this package links the library, so it lives in a private folder: no ldconfig
# run, no shlibs file, and no clash with another package's library of the same name.
set(ORYX_PRIVATE_LIBDIR ${CMAKE_INSTALL_LIBDIR}/${ORYX_PACKAGE_NAME})

# "REQUIRED" makes a missing help2man or rsvg-convert an error instead of a package without man
# pages or bitmap icons.
set(ORYX_PACKAGE_TOOLS "OPTIONAL" CACHE STRING
    "OPTIONAL or REQUIRED: the tools for man pages and icons")

function(oryx_find_package_tool variable name)
  find_program(${variable} ${name})
  if(NOT ${variable} AND ORYX_PACKAGE_TOOLS STREQUAL "REQUIRED")
    message(FATAL_ERROR "${name} is needed to build the package (tools/package installs it)")
  endif()
endfunction()

oryx_find_package_tool(ORYX_HELP2MAN help2man)
oryx_find_package_tool(ORYX_RSVG_CONVERT rsvg-convert)
oryx_find_package_tool(ORYX_GZIP gzip)

# --- Library -------------------------------------------------------------------------------
# The SONAME carries the major version: hosts bind the controller by its virtual table's slot
# order, so a change to the exported interface comes with a new major version.
if(TARGET OpalRadioConfig)
  set_target_properties(OpalRadioConfig PROPERTIES
    VERSION ${PROJECT_VERSION}
    SOVERSION ${PROJECT_VERSION_MAJOR})
  install(TARGETS OpalRadioConfig LIBRARY DESTINATION ${ORYX_PRIVATE_LIBDIR} NAMELINK_SKIP)
endif()

# --- Programs ------------------------------------------------------------------------------
foreach(program ORYX_Config oryx-cli oryx-sim)
  if(TARGET ${program})
    set_target_properties(${program} PROPERTIES INSTALL_RPATH "$ORIGIN/../${ORYX_PRIVATE_LIBDIR}")
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

# oryx_gzipped_copy(<source> <target>): builds <target>.gz from <source>, compressed as Debian
# ships documentation (-n: no name or time stamp inside, so the package builds the same twice).
function(oryx_gzipped_copy source target)
  add_custom_command(OUTPUT ${target}.gz
    COMMAND ${CMAKE_COMMAND} -E copy ${source} ${target}
    COMMAND ${ORYX_GZIP} -n9 -f ${target}
    DEPENDS ${source}
    VERBATIM)
endfunction()

# --- Man pages ---------------------------------------------------------------------------------
set(ORYX_MAN_PAGES)

# oryx_man_from_help(<program> <one-line description> [<command>...]): the page is the program's
# --help followed by each named command's --help, so options of commands are documented too.
function(oryx_man_from_help program description)
  if(NOT TARGET ${program} OR NOT ORYX_HELP2MAN OR NOT ORYX_GZIP)
    return()
  endif()
  set(help_option "--help")
  foreach(command IN LISTS ARGN)
    # Indented under a heading of its own, so that help2man keeps each command's options apart.
    string(APPEND help_option " && echo && echo 'Command ${command}:'"
           " && ${program} ${command} --help | sed -e '/^Options:/d' -e 's/^/  /'")
  endforeach()
  set(page ${ORYX_GENERATED_DIR}/man/${program}.1)
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ORYX_GENERATED_DIR}/man
    # Run through PATH so that the usage lines name the program, not its build folder.
    COMMAND ${CMAKE_COMMAND} -E env "PATH=$<TARGET_FILE_DIR:${program}>:$ENV{PATH}"
            ${ORYX_HELP2MAN} --no-info --no-discard-stderr --section=1
            --version-string=${PROJECT_VERSION} --name=${description}
            --include=${ORYX_PACKAGING_DIR}/man/${program}.h2m
            --help-option=${help_option} --output=${page} ${program}
    COMMAND ${ORYX_GZIP} -n9 -f ${page}
    DEPENDS ${program} ${ORYX_PACKAGING_DIR}/man/${program}.h2m
    VERBATIM)
  set(ORYX_MAN_PAGES ${ORYX_MAN_PAGES} ${page}.gz PARENT_SCOPE)
endfunction()

# oryx_man_from_source(<program>): a page written by hand in troff; @PROJECT_VERSION@ in it is
# replaced.
function(oryx_man_from_source program)
  if(NOT TARGET ${program} OR NOT ORYX_GZIP)
    return()
  endif()
  set(page ${ORYX_GENERATED_DIR}/man/${program}.1)
  configure_file(${ORYX_PACKAGING_DIR}/man/${program}.1 ${page}.in @ONLY)
  oryx_gzipped_copy(${page}.in ${page})
  set(ORYX_MAN_PAGES ${ORYX_MAN_PAGES} ${page}.gz PARENT_SCOPE)
endfunction()

oryx_man_from_help(oryx-cli "configure ORYX radio modems over a serial port from scripts")
oryx_man_from_help(oryx-sim "simulated ORYX radios on pseudo-terminals" modem module)
oryx_man_from_source(ORYX_Config)
if(ORYX_MAN_PAGES)
  add_custom_target(oryx_man_pages ALL DEPENDS ${ORYX_MAN_PAGES})
  install(FILES ${ORYX_MAN_PAGES} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endif()

# --- Desktop entry, icons, AppStream metadata -----------------------------------------------
if(TARGET ORYX_Config)
  set(icon_svg ${ORYX_PACKAGING_DIR}/icons/${ORYX_APP_ID}.svg)
  install(FILES ${ORYX_PACKAGING_DIR}/${ORYX_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${ORYX_PACKAGING_DIR}/${ORYX_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${icon_svg} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  if(ORYX_RSVG_CONVERT)
    set(icons)
    foreach(size 16 32 48 64 128 256)
      set(icon ${ORYX_GENERATED_DIR}/icons/${size}x${size}/${ORYX_APP_ID}.png)
      add_custom_command(OUTPUT ${icon}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${ORYX_GENERATED_DIR}/icons/${size}x${size}
        COMMAND ${ORYX_RSVG_CONVERT} --width=${size} --height=${size} --output=${icon} ${icon_svg}
        DEPENDS ${icon_svg}
        VERBATIM)
      list(APPEND icons ${icon})
      install(FILES ${icon} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps)
    endforeach()
    add_custom_target(oryx_icons ALL DEPENDS ${icons})
  endif()
endif()

# --- Package documentation -------------------------------------------------------------------
set(ORYX_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/${ORYX_PACKAGE_NAME})
# Both carry the version; configuring again when they change keeps the checks below current.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
  ${ORYX_PACKAGING_DIR}/changelog ${ORYX_PACKAGING_DIR}/${ORYX_APP_ID}.metainfo.xml)
file(STRINGS ${ORYX_PACKAGING_DIR}/changelog changelog_head LIMIT_COUNT 1)
if(NOT changelog_head MATCHES "^${ORYX_PACKAGE_NAME} \\(${PROJECT_VERSION}\\) ")
  message(FATAL_ERROR "packaging/changelog needs an entry for ${PROJECT_VERSION} at the top")
endif()
file(READ ${ORYX_PACKAGING_DIR}/${ORYX_APP_ID}.metainfo.xml metainfo)
string(FIND "${metainfo}" "<release version=\"${PROJECT_VERSION}\"" release_at)
if(release_at EQUAL -1)
  message(FATAL_ERROR "packaging/${ORYX_APP_ID}.metainfo.xml needs a release ${PROJECT_VERSION}")
endif()
if(ORYX_GZIP)
  set(changelog ${ORYX_GENERATED_DIR}/changelog)
  oryx_gzipped_copy(${ORYX_PACKAGING_DIR}/changelog ${changelog})
  add_custom_target(oryx_changelog ALL DEPENDS ${changelog}.gz)
  install(FILES ${changelog}.gz DESTINATION ${ORYX_DOC_DIR})
endif()
install(FILES ${ORYX_PACKAGING_DIR}/copyright DESTINATION ${ORYX_DOC_DIR})

# --- Checks of the packaging files (run where the validators are installed) -------------------
find_program(ORYX_DESKTOP_FILE_VALIDATE desktop-file-validate)
find_program(ORYX_APPSTREAMCLI appstreamcli)
if(BUILD_TESTING AND ORYX_DESKTOP_FILE_VALIDATE)
  add_test(NAME packaging_desktop_entry
    COMMAND ${ORYX_DESKTOP_FILE_VALIDATE} ${ORYX_PACKAGING_DIR}/${ORYX_APP_ID}.desktop)
  # The validator reports problems but exits 0 for some of them; any output is a finding.
  set_tests_properties(packaging_desktop_entry PROPERTIES LABELS unit FAIL_REGULAR_EXPRESSION ".")
endif()
if(BUILD_TESTING AND ORYX_APPSTREAMCLI)
  add_test(NAME packaging_metainfo
    COMMAND ${ORYX_APPSTREAMCLI} validate --no-net
            ${ORYX_PACKAGING_DIR}/${ORYX_APP_ID}.metainfo.xml)
  set_tests_properties(packaging_metainfo PROPERTIES LABELS unit)
endif()

# --- Debian package ------------------------------------------------------------------------
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME ${ORYX_PACKAGE_NAME})
set(CPACK_PACKAGE_VENDOR "Altorvia Instruments")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT
    "Seed 55d063ae maintainers <maintainers@users.noreply.c-seed-55d063ae.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration tool for ORYX radio modems and modules")
# Read here rather than named as CPACK_PACKAGE_DESCRIPTION_FILE: cpack escapes that file's quotes
# for XML, and they would reach the control file as "&apos;".
file(READ ${ORYX_PACKAGING_DIR}/description CPACK_DEBIAN_PACKAGE_DESCRIPTION)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION comm)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps runs in the staging folder, so the private folder is given relative to it.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS
    ${CMAKE_INSTALL_PREFIX}/${ORYX_PRIVATE_LIBDIR})
list(TRANSFORM CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS REPLACE "^/" "")
include(CPack)
