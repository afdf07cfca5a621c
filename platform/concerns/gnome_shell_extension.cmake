# The GNOME Shell extension through which the window tools reach GNOME's
# Wayland windows: one window logic behind two wrappers, each under a uuid
# of its own, and both installed, since no GNOME loads the other's shape:
# legacy for GNOME 40 to 44, ES module for 45 and later (whose copy of the
# logic ends in an export line). The tools name the one that fits the
# running shell. Each lies in the build tree where it is installed:
# share/gnome-shell/extensions/<uuid>/.
if(QCP_BACKEND STREQUAL "posix")
  set(source ${CMAKE_CURRENT_SOURCE_DIR}/posix/window_control/gnome_shell_extension)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${source}/window_control.js ${source}/legacy/extension.js ${source}/legacy/metadata.json
    ${source}/module/extension.js ${source}/module/metadata.json)
  file(READ ${source}/window_control.js logic)
  foreach(shape legacy module)
    file(READ ${source}/${shape}/metadata.json metadata)
    string(JSON uuid GET "${metadata}" uuid)
    # Kept for the end-to-end tests, which find each shape by it.
    set(folder ${CMAKE_BINARY_DIR}/gnome-shell-extension/${shape}/${uuid})
    set(placed ${CMAKE_BINARY_DIR}/share/gnome-shell/extensions/${uuid})
    foreach(target ${folder} ${placed})
      file(MAKE_DIRECTORY ${target})
      configure_file(${source}/${shape}/extension.js ${target}/extension.js COPYONLY)
      configure_file(${source}/${shape}/metadata.json ${target}/metadata.json COPYONLY)
      if(shape STREQUAL "module")
        file(CONFIGURE OUTPUT ${target}/window_control.js CONTENT "${logic}\nexport {createWindowControl};\n" @ONLY)
      else()
        file(CONFIGURE OUTPUT ${target}/window_control.js CONTENT "${logic}" @ONLY)
      endif()
    endforeach()
    install(DIRECTORY ${placed} DESTINATION share/gnome-shell/extensions COMPONENT windows)
  endforeach()
endif()
