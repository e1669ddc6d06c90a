# cmake --install: the installed layout (every path relative to the prefix).
#   bin/quillon                         the program (RUNPATH $ORIGIN/../lib/quillon)
#   lib/quillon/*.so                    its shared libraries (RUNPATH $ORIGIN)
#   lib/quillon/plugins/*.so            the plug-ins (RUNPATH $ORIGIN/..)
#   share/quillon/mib, share/quillon/help
#   share/applications, share/metainfo, share/icons/hicolor, share/man/man1
#   share/doc/quillon                   copyright, changelog.gz
# The program recognises this layout by where it lies (AppConstants).
# The plug-ins sit one level below the libraries, as build/lib sits below
# build/, so the same relative RUNPATHs serve both trees.

set(QUILLON_INSTALL_LIBDIR lib/quillon)
set(QUILLON_INSTALL_PLUGINDIR lib/quillon/plugins)
set(QUILLON_INSTALL_DATADIR share/quillon)
# The date of the release named by project(VERSION), for the metadata.
set(QUILLON_RELEASE_DATE 2026-12-08)

set_target_properties(quillon PROPERTIES INSTALL_RPATH "$ORIGIN/../${QUILLON_INSTALL_LIBDIR}")
install(TARGETS quillon RUNTIME DESTINATION bin)
# Everything cmake --install needs, and nothing else (scripts/build-deb.sh).
add_custom_target(quillon_installables)
add_dependencies(quillon_installables quillon)

# Every library the program's directories build: plug-ins are those built
# into build/lib, the rest are libraries beside the program. Shared
# libraries are not programs: no execute bits.
set(lib_permissions OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
foreach(dir snmpval mibcore app plugins)
  if(NOT EXISTS ${CMAKE_SOURCE_DIR}/${dir}/CMakeLists.txt)
    continue()
  endif()
  quillon_targets_below(${CMAKE_SOURCE_DIR}/${dir} targets)
  foreach(t ${targets})
    get_target_property(type ${t} TYPE)
    if(NOT type STREQUAL "SHARED_LIBRARY" AND NOT type STREQUAL "MODULE_LIBRARY")
      continue()
    endif()
    add_dependencies(quillon_installables ${t})
    get_target_property(out ${t} LIBRARY_OUTPUT_DIRECTORY)
    if(out STREQUAL QUILLON_PLUGIN_DIR)
      set_target_properties(${t} PROPERTIES INSTALL_RPATH "$ORIGIN/..")
      install(TARGETS ${t} LIBRARY DESTINATION ${QUILLON_INSTALL_PLUGINDIR} PERMISSIONS ${lib_permissions})
    else()
      set_target_properties(${t} PROPERTIES INSTALL_RPATH "$ORIGIN")
      install(TARGETS ${t} LIBRARY DESTINATION ${QUILLON_INSTALL_LIBDIR} PERMISSIONS ${lib_permissions})
    endif()
  endforeach()
endforeach()

install(DIRECTORY ${CMAKE_SOURCE_DIR}/etc/mib/ DESTINATION ${QUILLON_INSTALL_DATADIR}/mib
        FILES_MATCHING PATTERN "*.mib")
install(DIRECTORY ${CMAKE_SOURCE_DIR}/doc/help/ DESTINATION ${QUILLON_INSTALL_DATADIR}/help)

# Desktop integration. The icon's PNG sizes are rendered from the SVG.
set(QUILLON_APP_ID org.example.quillon)
install(FILES ${CMAKE_SOURCE_DIR}/share/${QUILLON_APP_ID}.desktop DESTINATION share/applications)
configure_file(${CMAKE_SOURCE_DIR}/share/${QUILLON_APP_ID}.metainfo.xml.in
               ${CMAKE_BINARY_DIR}/share/${QUILLON_APP_ID}.metainfo.xml @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/share/${QUILLON_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${CMAKE_SOURCE_DIR}/share/quillon.svg DESTINATION share/icons/hicolor/scalable/apps)

find_program(RSVG_CONVERT rsvg-convert)
find_program(GZIP_PROGRAM gzip)
if(NOT RSVG_CONVERT OR NOT GZIP_PROGRAM)
  message(WARNING "rsvg-convert (librsvg2-bin) or gzip missing: cmake --install will lack the PNG icons and the compressed docs")
else()
  set(generated)
  foreach(size 48 128)
    set(png ${CMAKE_BINARY_DIR}/share/icons/${size}/quillon.png)
    add_custom_command(OUTPUT ${png}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/share/icons/${size}
      COMMAND ${RSVG_CONVERT} -w ${size} -h ${size} -o ${png} ${CMAKE_SOURCE_DIR}/share/quillon.svg
      DEPENDS ${CMAKE_SOURCE_DIR}/share/quillon.svg VERBATIM)
    install(FILES ${png} DESTINATION share/icons/hicolor/${size}x${size}/apps)
    list(APPEND generated ${png})
  endforeach()
  # Compressed without a time stamp, so the package is reproducible.
  configure_file(${CMAKE_SOURCE_DIR}/doc/package/changelog.in ${CMAKE_BINARY_DIR}/share/changelog @ONLY)
  configure_file(${CMAKE_SOURCE_DIR}/doc/package/quillon.1.in ${CMAKE_BINARY_DIR}/share/quillon.1 @ONLY)
  foreach(f changelog quillon.1)
    add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/share/${f}.gz
      COMMAND ${GZIP_PROGRAM} -9nkf ${CMAKE_BINARY_DIR}/share/${f}
      DEPENDS ${CMAKE_BINARY_DIR}/share/${f} VERBATIM)
    list(APPEND generated ${CMAKE_BINARY_DIR}/share/${f}.gz)
  endforeach()
  add_custom_target(quillon_install_files ALL DEPENDS ${generated})
  add_dependencies(quillon_installables quillon_install_files)
  install(FILES ${CMAKE_BINARY_DIR}/share/changelog.gz DESTINATION share/doc/quillon)
  install(FILES ${CMAKE_BINARY_DIR}/share/quillon.1.gz DESTINATION share/man/man1)
endif()
install(FILES ${CMAKE_SOURCE_DIR}/doc/package/copyright DESTINATION share/doc/quillon)
