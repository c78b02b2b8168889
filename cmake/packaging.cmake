# What `cmake --install` puts where, and the Windows zip (CPack) and MSI (wixl).
#   Linux:   GNU layout under the prefix; with TARNWELL_INSTALL_SYSTEM_FILES also the
#            example registry file in /etc/tarnwell and the systemd service and timer.
#   Windows: one flat folder: Tarnwell.exe, README.txt, LICENSE.txt.

if(TARNWELL_PLATFORM STREQUAL "posix")
  set(CMAKE_INSTALL_DOCDIR share/doc/tarnwell CACHE PATH "Documentation (README)")
  include(GNUInstallDirs)

  install(TARGETS tarnwell RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

  install(FILES README.md LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})

  # Off by default: these go outside the prefix (the program reads /etc/tarnwell whatever
  # the prefix), which only a package or a deliberate system install should do.
  option(TARNWELL_INSTALL_SYSTEM_FILES
         "Also install /etc/tarnwell/registry.reg and the systemd service and timer" OFF)
  # systemd also looks in /usr/local/lib/systemd/system, so the default follows the prefix;
  # a distribution package names its own unit folder.
  set(TARNWELL_SYSTEMD_UNIT_DIR lib/systemd/system
      CACHE PATH "Where the systemd units go (relative paths are under the prefix)")
  cmake_path(ABSOLUTE_PATH TARNWELL_SYSTEMD_UNIT_DIR BASE_DIRECTORY ${CMAKE_INSTALL_PREFIX}
             OUTPUT_VARIABLE TARNWELL_SYSTEMD_UNIT_FULL_DIR)

  # The man page names the installed paths.
  configure_file(${PROJECT_SOURCE_DIR}/packaging/tarnwell.1.in
                 ${TARNWELL_GENERATED_DIR}/tarnwell.1 @ONLY)
  install(FILES ${TARNWELL_GENERATED_DIR}/tarnwell.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

  if(TARNWELL_INSTALL_SYSTEM_FILES)
    install(FILES packaging/registry.reg DESTINATION /etc/tarnwell)
    # The service must start the program where this very install puts it.
    configure_file(${PROJECT_SOURCE_DIR}/packaging/tarnwell.service.in
                   ${TARNWELL_GENERATED_DIR}/tarnwell.service @ONLY)
    install(FILES ${TARNWELL_GENERATED_DIR}/tarnwell.service packaging/tarnwell.timer
            DESTINATION ${TARNWELL_SYSTEMD_UNIT_DIR})
  endif()
else()
  install(TARGETS tarnwell RUNTIME DESTINATION .)
  install(FILES README.md DESTINATION . RENAME README.txt)
  install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)

  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME Tarnwell)
  set(CPACK_PACKAGE_VENDOR "The Tarnwell authors")
  set(CPACK_PACKAGE_FILE_NAME Tarnwell-${PROJECT_VERSION}-win64)
  include(CPack)

  # `cmake --build --preset windows --target msi`: the installer, next to the program.
  # wixl takes its files by plain name from the folder of the .wxs, so all are gathered
  # there. It cannot give a component a condition or the Permanent attribute, so msibuild
  # sets them afterwards (attributes 20: registry key path 4 + permanent 16): the DebugPath
  # value is written only when DEBUGPATH is given and
  # no value is there yet, and stays when the product is removed or upgraded (an upgrade
  # removes the old product after AppSearch saw the value, so the new one would not write
  # it again).
  find_program(TARNWELL_WIXL wixl)
  find_program(TARNWELL_MSIBUILD msibuild)
  if(TARNWELL_WIXL AND TARNWELL_MSIBUILD)
    set(TARNWELL_MSI ${PROJECT_BINARY_DIR}/Tarnwell-${PROJECT_VERSION}-x64.msi)
    set(TARNWELL_MSI_STAGE ${PROJECT_BINARY_DIR}/msi)
    set(TARNWELL_WXS ${PROJECT_SOURCE_DIR}/packaging/tarnwell.wxs)
    set(TARNWELL_MSI_SOURCES ${TARNWELL_WXS} ${PROJECT_SOURCE_DIR}/README.md
                             ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/resources/tarnwell.ico)
    set(TARNWELL_SECURE_PROPERTIES
        "WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED;DEBUGPATH;EXISTINGDEBUGPATH")
    add_custom_command(
      OUTPUT ${TARNWELL_MSI}
      COMMAND ${CMAKE_COMMAND} -E make_directory ${TARNWELL_MSI_STAGE}
      COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:tarnwell> ${TARNWELL_MSI_STAGE}/Tarnwell.exe
      COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/README.md ${TARNWELL_MSI_STAGE}/README.txt
      COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/LICENSE ${TARNWELL_MSI_STAGE}/LICENSE.txt
      COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/resources/tarnwell.ico
              ${TARNWELL_WXS} ${TARNWELL_MSI_STAGE}
      COMMAND ${TARNWELL_WIXL} --arch x64 -D Version=${PROJECT_VERSION} -o ${TARNWELL_MSI}
              ${TARNWELL_MSI_STAGE}/tarnwell.wxs
      COMMAND ${TARNWELL_MSIBUILD} ${TARNWELL_MSI}
              -q "UPDATE Component SET Attributes = 20, Condition = 'DEBUGPATH AND NOT EXISTINGDEBUGPATH' WHERE Component = 'DebugPathValue'"
              -q "UPDATE Property SET Value = '${TARNWELL_SECURE_PROPERTIES}' WHERE Property = 'SecureCustomProperties'"
      DEPENDS tarnwell ${TARNWELL_MSI_SOURCES}
      COMMENT "Building the MSI with wixl"
      VERBATIM)
    add_custom_target(msi DEPENDS ${TARNWELL_MSI})
  endif()
endif()
