# What `cmake --install` puts where, and the Windows zip (CPack) and MSI (wixl).
#   Linux:   GNU layout under the prefix, the README with its pages under docs/, the bash
#            completion where bash-completion looks under the prefix; with
#            TARNWELL_INSTALL_SYSTEM_FILES also the example registry file and the rules
#            folder with its example rule in /etc/tarnwell, and the systemd service and
#            timer.
#   Windows: one folder: Tarnwell.exe, README.txt with its pages under docs\, LICENSE.txt,
#            and the Group Policy templates under PolicyDefinitions\.

# The pages the README links to go beside it on both systems, as in the source tree, so that
# its links hold.
file(GLOB TARNWELL_DOC_PAGES CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}/docs
     ${PROJECT_SOURCE_DIR}/docs/*.md ${PROJECT_SOURCE_DIR}/docs/*.png)
list(TRANSFORM TARNWELL_DOC_PAGES PREPEND docs/ OUTPUT_VARIABLE TARNWELL_DOC_FILES)

if(TARNWELL_PLATFORM STREQUAL "posix")
  set(CMAKE_INSTALL_DOCDIR share/doc/tarnwell CACHE PATH "Documentation (README, docs/)")
  include(GNUInstallDirs)

  install(TARGETS tarnwell RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

  install(FILES README.md LICENSE DESTINATION ${CMAKE_INSTALL_DOCDIR})
  install(FILES ${TARNWELL_DOC_FILES} DESTINATION ${CMAKE_INSTALL_DOCDIR}/docs)

  # Off by default: these go outside the prefix (the program reads /etc/tarnwell whatever
  # the prefix), which only a package or a deliberate system install should do.
  option(TARNWELL_INSTALL_SYSTEM_FILES
         "Also install /etc/tarnwell (registry.reg, rules.d) and the systemd service and timer"
         OFF)
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
  # Loaded on demand by bash-completion from every share/ of XDG_DATA_DIRS: /usr/share for
  # the package, /usr/local/share for a local install.
  install(FILES packaging/tarnwell-completion.bash
          DESTINATION ${CMAKE_INSTALL_DATADIR}/bash-completion/completions RENAME tarnwell)

  if(TARNWELL_INSTALL_SYSTEM_FILES)
    install(FILES packaging/registry.reg DESTINATION /etc/tarnwell)
    # The folder the rules are read from, with an example that is no rule (its name does
    # not end in .conf) until an administrator copies it.
    install(FILES packaging/rules.d/example.conf.disabled DESTINATION /etc/tarnwell/rules.d)
    # The service must start the program where this very install puts it.
    configure_file(${PROJECT_SOURCE_DIR}/packaging/tarnwell.service.in
                   ${TARNWELL_GENERATED_DIR}/tarnwell.service @ONLY)
    install(FILES ${TARNWELL_GENERATED_DIR}/tarnwell.service packaging/tarnwell.timer
            DESTINATION ${TARNWELL_SYSTEMD_UNIT_DIR})
  endif()
else()
  install(TARGETS tarnwell RUNTIME DESTINATION .)
  install(FILES README.md DESTINATION . RENAME README.txt)
  install(FILES ${TARNWELL_DOC_FILES} DESTINATION docs)
  install(FILES LICENSE DESTINATION . RENAME LICENSE.txt)
  set(TARNWELL_POLICY_TEMPLATES ${PROJECT_SOURCE_DIR}/packaging/policy/Tarnwell.admx
                                ${PROJECT_SOURCE_DIR}/packaging/policy/en-US/Tarnwell.adml)
  install(FILES packaging/policy/Tarnwell.admx DESTINATION PolicyDefinitions)
  install(FILES packaging/policy/en-US/Tarnwell.adml DESTINATION PolicyDefinitions/en-US)

  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_NAME Tarnwell)
  set(CPACK_PACKAGE_VENDOR "The Tarnwell authors")
  set(CPACK_PACKAGE_FILE_NAME Tarnwell-${PROJECT_VERSION}-win64)
  include(CPack)

  # The MSI's custom action that writes the daily task's definition for the folder the MSI
  # installs into (see packaging/tarnwell.wxs). msiexec loads it from the MSI itself: it
  # must need no DLL a bare Windows lacks.
  add_library(tarnwell_msi_actions MODULE ${PROJECT_SOURCE_DIR}/packaging/daily_task_action.cpp)
  # -lmsi, not msi: that name is the target below.
  target_link_libraries(tarnwell_msi_actions PRIVATE -lmsi)
  # Stripped: nobody debugs it from inside an MSI.
  target_link_options(tarnwell_msi_actions PRIVATE -static -static-libgcc -static-libstdc++ -s)
  set_target_properties(tarnwell_msi_actions PROPERTIES PREFIX "" OUTPUT_NAME TarnwellMsiActions)

  # `cmake --build --preset windows --target msi`: the installer, next to the program.
  # wixl takes its files by plain name from the folder of the .wxs, so all are gathered
  # there, the task definition converted to UTF-16 with its XML declaration (the form Task
  # Scheduler exports), and docs.wxi lists the pages (a component cannot take a folder).
  # wixl cannot express three things, which msibuild sets afterwards:
  #  - a component's condition and the Permanent attribute (attributes 20: registry key
  #    path 4 + permanent 16): the DebugPath value is written only when DEBUGPATH is given
  #    and no value is there yet, and stays when the product is removed or upgraded (an
  #    upgrade removes the old product after AppSearch saw the value, so the new one would
  #    not write it again);
  #  - a REG_EXPAND_SZ value ("#%"), for the Event Log source's EventMessageFile;
  #  - the properties that reach the installation as the command line gave them
  #    (SecureCustomProperties), where a managed or per-user launch would drop them.
  find_program(TARNWELL_WIXL wixl)
  find_program(TARNWELL_MSIBUILD msibuild)
  if(TARNWELL_WIXL AND TARNWELL_MSIBUILD)
    set(TARNWELL_WXS ${PROJECT_SOURCE_DIR}/packaging/tarnwell.wxs)
    set(TARNWELL_TASK_XML ${PROJECT_SOURCE_DIR}/packaging/tarnwell-task.xml)
    # The task's arguments by default, where TASKARGUMENTS gives none: the definition's own.
    file(STRINGS ${TARNWELL_TASK_XML} TARNWELL_TASK_ARGUMENTS REGEX "<Arguments>")
    string(REGEX REPLACE ".*<Arguments>(.*)</Arguments>.*" "\\1" TARNWELL_TASK_ARGUMENTS
                         "${TARNWELL_TASK_ARGUMENTS}")
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${TARNWELL_TASK_XML})
    set(TARNWELL_DOCS_WXI ${PROJECT_BINARY_DIR}/docs.wxi)
    set(TARNWELL_DOCS_KEY_PATH " KeyPath=\"yes\"")
    set(TARNWELL_DOCS_ENTRIES "")
    foreach(page IN LISTS TARNWELL_DOC_PAGES)
      string(MAKE_C_IDENTIFIER "Doc_${page}" id)
      string(APPEND TARNWELL_DOCS_ENTRIES
             "  <File Id=\"${id}\" Name=\"${page}\" Source=\"docs/${page}\"${TARNWELL_DOCS_KEY_PATH}/>\n")
      set(TARNWELL_DOCS_KEY_PATH "")
    endforeach()
    file(CONFIGURE OUTPUT ${TARNWELL_DOCS_WXI}
         CONTENT "<Include>\n${TARNWELL_DOCS_ENTRIES}</Include>\n" @ONLY)
    list(TRANSFORM TARNWELL_DOC_FILES PREPEND ${PROJECT_SOURCE_DIR}/
         OUTPUT_VARIABLE TARNWELL_DOC_SOURCES)
    set(TARNWELL_MSI_SOURCES ${TARNWELL_WXS} ${TARNWELL_TASK_XML} ${TARNWELL_DOCS_WXI}
                             ${PROJECT_SOURCE_DIR}/README.md ${TARNWELL_DOC_SOURCES}
                             ${PROJECT_SOURCE_DIR}/LICENSE ${PROJECT_SOURCE_DIR}/resources/tarnwell.ico
                             ${TARNWELL_POLICY_TEMPLATES})
    set(TARNWELL_SECURE_PROPERTIES
        "WIX_DOWNGRADE_DETECTED;WIX_UPGRADE_DETECTED;DEBUGPATH;EXISTINGDEBUGPATH;INSTALLDIR;REMEMBEREDINSTALLDIR;TASKARGUMENTS;REMEMBEREDTASKARGUMENTS")
    # tarnwell_add_msi(TARGET VERSION MSI): the target that builds the installer MSI of the
    # program as version VERSION, gathering its files in a folder of the target's name.
    function(tarnwell_add_msi target version msi)
      set(stage ${PROJECT_BINARY_DIR}/${target})
      add_custom_command(
        OUTPUT ${msi}
        COMMAND ${CMAKE_COMMAND} -E rm -rf ${stage}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${stage}/docs
        COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:tarnwell> ${stage}/Tarnwell.exe
        COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:tarnwell_msi_actions> ${stage}
        COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/README.md ${stage}/README.txt
        COMMAND ${CMAKE_COMMAND} -E copy ${TARNWELL_DOC_SOURCES} ${stage}/docs
        COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/LICENSE ${stage}/LICENSE.txt
        COMMAND ${CMAKE_COMMAND} -E copy ${PROJECT_SOURCE_DIR}/resources/tarnwell.ico
                ${TARNWELL_WXS} ${TARNWELL_DOCS_WXI} ${TARNWELL_POLICY_TEMPLATES} ${stage}
        COMMAND sh -c "{ printf '\\377\\376'; { echo '<?xml version=\"1.0\" encoding=\"UTF-16\"?>'; cat \"$0\"; } | iconv -f UTF-8 -t UTF-16LE; } > \"$1\""
                ${TARNWELL_TASK_XML} ${stage}/tarnwell-task.xml
        COMMAND ${TARNWELL_WIXL} --arch x64 -D Version=${version}
                -D "DefaultTaskArguments=${TARNWELL_TASK_ARGUMENTS}" -o ${msi} ${stage}/tarnwell.wxs
        COMMAND ${TARNWELL_MSIBUILD} ${msi}
                -q "UPDATE Component SET Attributes = 20, Condition = 'DEBUGPATH AND NOT EXISTINGDEBUGPATH' WHERE Component = 'DebugPathValue'"
                -q "UPDATE Property SET Value = '${TARNWELL_SECURE_PROPERTIES}' WHERE Property = 'SecureCustomProperties'"
                -q "UPDATE Registry SET Value = '#%[#TarnwellExe]' WHERE Registry = 'EventMessageFile'"
        DEPENDS tarnwell tarnwell_msi_actions ${TARNWELL_MSI_SOURCES}
        COMMENT "Building ${target} with wixl"
        VERBATIM)
      add_custom_target(${target} DEPENDS ${msi})
    endfunction()

    tarnwell_add_msi(msi ${PROJECT_VERSION} ${PROJECT_BINARY_DIR}/Tarnwell-${PROJECT_VERSION}-x64.msi)
    # The same installer one patch version up (Windows Installer compares only the first
    # three fields), which scripts/test-packages.sh upgrades to.
    math(EXPR TARNWELL_NEXT_PATCH "${PROJECT_VERSION_PATCH} + 1")
    set(TARNWELL_NEXT_VERSION
        ${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}.${TARNWELL_NEXT_PATCH})
    tarnwell_add_msi(msi-upgrade ${TARNWELL_NEXT_VERSION}
                     ${PROJECT_BINARY_DIR}/Tarnwell-${TARNWELL_NEXT_VERSION}-upgrade-x64.msi)
  endif()
endif()
