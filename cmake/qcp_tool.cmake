# qcp_tool(<Name>
#   AREA <window|system|media|text>      folder under tools/ and tests/tools/
#   SOURCES <files>                      the tool's modStartup (and forms)
#   PLATFORM <concerns>                  platform concerns beyond "console"
#   DESCRIPTION <text>                   file description of the version resource
#   [PRODUCT <text>]                     product name, if not the pack's
#   [EVENT_LOOP]                         runs the window message loop after Main
#                                        (and links the event_loop concern)
#   [RESOURCES <file>]                   extra resource-script lines (icons)
#   [VISUAL_STYLES])                     manifest asks for common controls 6
#
# Builds bin/<Name> (bin/<Name>.exe on Windows). The tool's own sources are an
# object library, so the in-process tests link exactly the same objects.

set(QCP_VERSION_COMMAS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")

function(qcp_tool NAME)
  cmake_parse_arguments(ARG "EVENT_LOOP;VISUAL_STYLES" "AREA;DESCRIPTION;PRODUCT;RESOURCES" "SOURCES;PLATFORM" ${ARGN})
  if(NOT ARG_PRODUCT)
    set(ARG_PRODUCT "Quorvex Command Pack")
  endif()

  add_library(qcp_tool_${NAME} OBJECT ${ARG_SOURCES})
  set_property(GLOBAL APPEND PROPERTY QCP_AREA_${ARG_AREA}_TOOLS ${NAME})
  set_property(GLOBAL APPEND PROPERTY QCP_ALL_TOOLS ${NAME})
  if(ARG_EVENT_LOOP)
    list(APPEND ARG_PLATFORM event_loop)
  endif()

  set(QCP_TOOL_NAME ${NAME})
  if(ARG_EVENT_LOOP)
    set(QCP_LOOP_INCLUDE "#include \"platform/event_loop.h\"")
    set(QCP_LOOP "&platform::RunMessageLoop")
  else()
    set(QCP_LOOP_INCLUDE "")
    set(QCP_LOOP "nullptr")
  endif()
  set(main ${CMAKE_BINARY_DIR}/generated/${NAME}_main.cc)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/tool_main.cc.in ${main} @ONLY)
  set(sources ${main})
  if(QCP_GNU_RUNTIME_TRIM)
    # An object of its own, so it wins over the library's definition.
    list(APPEND sources ${CMAKE_SOURCE_DIR}/cmake/gnu_runtime.cc)
  endif()

  if(WIN32)
    set(QCP_PRODUCT "${ARG_PRODUCT}")
    set(QCP_DESCRIPTION "${ARG_DESCRIPTION}")
    if(ARG_VISUAL_STYLES)
      set(QCP_MANIFEST "${CMAKE_SOURCE_DIR}/cmake/windowed.manifest")
    else()
      set(QCP_MANIFEST "${CMAKE_SOURCE_DIR}/cmake/console.manifest")
    endif()
    set(QCP_EXTRA_RESOURCES "")
    if(ARG_RESOURCES)
      file(READ ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_RESOURCES} QCP_EXTRA_RESOURCES)
      string(REPLACE "@DIR@" "${CMAKE_CURRENT_SOURCE_DIR}" QCP_EXTRA_RESOURCES "${QCP_EXTRA_RESOURCES}")
    endif()
    set(rc ${CMAKE_BINARY_DIR}/generated/${NAME}.rc)
    configure_file(${CMAKE_SOURCE_DIR}/cmake/version.rc.in ${rc} @ONLY)
    list(APPEND sources ${rc})
  endif()

  add_executable(${NAME} ${sources} $<TARGET_OBJECTS:qcp_tool_${NAME}> $<TARGET_OBJECTS:qcp_entry>)
  target_link_libraries(${NAME} PRIVATE qcp_console)
  set(static ON)
  foreach(concern console ${ARG_PLATFORM})
    target_link_libraries(${NAME} PRIVATE qcp_platform_${concern})
    get_target_property(capable qcp_platform_${concern} QCP_STATIC_CAPABLE)
    if(NOT capable)
      set(static OFF)
    endif()
  endforeach()

  if(NOT WIN32 AND NOT QCP_SANITIZE)
    # Console tools that need nothing beyond libc and Xlib link fully static:
    # they start as fast as a static C program. The others load the desktop
    # and media libraries, which exist only as shared objects.
    if(static)
      target_link_options(${NAME} PRIVATE -static)
    else()
      target_link_options(${NAME} PRIVATE -static-libstdc++ -static-libgcc)
    endif()
  endif()
  install(TARGETS ${NAME} RUNTIME DESTINATION ${QCP_INSTALL_BINDIR})
endfunction()
