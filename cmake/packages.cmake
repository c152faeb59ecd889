# What a musician installs, by `cmake --build <tree> --target package` (CPack):
#   win32 tree:   QVChordShaper-<version>-win32.zip: the module, the user's guide as one HTML
#                 file with its pictures inside, the licence and how to install
#   native trees: qvchord_<version>_amd64.deb: the command, its plug-in module, the page when
#                 it was built, the manual page and the shell completions
# Every name carries the project's one version.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The QV Chord Shaper developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "revoices the chords of MusicXML scores")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})

# The user's guide as one HTML file: pandoc embeds its notation and the tool window's picture,
# so the file reads the same wherever it is copied.
# Without pandoc the archive stops (level FATAL_ERROR), a plain install goes on without the
# guide and says so (STATUS); the package's test finds it missing.
function(qv_guide_html out level)
  find_program(QV_PANDOC pandoc)
  if(NOT QV_PANDOC)
    install(CODE "message(${level} \"the user's guide needs pandoc to become one HTML file: \"
      \"apt-get install pandoc (tools/setup.sh lists it)\")")
    return()
  endif()
  file(GLOB pictures CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/docs/*.png
    ${CMAKE_SOURCE_DIR}/docs/notation/*.svg)
  add_custom_command(OUTPUT ${out}
    COMMAND ${QV_PANDOC} --from gfm --to html5 --standalone --self-contained
      --resource-path=${CMAKE_SOURCE_DIR}/docs
      "--metadata=pagetitle=QV Chord Shaper ${PROJECT_VERSION}: the user's guide"
      --output ${out} ${CMAKE_SOURCE_DIR}/docs/guide.md
    DEPENDS ${CMAKE_SOURCE_DIR}/docs/guide.md ${pictures}
    COMMENT "The user's guide as one HTML file" VERBATIM)
  add_custom_target(guide_html ALL DEPENDS ${out})
endfunction()

if(WIN32)
  set(guide ${CMAKE_BINARY_DIR}/guide.html)
  qv_guide_html(${guide} FATAL_ERROR)
  install(FILES $<TARGET_FILE:QVChordShaper> DESTINATION .)
  configure_file(${CMAKE_SOURCE_DIR}/docs/plugin-readme.txt ${CMAKE_BINARY_DIR}/README.txt @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/README.txt DESTINATION .)
  install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
  install(FILES ${guide} DESTINATION . OPTIONAL)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME QVChordShaper-${PROJECT_VERSION}-win32)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
else()
  set(guide ${CMAKE_BINARY_DIR}/guide.html)
  qv_guide_html(${guide} STATUS)
  install(FILES ${guide} DESTINATION share/doc/qvchord OPTIONAL)
  install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION share/doc/qvchord RENAME copyright)
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGE_NAME qvchord)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_STRIP_FILES ON)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT) # qvchord_<version>_<arch>.deb
  set(CPACK_DEBIAN_PACKAGE_SECTION sound)
  set(CPACK_DEBIAN_PACKAGE_MAINTAINER "The QV Chord Shaper developers <qvchord@example.org>")
  # the lines as the package shows them (80 columns)
  string(CONCAT CPACK_PACKAGE_DESCRIPTION
    "qvchord applies the chord tasks of the QV Chord Shaper plug-in (adding\n"
    "intervals, drop voicings, rotations, octave moves, voice leading over a\n"
    "progression, ...) to MusicXML and compressed MusicXML files, one at a time or\n"
    "whole folders, writing back only what changed. With Node.js it also serves the\n"
    "same tasks as a web page on this computer.")
  # Debian's changelog: the entries of CHANGELOG.md's section for this version, "- " items
  # as "  * " items.
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/CHANGELOG.md)
  file(READ ${CMAKE_SOURCE_DIR}/CHANGELOG.md changes)
  string(FIND "${changes}" "\n## ${PROJECT_VERSION}\n" start)
  if(start EQUAL -1)
    message(FATAL_ERROR "CHANGELOG.md has no section \"## ${PROJECT_VERSION}\"")
  endif()
  string(SUBSTRING "${changes}" ${start} -1 changes)
  string(REGEX REPLACE "^\n## [^\n]*\n\n?" "" changes "${changes}")
  string(FIND "${changes}" "\n## " end)
  string(SUBSTRING "${changes}" 0 ${end} changes)
  string(REPLACE "\n  " "\n    " changes "\n${changes}")
  string(REPLACE "\n- " "\n  * " changes "${changes}")
  string(REGEX REPLACE "\n+$" "" changes "${changes}")
  string(TIMESTAMP date "%a, %d %b %Y %H:%M:%S +0000" UTC)
  file(WRITE ${CMAKE_BINARY_DIR}/changelog "qvchord (${PROJECT_VERSION}) stable; urgency=medium\n\
${changes}\n\n -- ${CPACK_DEBIAN_PACKAGE_MAINTAINER}  ${date}\n")
  add_custom_command(OUTPUT ${CMAKE_BINARY_DIR}/changelog.gz
    COMMAND gzip -9nkf changelog WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    DEPENDS ${CMAKE_BINARY_DIR}/changelog)
  add_custom_target(debian_changelog ALL DEPENDS ${CMAKE_BINARY_DIR}/changelog.gz)
  install(FILES ${CMAKE_BINARY_DIR}/changelog.gz DESTINATION share/doc/qvchord OPTIONAL)
  # the libraries it links (libpugixml1v5, libzip4, ...) found by dpkg-shlibdeps
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_BINARY_DIR})
  set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "nodejs")
  set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
endif()
include(CPack)
