# A cross build's libraries (the browser's, Windows'), built into one prefix by
# scripts/cross_deps.sh, under the names the desktop build gives them; and the desktop
# build whose tools made the game's data (a cross build runs no tools of its own).
set(SKARVELIN_DEPS_PREFIX "" CACHE PATH "Prefix of the cross build's libraries (./web, ./windows)")
set(SKARVELIN_HOST_BUILD "" CACHE PATH
  "Desktop build tree whose tools made the game's data and web-data (./web, ./windows)")
foreach(folder SKARVELIN_DEPS_PREFIX SKARVELIN_HOST_BUILD)
  if(NOT IS_DIRECTORY "${${folder}}")
    message(FATAL_ERROR "${folder} must name a folder (\"${${folder}}\"): build with ./web or ./windows")
  endif()
endforeach()

# cross_library(NAME ARCHIVE...): PkgConfig::NAME links the prefix's libARCHIVE.a files.
function(cross_library name)
  add_library(PkgConfig::${name} INTERFACE IMPORTED)
  foreach(archive ${ARGN})
    target_link_libraries(PkgConfig::${name} INTERFACE ${SKARVELIN_DEPS_PREFIX}/lib/lib${archive}.a)
  endforeach()
  target_include_directories(PkgConfig::${name} INTERFACE ${SKARVELIN_DEPS_PREFIX}/include/SDL2
    ${SKARVELIN_DEPS_PREFIX}/include)
endfunction()
cross_library(SDL2 SDL2)
cross_library(SDL2_IMAGE SDL2_image)
cross_library(SDL2_MIXER SDL2_mixer)
# In the order a linker resolves them in: harfbuzz calls freetype.
cross_library(SDL2_TTF SDL2_ttf harfbuzz freetype)
set(GIF_INCLUDE_DIR ${SKARVELIN_DEPS_PREFIX}/include)
set(GIF_LIBRARY ${SKARVELIN_DEPS_PREFIX}/lib/libgif.a)

