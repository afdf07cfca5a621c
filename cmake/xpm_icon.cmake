# qcp_icon_from_xpm(<xpm file> HEADER <file.h> SYMBOL <name> [RC <file.rc>])
#
# A window icon drawn as a 16 x 16 XPM (one character a pixel, colours
# "#RRGGBB" or "None"), so it can be reviewed as text and in any viewer.
# At configure time it becomes
#   HEADER  a C++ header with `inline constexpr std::uint32_t <SYMBOL>[256]`,
#           the pixels as 0xAARRGGBB, rows from the top;
#   RC      resource-script lines with the same picture as icon group 1:
#           one 256-colour image with its transparency mask, written as raw
#           RT_ICON (3) and RT_GROUP_ICON (14) data, so no binary .ico file
#           is involved.

function(qcp_icon_from_xpm XPM)
  cmake_parse_arguments(ARG "" "HEADER;SYMBOL;RC" "" ${ARGN})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${XPM})
  file(READ ${XPM} text)
  string(REGEX MATCHALL "\"[^\"]*\"" strings "${text}")
  list(TRANSFORM strings REPLACE "^\"(.*)\"$" "\\1")
  list(POP_FRONT strings values)
  string(REGEX MATCH "^([0-9]+) ([0-9]+) ([0-9]+) 1$" ok "${values}")
  if(NOT ok OR NOT CMAKE_MATCH_1 EQUAL 16 OR NOT CMAKE_MATCH_2 EQUAL 16)
    message(FATAL_ERROR "${XPM}: a 16 x 16 XPM with one character a pixel is needed")
  endif()
  set(count ${CMAKE_MATCH_3})

  # Colour table: character -> palette index and ARGB.
  set(palette "")
  set(index 0)
  foreach(i RANGE 1 ${count})
    list(POP_FRONT strings entry)
    string(SUBSTRING "${entry}" 0 1 key)
    if(entry MATCHES "c None$")
      # Black under a set mask bit: the screen shows through unchanged.
      set(argb 00000000)
      set(rgb 000000)
      set(transparent ${index})
    elseif(entry MATCHES "c #([0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f][0-9A-Fa-f])$")
      string(TOUPPER ${CMAKE_MATCH_1} rgb)
      set(argb FF${rgb})
    else()
      message(FATAL_ERROR "${XPM}: colour \"${entry}\" is not #RRGGBB or None")
    endif()
    set(key_hex "")
    string(HEX "${key}" key_hex)
    set(colour_${key_hex} ${index} ${argb} ${rgb})
    list(APPEND palette ${rgb})
    math(EXPR index "${index} + 1")
  endforeach()

  list(LENGTH strings row_count)
  if(NOT row_count EQUAL 16)
    message(FATAL_ERROR "${XPM}: 16 rows of pixels are needed")
  endif()

  # Pixels as indexes and ARGB, rows from the top.
  if(NOT DEFINED transparent)
    set(transparent -1)
  endif()
  set(argb_words "")
  set(rows_indexes "")
  set(row 0)
  foreach(line ${strings})
    string(LENGTH "${line}" length)
    if(NOT length EQUAL 16)
      message(FATAL_ERROR "${XPM}: row \"${line}\" is not 16 pixels")
    endif()
    set(row_indexes "")
    foreach(x RANGE 0 15)
      string(SUBSTRING "${line}" ${x} 1 key)
      string(HEX "${key}" key_hex)
      if(NOT DEFINED colour_${key_hex})
        message(FATAL_ERROR "${XPM}: pixel '${key}' has no colour")
      endif()
      list(GET colour_${key_hex} 0 pixel_index)
      list(GET colour_${key_hex} 1 pixel_argb)
      list(APPEND argb_words "0x${pixel_argb}")
      list(APPEND row_indexes ${pixel_index})
    endforeach()
    set(row_${row} ${row_indexes})
    math(EXPR row "${row} + 1")
  endforeach()

  if(ARG_HEADER)
    list(JOIN argb_words ", " joined)
    get_filename_component(xpm_name ${XPM} NAME)
    file(CONFIGURE OUTPUT ${ARG_HEADER} CONTENT
"// Generated from ${xpm_name} by cmake/xpm_icon.cmake.
#pragma once

#include <cstdint>

inline constexpr std::uint32_t ${ARG_SYMBOL}[256] = {${joined}};
" @ONLY)
  endif()

  if(ARG_RC)
    # BITMAPINFOHEADER: the height counts the colour rows and the mask rows.
    set(data "40L, 16L, 32L, 1, 8, 0L, 0L, 0L, 0L, 256L, 0L")
    foreach(i RANGE 0 255)
      if(i LESS count)
        list(GET palette ${i} rgb)
        string(APPEND data ", 0x${rgb}L")
      else()
        string(APPEND data ", 0L")
      endif()
    endforeach()
    # Colour rows from the bottom, two pixels a word.
    foreach(y RANGE 15 0 -1)
      foreach(x RANGE 0 15 2)
        math(EXPR x2 "${x} + 1")
        list(GET row_${y} ${x} low)
        list(GET row_${y} ${x2} high)
        math(EXPR word "${low} + ${high} * 256" OUTPUT_FORMAT HEXADECIMAL)
        string(APPEND data ", ${word}")
      endforeach()
    endforeach()
    # Mask rows from the bottom, a set bit for a transparent pixel, the
    # leftmost pixel in the high bit of the first byte; rows padded to 32 bits.
    foreach(y RANGE 15 0 -1)
      set(bits 0)
      foreach(x RANGE 0 15)
        list(GET row_${y} ${x} pixel)
        if(pixel EQUAL transparent)
          if(x LESS 8)
            math(EXPR bits "${bits} | (1 << (7 - ${x}))")
          else()
            math(EXPR bits "${bits} | (1 << (23 - ${x}))")
          endif()
        endif()
      endforeach()
      math(EXPR word "${bits}" OUTPUT_FORMAT HEXADECIMAL)
      string(APPEND data ", ${word}, 0")
    endforeach()
    # 40 + 1024 palette + 256 pixels + 64 mask bytes.
    file(CONFIGURE OUTPUT ${ARG_RC} CONTENT
"// Generated from ${XPM} by cmake/xpm_icon.cmake.
1 3 { ${data} }
1 14 { 0, 1, 1, 0x1010, 0, 1, 8, 1384L, 1 }
" @ONLY)
  endif()
endfunction()
