# `cmake --install`: the program, the command-line tool and the archiver plug-ins side by side in
# bin/ (the program loads its plug-ins from its own folder), the manual under share/sorabu, and
# the desktop entry and icon where desktop environments look for them.
include(GNUInstallDirs)

foreach(target sorabu sorabu-cli)
  if(TARGET ${target})
    install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
foreach(plugin unlha32 unzip32 zip32j cab32 tar32 unrar32 sevenzip32)
  if(TARGET ${plugin})
    install(TARGETS ${plugin} LIBRARY DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
if(EXISTS ${PROJECT_SOURCE_DIR}/help)
  install(DIRECTORY ${PROJECT_SOURCE_DIR}/help DESTINATION ${CMAKE_INSTALL_DATADIR}/sorabu)
endif()
if(SORABU_BUILD_GUI)
  install(FILES ${PROJECT_SOURCE_DIR}/data/sorabu.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${PROJECT_SOURCE_DIR}/data/sorabu.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
endif()
