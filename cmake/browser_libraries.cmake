# The browser build's libraries, built for WebAssembly into one prefix by
# scripts/web_deps.sh, under the names the desktop build gives them; and the desktop
# build whose tools made the game's data (the browser build runs no tools of its own).
set(SKARVELIN_WEB_DEPS "" CACHE PATH "Prefix of the browser build's libraries (./web sets it)")
set(SKARVELIN_HOST_BUILD "" CACHE PATH
  "Desktop build tree whose tools made the game's data and web-data (./web sets it)")
foreach(folder SKARVELIN_WEB_DEPS SKARVELIN_HOST_BUILD)
  if(NOT IS_DIRECTORY "${${folder}}")
    message(FATAL_ERROR "${folder} must name a folder (\"${${folder}}\"): build with ./web")
  endif()
endforeach()

# browser_library(NAME ARCHIVE...): PkgConfig::NAME links the prefix's libARCHIVE.a files.
function(browser_library name)
  add_library(PkgConfig::${name} INTERFACE IMPORTED)
  foreach(archive ${ARGN})
    target_link_libraries(PkgConfig::${name} INTERFACE ${SKARVELIN_WEB_DEPS}/lib/lib${archive}.a)
  endforeach()
  target_include_directories(PkgConfig::${name} INTERFACE ${SKARVELIN_WEB_DEPS}/include/SDL2
    ${SKARVELIN_WEB_DEPS}/include)
endfunction()
browser_library(SDL2 SDL2)
browser_library(SDL2_IMAGE SDL2_image)
browser_library(SDL2_MIXER SDL2_mixer)
browser_library(SDL2_TTF SDL2_ttf freetype harfbuzz)
set(GIF_INCLUDE_DIR ${SKARVELIN_WEB_DEPS}/include)
set(GIF_LIBRARY ${SKARVELIN_WEB_DEPS}/lib/libgif.a)

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
