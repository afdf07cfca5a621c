# qcp_tools_declared_here()
#
# Builds every tool declared in the current folder's .cc files, in the order
# of the files' names and, within a file, of its declarations; the folder is
# the tools' area. A tool is declared once, in its own file: its entry
#
#   extern const ToolEntry kFoo{u"Foo", <help lines>, <help rule>, <quotes>, ...};
#
# (name, help screen, help rule, quote policy: what the program runs on), and
# right above it the comment lines the build reads:
#
#   // Foo, as the build reads it (cmake/tool_declarations.cmake):
#   //   Platform: <concerns beyond "console", blank-separated>
#   //   Sources: <helper sources beside the file>             (optional)
#   //   Product: <constant of tools/products.h>               (optional)
#   //   Resources: <extra resource-script lines (icons)>      (optional)
#   //   Visual styles: yes       (manifest asks for common controls 6, optional)
#   //   Description: <the version resource's file description, the page's NAME>
#   //   About: <what it does, for its manual page and the README's table>
#   //   Example: <a command line in a shell; the first is the README's>
#   //   Batch example: <a command line in a batch file, for the READMEs>
#   //   Synopsis: <its arguments as the pack's manual page names them>
#   //   Pack page: <roff lines of its paragraph on the pack's manual page>
#
# A field runs on over the comment lines indented further: a text field
# joins them with blanks, "Pack page" keeps them as lines, and "Example" may
# be given more than once.
#
# Each tool's texts are kept as global properties QCP_TOOL_<Name>_<FIELD>
# (DESCRIPTION, ABOUT, EXAMPLES one a line, BATCH_EXAMPLE, SYNOPSIS, PACK_PAGE,
# AREA, PLATFORM, HELP_RULE), for the pack's manual page (cmake/packaging.cmake).

# Each field's label, and the key its text is kept under.
set(qcp_declaration_fields
    "Platform=PLATFORM" "Sources=SOURCES" "Product=PRODUCT" "Resources=RESOURCES" "Visual styles=VISUAL_STYLES"
    "Description=DESCRIPTION" "About=ABOUT" "Example=EXAMPLES" "Batch example=BATCH_EXAMPLE"
    "Synopsis=SYNOPSIS" "Pack page=PACK_PAGE")

