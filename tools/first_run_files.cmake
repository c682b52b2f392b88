# The program folder's files that start-up and its settings pass ask for on a new installation,
# beside the database and the pronouncing dictionary: the empty ranking file and web-dictionary
# list, the empty agent definition (no agent program), the answer tones, the voice folder, the
# splash picture, the readme and the help pages. Files the user may replace or edit are put in
# place only when missing; the readme and help pages are ours and follow the sources.
add_executable(kelvara_make_first_run_files make_first_run_files.cpp)
target_link_libraries(kelvara_make_first_run_files PRIVATE kelvara_services PkgConfig::SNDFILE Qt6::Gui)

set(first_run_sources ${CMAKE_SOURCE_DIR}/resources/first_run)
set(copy_if_missing ${CMAKE_SOURCE_DIR}/cmake/CopyIfMissing.cmake)
file(GLOB first_run_help CONFIGURE_DEPENDS ${first_run_sources}/help/*.html)
add_custom_target(kelvara_first_run_files ALL
  COMMAND kelvara_make_first_run_files ${KELVARA_PROGRAM_DIR}
  COMMAND ${CMAKE_COMMAND} -DSOURCE=${first_run_sources}/katmode.txt -DTARGET=${KELVARA_PROGRAM_DIR}/katmode.txt
          -P ${copy_if_missing}
  COMMAND ${CMAKE_COMMAND} -DSOURCE=${first_run_sources}/webdic.ini -DTARGET=${KELVARA_PROGRAM_DIR}/data/webdic.ini
          -P ${copy_if_missing}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KELVARA_PROGRAM_DIR}/data/wavvoice ${KELVARA_PROGRAM_DIR}/help
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${first_run_sources}/Readme.txt ${KELVARA_PROGRAM_DIR}/Readme.txt
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${first_run_help} ${KELVARA_PROGRAM_DIR}/help
  COMMENT "Putting the first-run files into ${KELVARA_PROGRAM_DIR}"
  VERBATIM)
add_dependencies(kelvara kelvara_first_run_files)
