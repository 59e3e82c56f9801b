# The browser build's libraries and the options of its compiler.
include(${CMAKE_CURRENT_LIST_DIR}/cross_libraries.cmake)

# Emscripten's linker runs scripts that need Debian's Node modules (acorn), which a Node
# from elsewhere does not look for.
set(CMAKE_CXX_LINKER_LAUNCHER ${CMAKE_COMMAND} -E env NODE_PATH=/usr/share/nodejs)

# The game reports its errors as exceptions; Emscripten catches none unless asked.
add_compile_options(-fexceptions)
add_link_options(-fexceptions)

# Code compiled to catch exceptions makes every call that could throw through a cleanup a
# call out to the page's script and back, which costs the sortie's frame most of its time.
# The game's rules and the engine catch nothing: an error there ends the program, and is
# still caught where the program reports it. Compiled without catching, an error passing
# through their frames skips their destructors (a leak, on the way out of the program).
function(browser_without_catching)
  foreach(target ${ARGN})
    get_target_property(options ${target} COMPILE_OPTIONS)
    list(REMOVE_ITEM options -fexceptions)
    set_property(TARGET ${target} PROPERTY COMPILE_OPTIONS ${options})
  endforeach()
endfunction()
# The drawing loops vectorise as they do on the desktop, and block copies and fills are
# single instructions instead of calls into the C library (every browser of the last years
# runs WebAssembly's SIMD and bulk memory).
add_compile_options(-msimd128 -mbulk-memory)
add_link_options(-mbulk-memory)
