# The help file Help.chm, compiled from help/*.hhp with chmcmd (Debian package fp-utils).
#
#   include(${CMAKE_SOURCE_DIR}/cmake/help.cmake)
#   norvale_add_help(Norvale OUTPUT_DIR ${NORVALE_PROGRAM_DIR})
#
# adds a custom command that writes <OUTPUT_DIR>/Help.chm and a target <target>_help that the
# given target depends on. OUTPUT_DIR may be a generator expression; it defaults to the
# target's own folder, where the program looks for its help. SOURCE_DIR defaults to the
# tree's help/ folder. The file's path is left in the target's property NORVALE_HELP_FILE.
#
# The same file is also the build step itself, run as `cmake -P help.cmake` with -D values.

if(CMAKE_SCRIPT_MODE_FILE)
  # ---- the build step: HHP, STAGING, OUTPUT -------------------------------------------------
  foreach(var HHP STAGING OUTPUT)
    if(NOT DEFINED ${var})
      message(FATAL_ERROR "help.cmake: -D${var}=... is missing")
    endif()
  endforeach()
  find_program(CHMCMD chmcmd)
  if(NOT CHMCMD)
    message(FATAL_ERROR "chmcmd was not found; install the Debian package fp-utils")
  endif()

  # A failed build must not leave the previous help file looking current.
  file(REMOVE "${OUTPUT}")
  # chmcmd writes next to the project file, so it works on a copy in the build tree, never
  # in the sources; a fresh copy also keeps a deleted page from lingering in the file.
  get_filename_component(source_dir "${HHP}" DIRECTORY)
  get_filename_component(hhp_name "${HHP}" NAME)
  file(REMOVE_RECURSE "${STAGING}")
  file(MAKE_DIRECTORY "${STAGING}")
  file(GLOB sources LIST_DIRECTORIES false "${source_dir}/*")
  file(COPY ${sources} DESTINATION "${STAGING}")

  file(STRINGS "${STAGING}/${hhp_name}" compiled REGEX "^[Cc]ompiled [Ff]ile=")
  list(LENGTH compiled count)
  if(NOT count EQUAL 1)
    message(FATAL_ERROR "${HHP} must name exactly one 'Compiled file='")
  endif()
  string(REGEX REPLACE "^[^=]*=[ \t]*" "" compiled "${compiled}")
  string(STRIP "${compiled}" compiled)
  set(chm "${STAGING}/${compiled}")

  execute_process(
    COMMAND "${CHMCMD}" "${hhp_name}"
    WORKING_DIRECTORY "${STAGING}"
    RESULT_VARIABLE rc
    OUTPUT_VARIABLE out
    ERROR_VARIABLE err)
  set(log "${out}${err}")
  # chmcmd exits 0 with no output for a project it cannot find, and a failing run can leave
  # a partial file behind: the exit code, the messages and the file are all checked.
  if(NOT rc STREQUAL "0")
    message(FATAL_ERROR "chmcmd failed (exit ${rc}):\n${log}")
  endif()
  # Its warnings are about pages or pictures that the project or a link names but the
  # sources lack: a help file with broken links is a failed build too.
  if(log MATCHES "[Ww]arning|[Ee]rror|exception")
    message(FATAL_ERROR "chmcmd reported problems:\n${log}")
  endif()
  if(NOT EXISTS "${chm}")
    message(FATAL_ERROR "chmcmd produced no ${compiled}:\n${log}")
  endif()
  file(SIZE "${chm}" size)
  file(READ "${chm}" magic LIMIT 4 HEX)
  if(size LESS 1024 OR NOT magic STREQUAL "49545346")  # "ITSF"
    message(FATAL_ERROR "${chm} is no CHM file (${size} bytes, starts with hex ${magic})")
  endif()

  get_filename_component(output_dir "${OUTPUT}" DIRECTORY)
  file(MAKE_DIRECTORY "${output_dir}")
  file(COPY_FILE "${chm}" "${OUTPUT}")
  return()
endif()

# ---- the CMake function --------------------------------------------------------------------
set(NORVALE_HELP_CMAKE "${CMAKE_CURRENT_LIST_FILE}")
get_filename_component(NORVALE_HELP_SOURCE_DIR "${CMAKE_CURRENT_LIST_DIR}/../help" ABSOLUTE)

function(norvale_add_help target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "OUTPUT_DIR;SOURCE_DIR" "")
  if(arg_UNPARSED_ARGUMENTS)
    message(FATAL_ERROR "norvale_add_help: unknown arguments ${arg_UNPARSED_ARGUMENTS}")
  endif()
  if(NOT TARGET ${target})
    message(FATAL_ERROR "norvale_add_help: ${target} is no target")
  endif()
  if(NOT arg_SOURCE_DIR)
    set(arg_SOURCE_DIR "${NORVALE_HELP_SOURCE_DIR}")
  endif()
  if(NOT arg_OUTPUT_DIR)
    set(arg_OUTPUT_DIR "$<TARGET_FILE_DIR:${target}>")
  endif()

  file(GLOB hhp LIST_DIRECTORIES false "${arg_SOURCE_DIR}/*.hhp")
  list(LENGTH hhp count)
  if(NOT count EQUAL 1)
    message(FATAL_ERROR "norvale_add_help: ${arg_SOURCE_DIR} must hold exactly one .hhp file")
  endif()
  # Every file of the folder goes into the staging copy, so every one is a dependency;
  # CONFIGURE_DEPENDS notices a page that is added or removed.
  file(GLOB sources LIST_DIRECTORIES false CONFIGURE_DEPENDS "${arg_SOURCE_DIR}/*")

  set(staging "${CMAKE_CURRENT_BINARY_DIR}/${target}_help")
  set(output "${arg_OUTPUT_DIR}/Help.chm")
  set(compile "${CMAKE_COMMAND}" "-DHHP=${hhp}" "-DSTAGING=${staging}" "-DOUTPUT=${output}"
              -P "${NORVALE_HELP_CMAKE}")
  if(arg_OUTPUT_DIR MATCHES "\\$<")
    # A custom command's output may not name a target's folder: a stamp stands for the
    # file there (a deleted Help.chm then needs the stamp deleted too, or a clean build).
    set(built "${staging}.stamp")
    add_custom_command(
      OUTPUT "${built}"
      COMMAND ${compile}
      COMMAND "${CMAKE_COMMAND}" -E touch "${built}"
      DEPENDS ${sources} "${NORVALE_HELP_CMAKE}"
      COMMENT "Compiling the help file Help.chm"
      VERBATIM)
  else()
    set(built "${output}")
    add_custom_command(
      OUTPUT "${built}"
      COMMAND ${compile}
      DEPENDS ${sources} "${NORVALE_HELP_CMAKE}"
      COMMENT "Compiling the help file ${output}"
      VERBATIM)
  endif()
  add_custom_target(${target}_help DEPENDS "${built}")
  add_dependencies(${target} ${target}_help)
  set_property(TARGET ${target} PROPERTY NORVALE_HELP_FILE "${output}")
endfunction()
