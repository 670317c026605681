# The layer check (see layers.cmake), run by the build as
#   cmake -DSOURCE_DIR=<source tree> -DTABLE=<layers/table.cmake> -P check_layers.cmake
# Fails, naming each one, when a layer's file includes a header from a folder
# of the source tree that its layer may not use, or climbs out of its folder
# with "..". Headers without a folder (the file's neighbours, the generated
# product header, the system's) are not the check's concern.
cmake_minimum_required(VERSION 3.25)
include(${TABLE})

set(wrong_way)
foreach(layer ${layers})
  string(JOIN ", " allowed ${reach_${layer}})
  if(allowed STREQUAL "")
    set(allowed "none")
  endif()
  file(GLOB files ${SOURCE_DIR}/${layer}/*.cpp ${SOURCE_DIR}/${layer}/*.h ${SOURCE_DIR}/${layer}/*.rc)
  foreach(file ${files})
    file(RELATIVE_PATH name ${SOURCE_DIR} ${file})
    file(STRINGS ${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]")
    foreach(line IN LISTS lines)
      if(NOT line MATCHES "include[ \t]*[<\"]([^>\"]+)[>\"]")
        continue()
      endif()
      set(header ${CMAKE_MATCH_1})
      if(header MATCHES "(^|/)\\.\\.(/|$)")
        list(APPEND wrong_way "${name} includes ${header}: name a header by its layer's folder, never by \"..\"")
      elseif(header MATCHES "^([^/]+)/")
        set(used ${CMAKE_MATCH_1})
        if(IS_DIRECTORY ${SOURCE_DIR}/${used} AND NOT used STREQUAL layer AND NOT used IN_LIST reach_${layer}
           AND NOT "${name}>${used}" IN_LIST exceptions)
          list(APPEND wrong_way "${name} includes ${header}, but ${layer} may use only: ${allowed}")
        endif()
      endif()
    endforeach()
  endforeach()
endforeach()

if(wrong_way)
  list(JOIN wrong_way "\n  " report)
  message(FATAL_ERROR "Includes that run the wrong way between the layers (the layers and what each may use "
                      "are named in the top CMakeLists.txt):\n  ${report}\n")
endif()