# CMake lists split at semicolons and group at brackets, and a backslash
# escapes what follows: the declared texts carry them as stand-ins until they
# are written out.
function(qcp_declared_text text out)
  string(REPLACE "<qcp-semicolon>" ";" text "${text}")
  string(REPLACE "<qcp-open>" "[" text "${text}")
  string(REPLACE "<qcp-close>" "]" text "${text}")
  string(REPLACE "<qcp-backslash>" "\\" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

macro(qcp_clear_declaration)
  foreach(pair IN LISTS qcp_declaration_fields)
    string(REGEX REPLACE ".*=" "" key "${pair}")
    set(decl_${key} "")
  endforeach()
endmacro()

function(qcp_tools_declared_here)
  get_filename_component(area ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  # A file added or removed configures the build anew.
  file(GLOB files CONFIGURE_DEPENDS RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} ${CMAKE_CURRENT_SOURCE_DIR}/*.cc)
  list(SORT files)
  set(tools_here 0)
  foreach(file IN LISTS files)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${file})
    file(READ ${CMAKE_CURRENT_SOURCE_DIR}/${file} text)
    # Helper sources beside the tools declare none.
    if(NOT text MATCHES "\nextern const ToolEntry k")
      continue()
    endif()
    string(REPLACE "\\" "<qcp-backslash>" text "${text}")
    string(REPLACE ";" "<qcp-semicolon>" text "${text}")
    string(REPLACE "[" "<qcp-open>" text "${text}")
    string(REPLACE "]" "<qcp-close>" text "${text}")
    string(REPLACE "\n" ";" lines "${text}")
    set(declared 0)
    set(field "")
    qcp_clear_declaration()
    foreach(line IN LISTS lines)
      if(line MATCHES "^//   ([A-Z][a-z ]+): (.*)$")
        set(label "${CMAKE_MATCH_1}")
        set(value "${CMAKE_MATCH_2}")
        set(field "")
        foreach(pair IN LISTS qcp_declaration_fields)
          if(pair MATCHES "^${label}=(.*)$")
            set(field ${CMAKE_MATCH_1})
          endif()
        endforeach()
        if(NOT field)
          message(FATAL_ERROR "${file}: \"${label}\" is no field of a tool's declaration")
        endif()
        if(field STREQUAL "EXAMPLES" AND NOT decl_EXAMPLES STREQUAL "")
          string(APPEND decl_EXAMPLES "\n${value}")
        else()
          set(decl_${field} "${value}")
        endif()
      elseif(field AND line MATCHES "^//     +(.*)$")
        if(field STREQUAL "PACK_PAGE")
          string(APPEND decl_${field} "\n${CMAKE_MATCH_1}")
        else()
          string(APPEND decl_${field} " ${CMAKE_MATCH_1}")
        endif()
      elseif(line MATCHES "ToolEntry k([A-Za-z0-9]+){u\"([^\"]*)\"")
        set(field "")
        if(NOT CMAKE_MATCH_1 STREQUAL CMAKE_MATCH_2)
          message(FATAL_ERROR "${file}: the entry k${CMAKE_MATCH_1} names its tool ${CMAKE_MATCH_2}")
        endif()
        qcp_declared_tool(${CMAKE_MATCH_1})
        math(EXPR declared "${declared} + 1")
        qcp_clear_declaration()
      else()
        set(field "")
      endif()
    endforeach()
    math(EXPR tools_here "${tools_here} + ${declared}")
  endforeach()
  if(tools_here EQUAL 0)
    message(FATAL_ERROR "${CMAKE_CURRENT_SOURCE_DIR} declares no tool")
  endif()
endfunction()

# One tool, from the decl_* texts of qcp_tools_declared_here() (its caller):
# checks them, keeps them and builds the program (cmake/qcp_tool.cmake).
macro(qcp_declared_tool tool)
  foreach(required DESCRIPTION ABOUT EXAMPLES BATCH_EXAMPLE PACK_PAGE)
    if(decl_${required} STREQUAL "")
      message(FATAL_ERROR "${file}: ${tool}'s declaration lacks its ${required} (cmake/tool_declarations.cmake)")
    endif()
  endforeach()
  string(REPLACE " " ";" decl_PLATFORM "${decl_PLATFORM}")
  string(REPLACE " " ";" decl_SOURCES "${decl_SOURCES}")
  foreach(key DESCRIPTION ABOUT EXAMPLES BATCH_EXAMPLE SYNOPSIS PACK_PAGE)
    qcp_declared_text("${decl_${key}}" decl_${key})
    set_property(GLOBAL PROPERTY QCP_TOOL_${tool}_${key} "${decl_${key}}")
  endforeach()
  set_property(GLOBAL PROPERTY QCP_TOOL_${tool}_AREA ${area})
  set_property(GLOBAL PROPERTY QCP_TOOL_${tool}_PLATFORM "${decl_PLATFORM}")
  set(help_rule "")
  if(line MATCHES "HelpRule::(k[A-Za-z]+)")
    set(help_rule ${CMAKE_MATCH_1})
  endif()
  set_property(GLOBAL PROPERTY QCP_TOOL_${tool}_HELP_RULE "${help_rule}")
  set(options "")
  if(decl_PRODUCT)
    list(APPEND options PRODUCT ${decl_PRODUCT})
  endif()
  if(decl_RESOURCES)
    list(APPEND options RESOURCES ${decl_RESOURCES})
  endif()
  if(decl_VISUAL_STYLES STREQUAL "yes")
    list(APPEND options VISUAL_STYLES)
  endif()
  qcp_tool(${tool} AREA ${area} SOURCES ${file} ${decl_SOURCES} PLATFORM ${decl_PLATFORM} ${options})
endmacro()
