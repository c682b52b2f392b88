# cmake -DSOURCE=<file> -DTARGET=<file> -P CopyIfMissing.cmake
# Puts a shipped file in place only when there is none yet: the copy in the program folder is the
# user's to edit, and a later build must not undo that.
if(NOT EXISTS "${TARGET}")
  get_filename_component(target_dir "${TARGET}" DIRECTORY)
  file(MAKE_DIRECTORY "${target_dir}")
  file(COPY_FILE "${SOURCE}" "${TARGET}")
endif()
