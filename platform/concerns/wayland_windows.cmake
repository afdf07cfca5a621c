# Top-level windows under Wayland compositors, beside X11: the wlroots
# foreign-toplevel protocol, sway's IPC for pinning, and KWin scripts over
# D-Bus. POSIX only; the window backend links it when it asks Wayland first.
if(QCP_BACKEND STREQUAL "posix")
  # What the module is built of lies in its own folder of the window stack.
  set(module_dir posix/window_control/wayland_module)
  pkg_check_modules(WAYLAND_CLIENT REQUIRED IMPORTED_TARGET wayland-client)
  find_program(WAYLAND_SCANNER wayland-scanner REQUIRED)
  set(protocol ${CMAKE_CURRENT_SOURCE_DIR}/${module_dir}/protocols/wlr-foreign-toplevel-management-unstable-v1.xml)
  set(generated ${CMAKE_CURRENT_BINARY_DIR}/wayland_protocols)
  set(protocol_header ${generated}/wlr-foreign-toplevel-management-unstable-v1-client-protocol.h)
  set(protocol_code ${generated}/wlr-foreign-toplevel-management-unstable-v1-protocol.c)
  add_custom_command(
    OUTPUT ${protocol_header} ${protocol_code}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${generated}
    COMMAND ${WAYLAND_SCANNER} client-header ${protocol} ${protocol_header}
    COMMAND ${WAYLAND_SCANNER} private-code ${protocol} ${protocol_code}
    DEPENDS ${protocol}
    VERBATIM)
  add_library(qcp_platform_wayland STATIC
    ${module_dir}/wlr_foreign_toplevel.cc ${module_dir}/sway_ipc.cc ${module_dir}/kwin_script.cc ${module_dir}/pending_failure.cc
    posix/window_control/gio_session_bus.cc
    ${protocol_code})
  set_target_properties(qcp_platform_wayland PROPERTIES POSITION_INDEPENDENT_CODE ON)
  target_include_directories(qcp_platform_wayland PRIVATE ${generated})
  # GIO is loaded only when a KWin request runs, so it costs no start-up time.
  target_link_libraries(qcp_platform_wayland PUBLIC qcp_console PkgConfig::WAYLAND_CLIENT PRIVATE qcp_gio_headers)

  # The module the window tools load on a Wayland session only: they start
  # without libwayland-client. It lies in ../lib/quorvex-command-pack/ from
  # the programs, in the build as once installed.
  add_library(qcp_wayland_module MODULE ${module_dir}/module.cc)
  set_target_properties(qcp_wayland_module PROPERTIES OUTPUT_NAME qcp-wayland PREFIX ""
                        LIBRARY_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/lib/quorvex-command-pack
                        CXX_VISIBILITY_PRESET hidden)
  target_link_libraries(qcp_wayland_module PRIVATE qcp_platform_wayland)
  if(NOT QCP_SANITIZE AND QCP_STATIC)
    target_link_options(qcp_wayland_module PRIVATE -static-libstdc++ -static-libgcc)
  endif()
  install(TARGETS qcp_wayland_module LIBRARY DESTINATION lib/quorvex-command-pack COMPONENT windows)
endif()
