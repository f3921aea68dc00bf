# Fails when a file of the window's folders FOLDERS (blank-separated) includes a header
# of a window folder not in ALLOWED (comma-separated): a library may use only the
# libraries built before it (src/gui/CMakeLists.txt).
#
# cmake -DFOLDERS="forms reports" -DALLOWED=view,platform,... -DROOT=src/gui -P this file
cmake_policy(SET CMP0057 NEW)
separate_arguments(folders UNIX_COMMAND "${FOLDERS}")
string(REPLACE "," ";" allowed "${ALLOWED}")
set(wrong)
foreach(folder ${folders})
  file(GLOB files ${ROOT}/${folder}/*.cpp ${ROOT}/${folder}/*.h)
  foreach(file ${files})
    file(STRINGS ${file} includes REGEX "^#include \"gui/[a-z_]+/")
    foreach(line ${includes})
      string(REGEX REPLACE "^#include \"gui/([a-z_]+)/.*" "\\1" used "${line}")
      if(NOT used IN_LIST allowed)
        file(RELATIVE_PATH shown ${ROOT} ${file})
        list(APPEND wrong "gui/${shown}: ${line}")
      endif()
    endforeach()
  endforeach()
endforeach()
if(wrong)
  list(JOIN wrong "\n  " shown)
  message(FATAL_ERROR "includes of a later library of the window:\n  ${shown}")
endif()
