# quarnel_split_debug(<target>): the program that is tested and shipped keeps
# no debug information. After each link it moves to <file>.debug beside the
# program, which names it in a debug link so that debuggers still find it.
# Sanitized builds keep theirs in place for their reports. The tools would
# stamp a Windows program's header with the time they run: they are told the
# link's zero instead.
function(quarnel_split_debug target)
  if(QUARNEL_SANITIZE)
    return()
  endif()
  set(program $<TARGET_FILE:${target}>)
  set(untimed ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0)
  add_custom_command(TARGET ${target} POST_BUILD
    COMMAND ${untimed} ${CMAKE_OBJCOPY} --only-keep-debug ${program} ${program}.debug
    COMMAND ${untimed} ${CMAKE_STRIP} --strip-debug --strip-unneeded ${program}
    COMMAND ${untimed} ${CMAKE_OBJCOPY} --add-gnu-debuglink=${program}.debug ${program}
    VERBATIM)
endfunction()
