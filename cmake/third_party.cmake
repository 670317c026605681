# toml++ (settings files, JSON output) and CLI11 (the command line's options),
# both header-only, where Debian's libtomlplusplus-dev and libcli11-dev put
# them, as the targets quarnel_tomlplusplus and quarnel_cli11. Their folders
# are SYSTEM includes: their warnings are not ours. Of toml++ only the headers
# are taken (Debian's tomlplusplus package would link its shared library);
# CLI11's package is header-only.
find_path(TOMLPLUSPLUS_INCLUDE_DIR toml++/toml.h NO_CMAKE_FIND_ROOT_PATH
          DOC "Folder holding toml++/ (libtomlplusplus-dev)")
if(NOT TOMLPLUSPLUS_INCLUDE_DIR)
  message(FATAL_ERROR "toml++ not found: install libtomlplusplus-dev")
endif()
set(tomlplusplus_include ${TOMLPLUSPLUS_INCLUDE_DIR})
find_package(CLI11 CONFIG REQUIRED NO_CMAKE_FIND_ROOT_PATH)
get_target_property(cli11_include CLI11::CLI11 INTERFACE_INCLUDE_DIRECTORIES)

if(WIN32)
  # The cross build never sees the build machine's /usr/include whole: a
  # folder of the build tree holds links to these two libraries alone.
  set(header_only_include ${CMAKE_BINARY_DIR}/third-party-include)
  file(REMOVE_RECURSE ${header_only_include})
  file(MAKE_DIRECTORY ${header_only_include})
  file(CREATE_LINK ${tomlplusplus_include}/toml++ ${header_only_include}/toml++ SYMBOLIC)
  file(CREATE_LINK ${cli11_include}/CLI ${header_only_include}/CLI SYMBOLIC)
  set(tomlplusplus_include ${header_only_include})
  set(cli11_include ${header_only_include})
endif()

add_library(quarnel_tomlplusplus INTERFACE)
target_include_directories(quarnel_tomlplusplus SYSTEM INTERFACE ${tomlplusplus_include})
add_library(quarnel_cli11 INTERFACE)
target_include_directories(quarnel_cli11 SYSTEM INTERFACE ${cli11_include})
