# qcp_tool(<Name>
#   AREA <window|system|media|text>      folder under tools/ and tests/tools/
#   SOURCES <files>                      the tool's file (and its helpers)
#   PLATFORM <concerns>                  platform concerns beyond "console"
#   [PRODUCT <constant>]                 product name, if not the pack's: a
#                                        constant of tools/products.h
#   [RESOURCES <file>]                   extra resource-script lines (icons)
#   [VISUAL_STYLES])                     manifest asks for common controls 6
#
# Called for each tool its file declares (cmake/tool_declarations.cmake),
# whose texts it takes from the declaration's QCP_TOOL_<Name>_* properties.
# Builds bin/<Name> (bin/<Name>.exe on Windows), whose entry is the
# qcp::entries::k<Name> its sources define. The tool's own sources are an
# object library, so the in-process tests link exactly the same objects.

# The product names, read from the one header the code uses too.
file(STRINGS ${CMAKE_SOURCE_DIR}/tools/products.h qcp_product_lines REGEX "^inline constexpr .* k[A-Za-z]+Product = u\"")
foreach(line ${qcp_product_lines})
  string(REGEX MATCH "(k[A-Za-z]+Product) = u\"([^\"]*)\"" unused "${line}")
  set(QCP_PRODUCT_${CMAKE_MATCH_1} "${CMAKE_MATCH_2}")
endforeach()

set(QCP_VERSION_COMMAS "${PROJECT_VERSION_MAJOR},${PROJECT_VERSION_MINOR},${PROJECT_VERSION_PATCH},0")

function(qcp_tool NAME)
  cmake_parse_arguments(ARG "VISUAL_STYLES" "AREA;PRODUCT;RESOURCES" "SOURCES;PLATFORM" ${ARGN})
  foreach(text DESCRIPTION ABOUT EXAMPLES BATCH_EXAMPLE)
    get_property(ARG_${text} GLOBAL PROPERTY QCP_TOOL_${NAME}_${text})
  endforeach()
  if(NOT ARG_PRODUCT)
    set(ARG_PRODUCT kPackProduct)
  endif()
  if(NOT DEFINED QCP_PRODUCT_${ARG_PRODUCT})
    message(FATAL_ERROR "qcp_tool(${NAME}): ${ARG_PRODUCT} is not a product of tools/products.h")
  endif()

  # Tools declared in one file (the pane tools, the wave pair) share one
  # object library: it holds each one's entry, and the program picks its own.
  string(MAKE_C_IDENTIFIER "${ARG_AREA} ${ARG_SOURCES}" sources_id)
  get_property(objects GLOBAL PROPERTY QCP_OBJECTS_${sources_id})
  if(NOT objects)
    set(objects qcp_tool_${NAME})
    add_library(${objects} OBJECT ${ARG_SOURCES})
    set_property(GLOBAL PROPERTY QCP_OBJECTS_${sources_id} ${objects})
    set_property(GLOBAL APPEND PROPERTY QCP_AREA_${ARG_AREA}_OBJECTS ${objects})
  endif()
  set_property(GLOBAL APPEND PROPERTY QCP_AREA_${ARG_AREA}_TOOLS ${NAME})
  set_property(GLOBAL APPEND PROPERTY QCP_ALL_TOOLS ${NAME})

  set(QCP_TOOL_NAME ${NAME})
  set(main ${CMAKE_BINARY_DIR}/generated/${NAME}_main.cc)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/tool_main.cc.in ${main} @ONLY)
  set(sources ${main})
  if(QCP_GNU_RUNTIME_TRIM)
    # An object of its own, so it wins over the library's definition.
    list(APPEND sources ${CMAKE_SOURCE_DIR}/tools/gnu_runtime.cc)
  endif()

  if(WIN32)
    set(QCP_PRODUCT "${QCP_PRODUCT_${ARG_PRODUCT}}")
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

  add_executable(${NAME} ${sources} $<TARGET_OBJECTS:${objects}>)
  target_link_libraries(${NAME} PRIVATE qcp_entry)
  set(static ON)
  # Its package is the one of the heaviest libraries its concerns need.
  set(package console)
  foreach(concern console ${ARG_PLATFORM})
    target_link_libraries(${NAME} PRIVATE qcp_platform_${concern})
    get_target_property(capable qcp_platform_${concern} QCP_STATIC_CAPABLE)
    if(NOT capable)
      set(static OFF)
    endif()
    get_target_property(needs qcp_platform_${concern} QCP_PACKAGE)
    if(needs STREQUAL "media" OR (needs STREQUAL "windows" AND package STREQUAL "console"))
      set(package ${needs})
    endif()
  endforeach()

  if(NOT WIN32 AND NOT QCP_SANITIZE AND QCP_STATIC)
    # Console tools that need nothing beyond libc and Xlib link fully static:
    # they start as fast as a static C program. The others load the desktop
    # and media libraries, which exist only as shared objects.
    if(static)
      target_link_options(${NAME} PRIVATE -static)
    else()
      target_link_options(${NAME} PRIVATE -static-libstdc++ -static-libgcc)
    endif()
  endif()
  install(TARGETS ${NAME} RUNTIME DESTINATION ${QCP_INSTALL_BINDIR} COMPONENT ${package})

  if(NOT WIN32)
    # The manual page, from the program's own help screen: built with it.
    string(SUBSTRING "${ARG_DESCRIPTION}" 0 1 first)
    string(TOLOWER "${first}" first)
    string(SUBSTRING "${ARG_DESCRIPTION}" 1 -1 rest)
    set(page ${CMAKE_BINARY_DIR}/man/${NAME}.1.gz)
    # Texts go through a file: they may hold semicolons and quotes.
    set(info ${CMAKE_BINARY_DIR}/man/${NAME}.cmake)
    list(TRANSFORM ARG_SOURCES PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/ OUTPUT_VARIABLE declared_in)
    file(WRITE ${info} "set(NAME_LINE [==[${first}${rest}]==])\nset(ABOUT [==[${ARG_ABOUT}]==])\n"
                       "set(EXAMPLES [==[${ARG_EXAMPLES}]==])\nset(BATCH_EXAMPLE [==[${ARG_BATCH_EXAMPLE}]==])\n"
                       "set(AREA ${ARG_AREA})\nset(VERSION ${PROJECT_VERSION})\nset(SOURCES [==[${declared_in}]==])\n"
                       "set(PLATFORM ${ARG_PLATFORM})\n")
    add_custom_command(OUTPUT ${page}
      COMMAND ${CMAKE_COMMAND} -DTOOL=${NAME} -DPROGRAM=$<TARGET_FILE:${NAME}> -DINFO=${info} -DOUTPUT=${page}
              -P ${CMAKE_SOURCE_DIR}/cmake/tool_manual.cmake
      DEPENDS ${NAME} ${info} ${CMAKE_SOURCE_DIR}/cmake/tool_manual.cmake
              ${CMAKE_SOURCE_DIR}/cmake/roff_text.cmake ${CMAKE_SOURCE_DIR}/cmake/release_date.cmake
              ${CMAKE_SOURCE_DIR}/debian/changelog
      VERBATIM)
    add_custom_target(${NAME}_manual ALL DEPENDS ${page})
    # Uncompressed: the Debian build compresses pages its own way.
    install(FILES ${CMAKE_BINARY_DIR}/man/${NAME}.1 DESTINATION share/man/man1 COMPONENT ${package})
  endif()
endfunction()
