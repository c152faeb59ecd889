# What a musician installs, by `cmake --build <tree> --target package` (CPack):
#   win32 tree:   QVChordShaper-<version>-win32.zip: the module, the user's guide as one HTML
#                 file with its pictures inside, the licence and how to install
# Every name carries the project's one version.
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "The QV Chord Shaper developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "revoices the chords of MusicXML scores")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_OUTPUT_FILE_PREFIX ${CMAKE_BINARY_DIR})

# The user's guide as one HTML file: pandoc embeds its notation and the tool window's picture,
# so the file reads the same wherever it is copied.
function(qv_guide_html out)
  find_program(QV_PANDOC pandoc)
  if(NOT QV_PANDOC)
    install(CODE "message(FATAL_ERROR \"the user's guide needs pandoc to become one HTML file: \"
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
  qv_guide_html(${guide})
  install(FILES $<TARGET_FILE:QVChordShaper> DESTINATION .)
  configure_file(${CMAKE_SOURCE_DIR}/docs/plugin-readme.txt ${CMAKE_BINARY_DIR}/README.txt @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/README.txt DESTINATION .)
  install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
  install(FILES ${guide} DESTINATION . OPTIONAL)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME QVChordShaper-${PROJECT_VERSION}-win32)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
endif()
include(CPack)
