# Resources of a Windows program: the version information, a manifest, and the
# program icon "AAA" rendered from its SVG source at 16 to 256 pixels.
find_program(NORVALE_CONVERT convert)
if(NOT NORVALE_CONVERT)
  message(FATAL_ERROR "ImageMagick's convert is needed to render the program icons")
endif()

set(NORVALE_COMPANY "Norvale Labs")
set(NORVALE_WEBSITE "https://norvale.example/")

function(norvale_program_resources target)
  cmake_parse_arguments(ARG "" "NAME;PRODUCT;DESCRIPTION;ICON_SVG;MANIFEST" "" ${ARGN})
  set(out ${CMAKE_CURRENT_BINARY_DIR}/${target}_res)
  file(MAKE_DIRECTORY ${out})
  add_custom_command(
    OUTPUT ${out}/AAA.ico
    COMMAND ${NORVALE_CONVERT} -background none -density 384 ${ARG_ICON_SVG}
            -define icon:auto-resize=256,48,32,24,16 ${out}/AAA.ico
    DEPENDS ${ARG_ICON_SVG}
    COMMENT "Rendering the icon of ${ARG_NAME}"
    VERBATIM)
  set(RC_NAME ${ARG_NAME})
  set(RC_PRODUCT ${ARG_PRODUCT})
  set(RC_DESCRIPTION ${ARG_DESCRIPTION})
  set(NORVALE_MANIFEST ${ARG_MANIFEST})
  configure_file(${CMAKE_SOURCE_DIR}/apps/norvale/norvale.rc.in ${out}/${target}.rc @ONLY)
  set_source_files_properties(${out}/${target}.rc PROPERTIES
      OBJECT_DEPENDS "${out}/AAA.ico;${ARG_MANIFEST}")
  target_sources(${target} PRIVATE ${out}/${target}.rc)
  target_include_directories(${target} PRIVATE ${out})
endfunction()
