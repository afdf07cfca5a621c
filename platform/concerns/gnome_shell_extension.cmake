# The GNOME Shell extension through which the window tools reach GNOME's
# Wayland windows. Both shapes are made in the build tree, one window logic
# behind two wrappers: legacy (GNOME 40 to 44) and ES module (45 and later,
# whose copy of the logic ends in an export line). The one named by
# QCP_GNOME_SHELL_EXTENSION is installed, and lies in the build tree where it
# is installed: share/gnome-shell/extensions/<uuid>/.
if(QCP_BACKEND STREQUAL "posix")
  set(QCP_GNOME_SHELL_EXTENSION legacy CACHE STRING
      "GNOME Shell extension shape to install: legacy (GNOME 40-44, as on Debian 12) or module (GNOME 45 and later)")
  set_property(CACHE QCP_GNOME_SHELL_EXTENSION PROPERTY STRINGS legacy module)
  set(uuid window-control@quorvex-command-pack)
  set(source ${CMAKE_CURRENT_SOURCE_DIR}/posix/gnome_shell_extension)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${source}/window_control.js ${source}/legacy/extension.js ${source}/legacy/metadata.json
    ${source}/module/extension.js ${source}/module/metadata.json)
  file(READ ${source}/window_control.js logic)
  foreach(shape legacy module)
    set(folder ${CMAKE_BINARY_DIR}/gnome-shell-extension/${shape}/${uuid})
    file(MAKE_DIRECTORY ${folder})
    configure_file(${source}/${shape}/extension.js ${folder}/extension.js COPYONLY)
    configure_file(${source}/${shape}/metadata.json ${folder}/metadata.json COPYONLY)
    if(shape STREQUAL "module")
      file(CONFIGURE OUTPUT ${folder}/window_control.js CONTENT "${logic}\nexport {createWindowControl};\n" @ONLY)
    else()
      file(CONFIGURE OUTPUT ${folder}/window_control.js CONTENT "${logic}" @ONLY)
    endif()
  endforeach()
  set(chosen ${CMAKE_BINARY_DIR}/gnome-shell-extension/${QCP_GNOME_SHELL_EXTENSION}/${uuid})
  set(placed ${CMAKE_BINARY_DIR}/share/gnome-shell/extensions/${uuid})
  file(MAKE_DIRECTORY ${placed})
  foreach(file extension.js metadata.json window_control.js)
    configure_file(${chosen}/${file} ${placed}/${file} COPYONLY)
  endforeach()
  install(DIRECTORY ${placed} DESTINATION share/gnome-shell/extensions)
endif()
