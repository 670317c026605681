# The product's version comes from app/product_version.h.in; this derives the
# numbered forms Windows wants ("4.1d" is 4,1,4,0) and writes the header.
set(product_template ${CMAKE_SOURCE_DIR}/app/product_version.h.in)
file(STRINGS ${product_template} version_define REGEX "^#define QUARNEL_VERSION \"")
if(NOT version_define MATCHES "\"([0-9]+)\\.([0-9]+)([a-z]?)\"")
  message(FATAL_ERROR "${product_template}: QUARNEL_VERSION is not of the form \"4.1d\"")
endif()
set(major ${CMAKE_MATCH_1})
set(minor ${CMAKE_MATCH_2})
set(suffix "${CMAKE_MATCH_3}")
set(QUARNEL_VERSION "${major}.${minor}${suffix}")
set(letter 0)
if(NOT suffix STREQUAL "")
  string(FIND "abcdefghijklmnopqrstuvwxyz" "${suffix}" letter)
  math(EXPR letter "${letter} + 1")
endif()
set(QUARNEL_VERSION_NUMBERS "${major},${minor},${letter},0")
set(QUARNEL_VERSION_DOTTED "${major}.${minor}.${letter}.0")

set(QUARNEL_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
configure_file(${product_template} ${QUARNEL_GENERATED_DIR}/product_version.h @ONLY)

# Everything that names the product includes product_version.h through this.
add_library(quarnel_product INTERFACE)
target_include_directories(quarnel_product INTERFACE ${QUARNEL_GENERATED_DIR})
