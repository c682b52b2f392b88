# What `cmake --install build --prefix <prefix>` puts where: the program folder (the executable, the
# sibling libraries and every file start-up reads) as <prefix>/lib/kelvara, only ever read; the
# command <prefix>/bin/kelvara, a link to the executable so that the program folder is still found
# from the executable's real path; and the desktop's menu entry, icons and software-centre data.
set(KELVARA_INSTALL_DIR lib/kelvara)

install(TARGETS kelvara RUNTIME DESTINATION ${KELVARA_INSTALL_DIR})
install(TARGETS KlvLib KlvLegacyLib LIBRARY DESTINATION ${KELVARA_INSTALL_DIR})
install(FILES ${KELVARA_PROGRAM_DIR}/database.klvdb7 ${KELVARA_PROGRAM_DIR}/splash.bmp
              ${KELVARA_PROGRAM_DIR}/kelvara.png ${KELVARA_PROGRAM_DIR}/Readme.txt ${KELVARA_PROGRAM_DIR}/katmode.txt
        DESTINATION ${KELVARA_INSTALL_DIR})
install(DIRECTORY ${KELVARA_PROGRAM_DIR}/data ${KELVARA_PROGRAM_DIR}/help ${KELVARA_PROGRAM_DIR}/skin7
        DESTINATION ${KELVARA_INSTALL_DIR})
# The templates come from the sources: the build's program folder may hold a template an older
# build's editors changed there.
foreach(folder print-config print-card-config)
  install(FILES ${CMAKE_SOURCE_DIR}/resources/${folder}/default.ini DESTINATION ${KELVARA_INSTALL_DIR}/${folder})
endforeach()
install(CODE "
  set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
  file(MAKE_DIRECTORY \"\${bin}\")
  file(CREATE_LINK ../${KELVARA_INSTALL_DIR}/kelvara \"\${bin}/kelvara\" SYMBOLIC)
  message(STATUS \"Installing: \${bin}/kelvara -> ../${KELVARA_INSTALL_DIR}/kelvara\")")

install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/kelvara.desktop DESTINATION share/applications)
install(FILES ${CMAKE_SOURCE_DIR}/resources/desktop/io.github.kelvara.Kelvara.metainfo.xml DESTINATION share/metainfo)
install(DIRECTORY ${KELVARA_ICON_THEME} DESTINATION share/icons)
