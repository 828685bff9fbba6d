# What `cmake --install` puts in place: the shared library, the headers a host
# needs, the CMake package (vokdll::vokdll), the pkg-config file and vokrec.
include(CMakePackageConfigHelpers)

# The headers hosts include; everything they include from src/ is installed
# with them (found by following their #include "..." lines), each under
# include/vokdll/<subsystem>/. Headers not reached stay private.
set(VOK_PUBLIC_HEADERS
  record/DlgRecord.h record/RecordingAnalysis.h record/SoftChannels.h record/ItemList.h
  capture/Buttons.h capture/WaveInButtons.h capture/RecorderButtons.h
  capture/WavWriter.h capture/WavReader.h
  channels/SoftChanWave8.h channels/SoftChanLE.h
  graph/Axis.h graph/AxisDraw.h graph/Graph.h graph/GraphWnd.h graph/CounterWnd.h
  platform/Application.h platform/AudioSystem.h platform/FileDialogs.h platform/WaveIn.h
  platform/QtNotices.h support/AppPaths.h)

function(vok_header_closure out)
  set(todo ${ARGN})
  set(seen)
  while(todo)
    list(POP_FRONT todo h)
    if(h IN_LIST seen)
      continue()
    endif()
    if(NOT EXISTS ${CMAKE_SOURCE_DIR}/src/${h})
      message(FATAL_ERROR "public header src/${h} does not exist")
    endif()
    list(APPEND seen ${h})
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/${h})
    file(STRINGS ${CMAKE_SOURCE_DIR}/src/${h} _lines REGEX "^[ \t]*#[ \t]*include[ \t]*\"")
    foreach(line IN LISTS _lines)
      string(REGEX REPLACE "^[ \t]*#[ \t]*include[ \t]*\"([^\"]+)\".*" "\\1" inc "${line}")
      list(APPEND todo ${inc})
    endforeach()
  endwhile()
  list(SORT seen)
  set(${out} ${seen} PARENT_SCOPE)
endfunction()
vok_header_closure(VOK_INSTALLED_HEADERS ${VOK_PUBLIC_HEADERS})

foreach(h IN LISTS VOK_INSTALLED_HEADERS)
  get_filename_component(dir ${h} DIRECTORY)
  install(FILES ${CMAKE_SOURCE_DIR}/src/${h}
          DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/vokdll/${dir} COMPONENT dev)
endforeach()

install(TARGETS vokdll EXPORT vokdllTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT runtime NAMELINK_COMPONENT dev)
install(TARGETS vokrec RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT program)

# The manual, compressed as Debian installs manuals (-n: no name or time in it).
add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/vokrec.1.gz
  COMMAND gzip -9nc ${CMAKE_SOURCE_DIR}/docs/vokrec.1 > ${CMAKE_BINARY_DIR}/vokrec.1.gz
  DEPENDS ${CMAKE_SOURCE_DIR}/docs/vokrec.1)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/org.vokdll.vokrec.desktop
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications COMPONENT program)
install(FILES ${CMAKE_SOURCE_DIR}/packaging/org.vokdll.vokrec.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/metainfo COMPONENT program)
add_custom_target(vokrec_man ALL DEPENDS ${CMAKE_BINARY_DIR}/vokrec.1.gz)
install(FILES ${CMAKE_BINARY_DIR}/vokrec.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1
  COMPONENT program)

set(VOK_CMAKE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/vokdll)
install(EXPORT vokdllTargets NAMESPACE vokdll:: DESTINATION ${VOK_CMAKE_DIR} COMPONENT dev)
configure_package_config_file(${CMAKE_SOURCE_DIR}/cmake/vokdllConfig.cmake.in
  ${CMAKE_BINARY_DIR}/vokdllConfig.cmake INSTALL_DESTINATION ${VOK_CMAKE_DIR})
write_basic_package_version_file(${CMAKE_BINARY_DIR}/vokdllConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/vokdllConfig.cmake ${CMAKE_BINARY_DIR}/vokdllConfigVersion.cmake
  DESTINATION ${VOK_CMAKE_DIR} COMPONENT dev)

# The .pc file names the prefix given at install time (cmake --install
# --prefix, or /usr in the packages), so a staged install works as well.
set(VOK_PC_PREFIX "@VOK_PC_PREFIX@") # kept for the install step
configure_file(${CMAKE_SOURCE_DIR}/cmake/vokdll.pc.in ${CMAKE_BINARY_DIR}/vokdll.pc.in @ONLY)
install(CODE "
  set(VOK_PC_PREFIX \"\${CMAKE_INSTALL_PREFIX}\")
  configure_file(\"${CMAKE_BINARY_DIR}/vokdll.pc.in\" \"${CMAKE_BINARY_DIR}/vokdll.pc\" @ONLY)
  " COMPONENT dev)
install(FILES ${CMAKE_BINARY_DIR}/vokdll.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev)

# Checks of what is installed: no Qt or PortAudio header outside src/platform,
# the exported symbols, the manual against the program's help, and hosts built against a staged install (not under
# the sanitizers, which the examples are not built with).
if(NOT VOK_BUILD_TESTS)
  return()
endif()
add_test(NAME Install.PlatformIncludes
  COMMAND ${CMAKE_SOURCE_DIR}/tests/install/platform-includes.sh ${CMAKE_SOURCE_DIR})
add_test(NAME Install.ExportedSymbols
  COMMAND ${CMAKE_SOURCE_DIR}/tests/install/exported-symbols.sh $<TARGET_FILE:vokdll>)
add_test(NAME Install.ManualOptions
  COMMAND ${CMAKE_SOURCE_DIR}/tests/install/manual-options.sh $<TARGET_FILE:vokrec>
          ${CMAKE_SOURCE_DIR}/docs/vokrec.1)
if(NOT VOK_SANITIZE)
  add_test(NAME Install.HostExamples
    COMMAND ${CMAKE_SOURCE_DIR}/tests/install/host-examples.sh ${CMAKE_SOURCE_DIR} ${CMAKE_BINARY_DIR})
  set_tests_properties(Install.HostExamples PROPERTIES TIMEOUT 300)
endif()
