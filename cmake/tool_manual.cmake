# cmake -DTOOL=<Name> -DPROGRAM=<built program> -DINFO=<texts> -DOUTPUT=<page.1.gz>
#       -P tool_manual.cmake
#
# Writes the tool's manual page: the synopsis and the help text are what the
# program's own "--help" prints (its entry's declaration, in SOURCES); NAME_LINE,
# ABOUT, EXAMPLES (one a line) and VERSION come from its qcp_tool() line, by INFO.
cmake_minimum_required(VERSION 3.25)
include(${INFO})
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help ended with ${status}")
endif()

include(${CMAKE_CURRENT_LIST_DIR}/roff_text.cmake)

# The help screen: an empty line, the banner, the usage line, an empty line
# and the description lines.
string(REGEX REPLACE "\n$" "" help "${help}")
text_lines("${help}" lines)
list(SUBLIST lines 2 1 usage)
list(SUBLIST lines 4 -1 described)
line_text("${usage}" usage)
string(STRIP "${usage}" usage)
string(REGEX REPLACE "^${TOOL} ?" "" arguments "${usage}")

roff_text("${NAME_LINE}" name_line)
roff_text("${arguments}" arguments)
roff_text("${ABOUT}" about)
set(page ".TH ${TOOL} 1 \"\" \"Quorvex Command Pack ${VERSION}\" \"Quorvex Command Pack\"\n")
string(APPEND page ".SH NAME\n${TOOL} \\- ${name_line}\n")
string(APPEND page ".SH SYNOPSIS\n.B ${TOOL}\n${arguments}\n")
string(APPEND page ".SH DESCRIPTION\n${about}\n.PP\nIts help screen says:\n.PP\n.nf\n")
foreach(line IN LISTS described)
  line_text("${line}" line)
  roff_text("${line}" line)
  string(APPEND page "${line}\n")
endforeach()
string(APPEND page ".fi\n")
string(APPEND page ".SH EXIT STATUS\n.TP\n.B 0\nThe tool did what was asked, or showed help that was asked for.\n"
                   ".TP\n.B 1\nIt failed: it printed an ERROR! line or a run\\-time error line, or it could not do "
                   "what was asked.\n.TP\n.B 2\nIt showed its help screen because arguments were missing.\n"
                   ".PP\nThe tails \\fB\\-\\-help\\fR and \\fB\\-\\-version\\fR alone are reserved: they print the help "
                   "screen or the version line and exit with 0.\n")
# A tool declared with the dash rule (its entry in its source) says so.
foreach(source IN LISTS SOURCES)
  file(READ "${source}" declaration)
  if(declaration MATCHES "ToolEntry k${TOOL}{[^;]*HelpRule::kHelpSwitchOrDash")
    string(APPEND page ".PP\nIt takes no arguments and acts at once, so any word that begins with a dash (\\fB\\-h\\fR, "
                       "\\fB\\-\\-Help\\fR, an em dash, a minus sign) shows the help screen instead, with status 2, "
                       "and it does nothing.\n")
  endif()
endforeach()
string(APPEND page ".SH EXAMPLES\n")
text_lines("${EXAMPLES}" examples)
foreach(example IN LISTS examples)
  line_text("${example}" example)
  roff_text("${example}" example)
  string(APPEND page ".PP\n.nf\n${example}\n.fi\n")
endforeach()
string(APPEND page ".SH SEE ALSO\n.BR quorvex-command-pack (1)\n")

get_filename_component(folder "${OUTPUT}" DIRECTORY)
get_filename_component(page_name "${OUTPUT}" NAME_WLE)
file(WRITE "${folder}/${page_name}" "${page}")
file(ARCHIVE_CREATE OUTPUT "${OUTPUT}" PATHS "${folder}/${page_name}" FORMAT raw COMPRESSION GZip)
