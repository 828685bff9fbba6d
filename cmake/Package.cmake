# Debian packages made by `cpack` (scripts/package):
#   libvokdll1     the shared library
#   libvokdll-dev  headers, CMake package, pkg-config file
#   vokrec         the program, its manual, desktop entry and AppStream metainfo
# Dependencies on system libraries are computed by dpkg-shlibdeps; the
# packages depend on libvokdll1 of the same version.
set(CPACK_GENERATOR DEB)
set(CPACK_VERBATIM_VARIABLES ON)
set(CPACK_PACKAGE_NAME vokdll)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "vokdll developers <vokdll@example.org>" CACHE STRING "Package maintainer")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "recording of short spoken items")
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runtime dev program)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_RELEASE 1)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# vokrec needs libvokdll.so.1, which is in no installed package yet: it is
# found in the build, and the dependency on libvokdll1 comes from the
# component dependencies below.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR})
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_STRIP_FILES ON)
set(CPACK_COMPONENT_DEV_DEPENDS runtime)
set(CPACK_COMPONENT_PROGRAM_DEPENDS runtime)

set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME libvokdll1)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION libs)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# ldconfig runs through a dpkg trigger, as Debian asks of shared libraries.
set(CPACK_DEBIAN_RUNTIME_PACKAGE_CONTROL_EXTRA ${CMAKE_SOURCE_DIR}/packaging/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")
set(CPACK_COMPONENT_RUNTIME_DESCRIPTION "recording of short spoken items - shared library
 The \"Record Item\" dialog records a list of short spoken items one after
 another: it finds the spoken part of each recording, shows it in a level
 curve with movable markers, plays it and saves it as a WAV file named after
 the item. The library also exports its capture engine, sample channels,
 graph and counter windows and WAV writer for hosts that use them alone.")

set(CPACK_DEBIAN_DEV_PACKAGE_NAME libvokdll-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_COMPONENT_DEV_DESCRIPTION "recording of short spoken items - development files
 Headers, the CMake package (find_package(vokdll), target vokdll::vokdll)
 and the pkg-config file of libvokdll, the library of the \"Record Item\"
 dialog and its capture, channel, graph and WAV-writing classes.")

set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME vokrec)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SECTION sound)
set(CPACK_COMPONENT_PROGRAM_DESCRIPTION "record lists of short spoken items into WAV files
 vokrec opens the \"Record Item\" dialog for a list of items: record each
 one, see the spoken part marked in a level curve, play it and save it as a
 WAV file named after the item. It also analyses WAV files without a window
 and lists the sound devices.")

# Each package carries its copyright and changelog, as Debian requires.
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/changelog.Debian.gz
  COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/packaging/changelog > ${CMAKE_BINARY_DIR}/changelog.Debian.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/packaging/changelog)
add_custom_target(vok_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/changelog.Debian.gz)
foreach(comp runtime dev program)
  string(TOUPPER ${comp} COMP)
  install(FILES ${CMAKE_SOURCE_DIR}/packaging/copyright ${CMAKE_BINARY_DIR}/changelog.Debian.gz
    DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${CPACK_DEBIAN_${COMP}_PACKAGE_NAME}
    COMPONENT ${comp} EXCLUDE_FROM_ALL)
endforeach()

include(CPack)
