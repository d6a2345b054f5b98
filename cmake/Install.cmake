# Installation and the Debian package.
#
# Layout under the prefix:
#   bin/        viewer, tessap (and tessap32, a link to it), hvtool
#   lib*/       libhalvorcore.so, libTarnwick.so (found through the programs'
#               run path, relative to bin/)
#   share/halvor/  the shipped data files (tag tables, d1.cal): the programs
#               look for them in ../share/halvor/ beside their own folder
#   share/applications, icons, mime/packages, thumbnailers: desktop integration
#
# Targets of other parts of the tree are installed when they exist.
include(GNUInstallDirs)

set(HV_INSTALL_DATADIR ${CMAKE_INSTALL_DATADIR}/halvor)
file(RELATIVE_PATH hv_bin_to_lib ${CMAKE_INSTALL_FULL_BINDIR} ${CMAKE_INSTALL_FULL_LIBDIR})
set(HV_INSTALL_RPATH "$ORIGIN/${hv_bin_to_lib}")

foreach(program viewer tessap hvtool)
  if(TARGET ${program})
    set_target_properties(${program} PROPERTIES INSTALL_RPATH "${HV_INSTALL_RPATH}")
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
if(TARGET tessap)
  # The viewer's local print command is "tessap32".
  install(CODE "file(CREATE_LINK tessap \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/tessap32\" SYMBOLIC)")
endif()
foreach(library halvorcore Tarnwick)
  if(TARGET ${library})
    set_target_properties(${library} PROPERTIES INSTALL_RPATH "$ORIGIN")
    install(TARGETS ${library} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
  endif()
endforeach()

install(FILES ${hv_shipped_data} DESTINATION ${HV_INSTALL_DATADIR})
set(hv_desktop_data ${PROJECT_SOURCE_DIR}/desktop/data)
install(FILES ${hv_desktop_data}/halvor-viewer.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${hv_desktop_data}/halvor-viewer.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES ${hv_desktop_data}/halvor-viewer.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages)
install(FILES ${hv_desktop_data}/halvor-viewer.thumbnailer DESTINATION ${CMAKE_INSTALL_DATADIR}/thumbnailers)

if(HV_BUILD_TESTS)
  # Installs the tree into a scratch DESTDIR and checks the desktop files,
  # the MIME types and the thumbnailer there.
  add_test(NAME install_desktop_integration
    COMMAND sh ${PROJECT_SOURCE_DIR}/tests/install/install_test.sh ${PROJECT_BINARY_DIR} ${PROJECT_SOURCE_DIR})
  set_tests_properties(install_desktop_integration PROPERTIES TIMEOUT 300)
endif()

# The Debian package (scripts/package.sh).
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME halvor-viewer)
set(CPACK_PACKAGE_VENDOR "Halvor")
set(CPACK_PACKAGE_CONTACT "Halvor Viewer developers <halvor-viewer@localhost>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Viewer for scanned engineering drawings (CALS, TIFF Group 4, EDMICS)")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# dpkg-shlibdeps follows the programs' relative run path into the package's
# own tree, so the package's libraries need no dependency of their own.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# xdg-utils for launching and file associations; the MIME database, desktop
# menu and icon caches are refreshed by their own packages' triggers.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils, shared-mime-info")
include(CPack)
