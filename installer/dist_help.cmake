# Copies Optimizer.hlp and Optimizer.cnt into the installation set when they have been made;
# a set without them still installs (the help files are optional to the installer).
foreach(name Optimizer.hlp Optimizer.cnt)
  foreach(candidate ${BINARY_DIR}/help/${name} ${BINARY_DIR}/bin/${name} ${SOURCE_DIR}/help/${name})
    if(EXISTS ${candidate})
      file(COPY_FILE ${candidate} ${DIST}/${name} ONLY_IF_DIFFERENT)
      break()
    endif()
  endforeach()
endforeach()
