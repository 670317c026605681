# Layers. Each source folder is a layer, built as the library quarnel_<folder>.
# The top CMakeLists.txt names them lowest first with quarnel_layer_uses(),
# each with the layers it builds on; a layer may use those and, in turn, what
# they use, nothing else. Its library links them alone, and its files see only
# their folders: each layer has an include tree in the build holding a link to
# its own folder, and the trees of the layers below come with their libraries.
# An include that runs the wrong way does not compile; before the compiler
# meets it, the layer check (check_layers.cmake) names it, in every build tree
# and for the files of both platforms.

set(QUARNEL_LAYER_TREES ${CMAKE_BINARY_DIR}/layers)
set_property(GLOBAL PROPERTY QUARNEL_LAYERS "")
set_property(GLOBAL PROPERTY QUARNEL_LAYER_EXCEPTIONS "")

# quarnel_layer_uses(<layer> [<layer below>...])
function(quarnel_layer_uses layer)
  get_property(layers GLOBAL PROPERTY QUARNEL_LAYERS)
  set(reach ${ARGN})
  foreach(used ${ARGN})
    if(NOT used IN_LIST layers)
      message(FATAL_ERROR "Layer ${layer} uses ${used}, which is not a layer named before it")
    endif()
    get_property(below GLOBAL PROPERTY QUARNEL_LAYER_REACH_${used})
    list(APPEND reach ${below})
  endforeach()
  list(REMOVE_DUPLICATES reach)
  set_property(GLOBAL APPEND PROPERTY QUARNEL_LAYERS ${layer})
  set_property(GLOBAL PROPERTY QUARNEL_LAYER_USES_${layer} ${ARGN})
  set_property(GLOBAL PROPERTY QUARNEL_LAYER_REACH_${layer} ${reach})
endfunction()

# quarnel_layer_exception(<file> <layer>): lets one file include a layer its
# own may not use. Only for includes on their way out.
function(quarnel_layer_exception file used)
  set_property(GLOBAL APPEND PROPERTY QUARNEL_LAYER_EXCEPTIONS "${file}>${used}")
endfunction()

# quarnel_layer(<sources>...): the library of the folder that calls it.
function(quarnel_layer)
  get_filename_component(layer ${CMAKE_CURRENT_SOURCE_DIR} NAME)
  get_property(layers GLOBAL PROPERTY QUARNEL_LAYERS)
  if(NOT layer IN_LIST layers)
    message(FATAL_ERROR "${layer}/ is no layer: name it with quarnel_layer_uses() in CMakeLists.txt")
  endif()
  add_library(quarnel_${layer} STATIC ${ARGN})
  set(tree ${QUARNEL_LAYER_TREES}/${layer})
  file(MAKE_DIRECTORY ${tree})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${tree}/${layer} SYMBOLIC)
  target_include_directories(quarnel_${layer} PUBLIC ${tree})
  get_property(uses GLOBAL PROPERTY QUARNEL_LAYER_USES_${layer})
  list(TRANSFORM uses PREPEND quarnel_)
  target_link_libraries(quarnel_${layer} PUBLIC ${uses})
  # The files an exception lets through need that layer to compile and link;
  # privately, so that the layers above do not reach it through this one.
  get_property(exceptions GLOBAL PROPERTY QUARNEL_LAYER_EXCEPTIONS)
  foreach(exception ${exceptions})
    if(exception MATCHES "^${layer}/[^>]+>(.+)$")
      target_link_libraries(quarnel_${layer} PRIVATE quarnel_${CMAKE_MATCH_1})
    endif()
  endforeach()
  if(WIN32)
    target_link_libraries(quarnel_${layer} PUBLIC quarnel_windows_api)
  endif()
  add_dependencies(quarnel_${layer} quarnel_layer_check)
endfunction()

# The check, run by every build before any layer compiles. Call once the
# table is complete.
function(quarnel_add_layer_check)
  get_property(layers GLOBAL PROPERTY QUARNEL_LAYERS)
  get_property(exceptions GLOBAL PROPERTY QUARNEL_LAYER_EXCEPTIONS)
  set(table "set(layers ${layers})\nset(exceptions \"${exceptions}\")\n")
  set(checked_files)
  foreach(layer ${layers})
    get_property(reach GLOBAL PROPERTY QUARNEL_LAYER_REACH_${layer})
    string(APPEND table "set(reach_${layer} ${reach})\n")
    file(GLOB files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/${layer}/*.cpp ${CMAKE_SOURCE_DIR}/${layer}/*.h
         ${CMAKE_SOURCE_DIR}/${layer}/*.rc)
    list(APPEND checked_files ${files})
  endforeach()
  set(table_file ${QUARNEL_LAYER_TREES}/table.cmake)
  file(CONFIGURE OUTPUT ${table_file} CONTENT "${table}")
  set(stamp ${QUARNEL_LAYER_TREES}/checked)
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${CMAKE_SOURCE_DIR} -DTABLE=${table_file}
            -P ${CMAKE_SOURCE_DIR}/cmake/check_layers.cmake
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    DEPENDS ${checked_files} ${table_file} ${CMAKE_SOURCE_DIR}/cmake/check_layers.cmake
    COMMENT "Checking that each layer includes only the layers below it"
    VERBATIM)
  add_custom_target(quarnel_layer_check DEPENDS ${stamp})
endfunction()
