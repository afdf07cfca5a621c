# cmake -DTOOL=<Name> -DPROGRAM=<built program> -DINFO=<texts> -DOUTPUT=<page.1.gz>
#       -P tool_manual.cmake
#
# Writes the tool's manual page: the synopsis and the help text are what the
# program's own "--help" prints (its entry's declaration, in SOURCES); NAME_LINE,
# ABOUT, EXAMPLES (one a line) and VERSION come from its declaration, by INFO.
cmake_minimum_required(VERSION 3.25)
include(${INFO})
include(${CMAKE_CURRENT_LIST_DIR}/release_date.cmake)
qcp_release_date(date)
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
set(page ".TH ${TOOL} 1 \"${date}\" \"Quorvex Command Pack ${VERSION}\" \"Quorvex Command Pack\"\n")
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
if("window_control" IN_LIST PLATFORM)
  string(APPEND page ".PP\nSo is \\fB\\-\\-list\\-captions\\fR alone: it prints the captions of the windows the tool "
                     "can reach now, one a line (on Wayland the compositor's first, then "
                     "the X11 ones), for shell completion, and exits with 0, or with 1 and one line on standard "
                     "error when there is no display.\n")
endif()
string(APPEND page ".SH EXAMPLES\n")
text_lines("${EXAMPLES}" examples)
foreach(example IN LISTS examples)
  line_text("${example}" example)
  roff_text("${example}" example)
  string(APPEND page ".PP\n.nf\n${example}\n.fi\n")
endforeach()
# What the tool reads besides its command line, by the platform concerns it
# declares: each variable and file once, in the order of the concerns.
set(display_variables DISPLAY "The X11 display" WAYLAND_DISPLAY "The Wayland display")
set(bus_variables DBUS_SESSION_BUS_ADDRESS "The session bus" XDG_RUNTIME_DIR "Where the session bus and \
the user's runtime files lie")
set(variables_window_control ${display_variables} XDG_CURRENT_DESKTOP "Which desktop runs (GNOME, KDE)"
    KDE_FULL_SESSION "Set on KDE Plasma" SWAYSOCK "The IPC socket of sway, for pinning" ${bus_variables})
set(variables_session XDG_SESSION_ID "The session acted on (else the user's display session)" ${bus_variables})
set(variables_trash XDG_DATA_HOME "Where the home trash lies (default ~/.local/share)" HOME "The home folder"
    XDG_DATA_DIRS "Where the trash sound is looked for" ${display_variables})
set(variables_open PATH "Where a bare program name is looked for" ${bus_variables})
foreach(concern dialogs picture_window media_window)
  set(variables_${concern} ${display_variables})
endforeach()
set(files_window_control
    "/usr/lib/quorvex\\-command\\-pack/qcp\\-wayland.so" "The Wayland module, loaded on a Wayland session only"
    "$XDG_RUNTIME_DIR/bus" "The session bus, for GNOME Shell's extension and KWin"
    "$XDG_RUNTIME_DIR/qcp\\-kwin\\-*.js" "The KWin script of one request, removed when it has run")
set(files_processes "/proc/[pid]/stat, /proc/[pid]/status" "The running processes")
set(files_trash "$XDG_DATA_HOME/Trash, TOP/.Trash/UID, TOP/.Trash\\-UID"
    "The trash folders, TOP being the top folder of a mounted file system"
    "/proc/self/mounts" "The mounted file systems")
set(variables "")
set(files "")
foreach(concern IN LISTS PLATFORM)
  foreach(kind variables files)
    set(pairs ${${kind}_${concern}})
    list(LENGTH pairs count)
    while(count GREATER 1)
      list(POP_FRONT pairs name what)
      math(EXPR count "${count} - 2")
      string(FIND "${${kind}}" ".B ${name}\n" known)
      if(known EQUAL -1)
        string(APPEND ${kind} ".TP\n.B ${name}\n${what}.\n")
      endif()
    endwhile()
  endforeach()
endforeach()
if(variables)
  string(APPEND page ".SH ENVIRONMENT\n${variables}")
endif()
if(files)
  string(APPEND page ".SH FILES\n${files}")
endif()
string(APPEND page ".SH SEE ALSO\n.BR quorvex-command-pack (1)\n")

get_filename_component(folder "${OUTPUT}" DIRECTORY)
get_filename_component(page_name "${OUTPUT}" NAME_WLE)
file(WRITE "${folder}/${page_name}" "${page}")
file(ARCHIVE_CREATE OUTPUT "${OUTPUT}" PATHS "${folder}/${page_name}" FORMAT raw COMPRESSION GZip)
