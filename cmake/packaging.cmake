# Archives (cpack in a build directory, or scripts/package for all of them):
#   Windows: QuorvexCommandPack-<version>-win64.zip / -win32.zip, the
#            programs, README.txt and LICENSE.txt at the top of the archive;
#   Linux:   a .tar.gz with the programs in bin/, the manual pages, the shell
#            completions, README.txt and LICENSE.txt.
# The Debian packages are made by dpkg-buildpackage from debian/.
set(CPACK_PACKAGE_NAME "QuorvexCommandPack")
set(CPACK_PACKAGE_VENDOR "Quorvex")
set(CPACK_PACKAGE_VERSION "${PROJECT_VERSION}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Twenty-one small command-line tools for batch files and shells")
set(CPACK_PACKAGE_CONTACT "Quorvex <support@quorvex.com>")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://www.quorvex.com")

if(WIN32)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(QCP_PACKAGE_ARCH win64)
  else()
    set(QCP_PACKAGE_ARCH win32)
  endif()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-${QCP_PACKAGE_ARCH}")
  # Plain text with CR LF line ends, for Notepad; README.txt names the version.
  foreach(pair "packaging/README.txt;README.txt" "LICENSE;LICENSE.txt")
    list(GET pair 0 from)
    list(GET pair 1 to)
    file(READ ${CMAKE_SOURCE_DIR}/${from} text)
    string(REPLACE "@QCP_VERSION@" "${PROJECT_VERSION}" text "${text}")
    string(REPLACE "\r\n" "\n" text "${text}")
    string(REPLACE "\n" "\r\n" text "${text}")
    file(WRITE ${CMAKE_BINARY_DIR}/packaging/${to} "${text}")
    install(FILES ${CMAKE_BINARY_DIR}/packaging/${to} DESTINATION .)
  endforeach()
else()
  set(CPACK_GENERATOR TGZ)
  set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_NAME}-${PROJECT_VERSION}-linux-x86_64")
  # The pack's manual page, dated like the tools' pages. Pages are installed
  # uncompressed: the Debian build compresses them its own way (gzip -9n).
  include(${CMAKE_SOURCE_DIR}/cmake/release_date.cmake)
  qcp_release_date(QCP_DATE)
  set(man ${CMAKE_BINARY_DIR}/packaging/quorvex-command-pack.1)
  configure_file(${CMAKE_SOURCE_DIR}/packaging/quorvex-command-pack.1 ${man} @ONLY)
  install(FILES ${man} DESTINATION share/man/man1)
  # Each tool has its own page too (qcp_tool()).
  # Shell completion where each shell looks: bash-completion and fish load a
  # file by the command's name, so each tool's name links to the pack's one.
  get_property(tools GLOBAL PROPERTY QCP_ALL_TOOLS)
  set(completions ${CMAKE_BINARY_DIR}/completions)
  file(REMOVE_RECURSE ${completions})
  file(MAKE_DIRECTORY ${completions}/bash ${completions}/fish)
  configure_file(${CMAKE_SOURCE_DIR}/completions/quorvex-command-pack.bash ${completions}/bash/quorvex-command-pack
                 COPYONLY)
  configure_file(${CMAKE_SOURCE_DIR}/completions/quorvex-command-pack.fish
                 ${completions}/fish/quorvex-command-pack.fish COPYONLY)
  foreach(tool IN LISTS tools)
    file(CREATE_LINK quorvex-command-pack ${completions}/bash/${tool} SYMBOLIC)
    file(CREATE_LINK quorvex-command-pack.fish ${completions}/fish/${tool}.fish SYMBOLIC)
  endforeach()
  install(DIRECTORY ${completions}/bash/ DESTINATION share/bash-completion/completions)
  install(DIRECTORY ${completions}/fish/ DESTINATION share/fish/vendor_completions.d)
  install(FILES ${CMAKE_SOURCE_DIR}/completions/_quorvex-command-pack DESTINATION share/zsh/vendor-completions)
  install(FILES ${CMAKE_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)
  configure_file(${CMAKE_SOURCE_DIR}/packaging/README.Linux ${CMAKE_BINARY_DIR}/packaging/README.txt COPYONLY)
  install(FILES ${CMAKE_BINARY_DIR}/packaging/README.txt DESTINATION .)
endif()

include(CPack)
