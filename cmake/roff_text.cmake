# Helpers of the manual pages (tool_manual.cmake) and of their check
# (tool_docs.cmake).

# Roff: a backslash is written \e, a line must not begin with a dot or an
# apostrophe, and a hyphen is \-. Markdown's code quotes become plain quotes.
function(roff_text text out)
  string(REPLACE "\\" "\\e" text "${text}")
  string(REPLACE "`" "\"" text "${text}")
  string(REPLACE "-" "\\-" text "${text}")
  string(REGEX REPLACE "(^|\n)([.'])" "\\1\\\\&\\2" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

# A text as a CMake list of its lines. A semicolon would split a line (an
# escaped one loses its escape in list(SUBLIST) and foreach), so inside the
# list it stands as the SUB control character; line_text() gives it back.
string(ASCII 26 qcp_semicolon)
function(text_lines text out)
  string(REPLACE ";" "${qcp_semicolon}" text "${text}")
  string(REPLACE "\n" ";" text "${text}")
  set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(line_text line out)
  string(REPLACE "${qcp_semicolon}" ";" line "${line}")
  set(${out} "${line}" PARENT_SCOPE)
endfunction()
