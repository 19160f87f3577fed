# What `cpack -G DEB` puts into the package a club installs on the track's PC.
include(GNUInstallDirs)

set(_pkg ${CMAKE_CURRENT_LIST_DIR})
set(_gen ${CMAKE_BINARY_DIR}/packaging)
set(_id cat.cronovolta.Cronovolta)
file(MAKE_DIRECTORY ${_gen})

install(TARGETS cronovolta-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
if(TARGET cronovolta)
  install(TARGETS cronovolta RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endif()
# Run by `cronovolta-cli serve`, not by people: beside the programs, out of the PATH.
if(TARGET cronovolta-serve)
  install(TARGETS cronovolta-serve RUNTIME DESTINATION ${CMAKE_INSTALL_LIBEXECDIR}/cronovolta)
endif()

# Manual pages and the changelog carry the project version; Debian wants them gzipped
# without a time stamp so that rebuilds give the same bytes.
set(_compressed)
foreach(_name cronovolta.1 cronovolta-cli.1 changelog)
  configure_file(${_pkg}/${_name}.in ${_gen}/${_name} @ONLY)
  add_custom_command(OUTPUT ${_gen}/${_name}.gz
    COMMAND gzip -n -9 -c ${_gen}/${_name} > ${_gen}/${_name}.gz
    DEPENDS ${_gen}/${_name} ${_pkg}/${_name}.in VERBATIM)
  list(APPEND _compressed ${_gen}/${_name}.gz)
endforeach()
configure_file(${_pkg}/${_id}.metainfo.xml.in ${_gen}/${_id}.metainfo.xml @ONLY)

set(_icon_sizes 16 32 48 64 128 256)
set(_icons)
find_program(RSVG_CONVERT rsvg-convert)
if(RSVG_CONVERT)
  foreach(_size ${_icon_sizes})
    set(_png ${_gen}/icons/${_size}x${_size}/cronovolta.png)
    add_custom_command(OUTPUT ${_png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${_gen}/icons/${_size}x${_size}
      COMMAND ${RSVG_CONVERT} -w ${_size} -h ${_size} ${_pkg}/cronovolta.svg -o ${_png}
      DEPENDS ${_pkg}/cronovolta.svg VERBATIM)
    list(APPEND _icons ${_png})
    install(FILES ${_png} DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_size}x${_size}/apps)
  endforeach()
else()
  message(STATUS "rsvg-convert not found: the package gets the scalable icon only")
endif()
add_custom_target(package_files ALL DEPENDS ${_compressed} ${_icons})

install(FILES ${_gen}/cronovolta.1.gz ${_gen}/cronovolta-cli.1.gz
        DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES ${_pkg}/${_id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${_gen}/${_id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${_pkg}/cronovolta.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
set(_doc ${CMAKE_INSTALL_DATADIR}/doc/cronovolta)
install(FILES ${CMAKE_SOURCE_DIR}/README.md ${_pkg}/README.Debian ${_pkg}/copyright
              ${_gen}/changelog.gz
        DESTINATION ${_doc})

# cpack packs what scripts/build.sh built; the package check must not rebuild binaries that
# other tests are running.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)
set(CPACK_PACKAGE_NAME cronovolta)
set(CPACK_PACKAGE_VENDOR "Cronovolta developers")
set(CPACK_PACKAGE_CONTACT "Cronovolta developers <dev@cronovolta.cat>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "track-side timing of slot-car races")
set(CPACK_PACKAGE_DESCRIPTION
    "Times slot-car racing events live from up to four lap counters on serial lines\n\
(up to 64 lanes): lane rotation, live standings, classifications, automatic\n\
finals, corrections, penalties, listings, printing, export and archives, in\n\
Catalan or Castilian. The package holds the desktop program and cronovolta-cli,\n\
its command-line companion.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
include(CPack)

# A sanitizer build is no program for a club.
if(CRONOVOLTA_BUILD_TESTS AND TARGET cronovolta AND NOT CRONOVOLTA_SANITIZE AND NOT CRONOVOLTA_FUZZ)
  add_test(NAME package_install COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-package.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(package_install PROPERTIES TIMEOUT 600)
endif()
