# How the program is cut into layers: the functions that make a layer's library, and the
# check of what a layer's sources may include.

# Sanitizers only on the game's own code and its tests, so that the data tools
# run at full speed in every build.
function(skarvelin_sanitize target)
  if(SKARVELIN_SANITIZE OR SKARVELIN_FUZZ)
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer)
    if(SKARVELIN_FUZZ)
      target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
    endif()
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
      target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/cmake/sanitizer_defaults.cpp)
    endif()
  endif()
endfunction()

# Links each file or folder (relative to the source root) into an include root.
function(skarvelin_link_into root)
  foreach(entry ${ARGN})
    get_filename_component(parent ${root}/${entry} DIRECTORY)
    file(MAKE_DIRECTORY ${parent})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${entry} ${root}/${entry} SYMBOLIC)
  endforeach()
endfunction()

# A layer of the program: a library whose include root holds its own folders or headers
# alone, so that it sees only its own headers and those of the layers it links.
function(skarvelin_layer target)
  set(root ${CMAKE_BINARY_DIR}/layers/${target})
  skarvelin_link_into(${root} ${ARGN})
  target_include_directories(${target} PUBLIC ${root})
  target_link_libraries(${target} PRIVATE skarvelin_warnings)
  skarvelin_sanitize(${target})
endfunction()

# Headers a layer keeps to itself: its own sources see them, no other layer does.
function(skarvelin_layer_internals target)
  set(root ${CMAKE_BINARY_DIR}/layers/${target}-internal)
  skarvelin_link_into(${root} ${ARGN})
  target_include_directories(${target} PRIVATE ${root})
endfunction()

# Refuses, when the build is configured, an include that crosses a layer's boundary in a
# way an include root cannot stop.
function(skarvelin_check_includes)
  # SDL's headers are reachable only through the backend's private include path,
  # except as <SDL2/...>, which /usr/include offers to everyone: that spelling is refused.
  # The engine and the game draw on picture areas and read keys; the forms, the window
  # dispatcher and its backend are the windows' business alone.
  set(ENGINE_MAY_USE_FROM_LEGACY control gdi region picture_box input virtual_keys events)
  list(JOIN ENGINE_MAY_USE_FROM_LEGACY "|" allowed)
  file(GLOB_RECURSE LAYER_FILES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/app/*
    ${CMAKE_SOURCE_DIR}/engine/*
    ${CMAKE_SOURCE_DIR}/game/* ${CMAKE_SOURCE_DIR}/platform/*)
  foreach(f ${LAYER_FILES})
    if(NOT f MATCHES "/platform/sdl/")
      file(STRINGS ${f} hits REGEX "#include[ \t]*[<\"]SDL2/")
      if(hits)
        message(FATAL_ERROR "${f} includes an SDL header; only platform/sdl/ may")
      endif()
    endif()
    if(f MATCHES "/(engine|game)/")
      file(STRINGS ${f} hits REGEX "#include[ \t]*\"platform/legacy/")
      list(FILTER hits EXCLUDE REGEX "platform/legacy/(${allowed})\\.h\"")
      if(hits)
        message(FATAL_ERROR "${f}: ${hits}: the engine and the game draw on picture areas; "
          "the forms and the window system are the windows' own")
      endif()
    endif()
  endforeach()
endfunction()
