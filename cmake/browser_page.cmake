# The page: skarvelin.html, its script and WebAssembly, and skarvelin.data with the sheet,
# the music and the fonts. The modal windows, the frame loop inside the key handler and
# the waits that deliver events stay as they are: ASYNCIFY lets them yield to the browser.
set(WEB_DATA ${SKARVELIN_HOST_BUILD}/web-data)
set(PAGE_SHELL ${CMAKE_SOURCE_DIR}/app/browser/page.html)
# SDL's browser code calls these script functions of Emscripten's, which a program that is
# not built with Emscripten's own SDL does not get unless it asks. A response file carries
# the request: their names start with a dollar sign, which no build tool passes on intact.
set(SDL_SCRIPT_FUNCTIONS_FILE ${CMAKE_BINARY_DIR}/sdl_script_functions.rsp)
file(WRITE ${SDL_SCRIPT_FUNCTIONS_FILE}
  "-sDEFAULT_LIBRARY_FUNCS_TO_INCLUDE=['$autoResumeAudioContext','$dynCall']\n")
# ASYNCIFY prepares every function that might be on the stack when the program waits, at a
# cost to speed; with calls through function pointers (C++'s virtual calls, the exceptions'
# call wrappers, operator new's handler, the text libraries' callbacks) that is nearly all
# of them. These never wait: the sortie's frame, the engine's drawing and actors, the
# raster operations, text, memory and the font libraries. (The browser gets its turns in
# the event loop, and when a frame is presented.) A function wrongly named here would
# break the program where it waits, which the browser suite would show at once.
set(NEVER_WAITING "'game::*'")
foreach(class clsNoxField clsNoxPattern clsNoxSprite clsNoxStar clsNoxCharacter clsNoxMQL
    clsNoxGroup clsNoxPlay SlotBoxes)
  string(APPEND NEVER_WAITING ",'nox::${class}*'")
endforeach()
foreach(function bit_blt Bitmap:: blend_mask SdlTextRasterizer::
    "(anonymous*namespace)::apply" "(anonymous*namespace)::CharacterCells::")
  string(APPEND NEVER_WAITING ",'platform::${function}*'")
endforeach()
foreach(function "operator*new" dlmalloc dlfree SDL_SetError TTF_ FT_ ft_
    hb_ _hb_ OT:: AAT:: CFF:: tt_ TT_ af_ ps_ cff_ sfnt_)
  string(APPEND NEVER_WAITING ",'${function}*'")
endforeach()
# The game's page has windows besides, and composing one's picture before it is presented
# never waits either: what it was composed from (composed_look.cpp), the controls' looks
# and their drawing, the form's; nor does printing onto a picture area (the sortie's frame
# count). Presenting does (WindowDispatcher::present, into which the release build folds
# compose_whole and recompose_changes), and so do a control's refresh and
# PictureBox::repaint, which present. The runner has no windows: these would name nothing
# there (its frame has print and the text functions inlined), and binaryen warns of every
# name that names nothing.
set(NEVER_WAITING_PAGE "${NEVER_WAITING}")
foreach(function ComposedLook difference recompose_controls Form::render_part blit_clipped
    fill_rect outline_rows RoundRegion:: look_of Control::look Label::look Label::render
    Button::look Button::render Image::look Image::render PictureBox::look PictureBox::render
    PictureBox::print draw_text_line line_height text_width wrap_text)
  string(APPEND NEVER_WAITING_PAGE ",'platform::${function}*'")
endforeach()
# Written only when a list changes, which links the page or the runner again (below).
set(NEVER_WAITING_FILE ${CMAKE_BINARY_DIR}/never_waiting.rsp)
set(NEVER_WAITING_PAGE_FILE ${CMAKE_BINARY_DIR}/never_waiting_page.rsp)
file(CONFIGURE OUTPUT ${NEVER_WAITING_FILE} CONTENT "-sASYNCIFY_REMOVE=[${NEVER_WAITING}]\n"
  @ONLY)
file(CONFIGURE OUTPUT ${NEVER_WAITING_PAGE_FILE}
  CONTENT "-sASYNCIFY_REMOVE=[${NEVER_WAITING_PAGE}]\n" @ONLY)
# What the game's page and the runner's are both linked with.
set(PAGE_LINK_OPTIONS
  -sASYNCIFY -sASYNCIFY_STACK_SIZE=131072
  -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=67108864
  -sEXIT_RUNTIME=1 -sENVIRONMENT=web "SHELL:@${SDL_SCRIPT_FUNCTIONS_FILE}"
  # Debian's emcc calls its HTML minifier wrongly; the page is small anyway.
  -sMINIFY_HTML=0
  "SHELL:--preload-file ${SKARVELIN_HOST_BUILD}/data/TarnChar.gif@/data/TarnChar.gif"
  "SHELL:--preload-file ${WEB_DATA}/fonts@/fonts")
set_target_properties(skarvelin PROPERTIES SUFFIX .html)
target_link_options(skarvelin PRIVATE ${PAGE_LINK_OPTIONS} "SHELL:@${NEVER_WAITING_PAGE_FILE}"
  "SHELL:--shell-file ${PAGE_SHELL}"
  "SHELL:--preload-file ${WEB_DATA}/music@/data")
file(GLOB PAGE_DATA CONFIGURE_DEPENDS ${WEB_DATA}/music/* ${WEB_DATA}/fonts/*)
set_property(TARGET skarvelin APPEND PROPERTY LINK_DEPENDS ${PAGE_SHELL} ${NEVER_WAITING_PAGE_FILE}
  ${SKARVELIN_HOST_BUILD}/data/TarnChar.gif ${PAGE_DATA}
  ${CMAKE_SOURCE_DIR}/app/browser/skarvelin.webmanifest ${CMAKE_SOURCE_DIR}/app/browser/language.js
  ${WEB_DATA}/page-texts.js ${CMAKE_SOURCE_DIR}/app/browser/service_worker.js.in
  ${CMAKE_SOURCE_DIR}/app/browser/offline_files.cmake)
# Beside the page: the fonts' licence, where the page links it, its icons and its manifest
# for a home screen, its language and its texts in English, and the service worker that
# keeps all of these for offline play.
set(PAGE_OFFLINE_FILES skarvelin.html skarvelin.js skarvelin.wasm skarvelin.data
  LICENCE-fonts.txt skarvelin.png skarvelin-192.png skarvelin-512.png skarvelin.webmanifest
  language.js page-texts.js)
add_custom_command(TARGET skarvelin POST_BUILD
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${WEB_DATA}/fonts/LICENCE-fonts.txt
    ${CMAKE_BINARY_DIR}/LICENCE-fonts.txt
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${WEB_DATA}/skarvelin.png
    ${WEB_DATA}/skarvelin-192.png ${WEB_DATA}/skarvelin-512.png
    ${CMAKE_SOURCE_DIR}/app/browser/skarvelin.webmanifest ${WEB_DATA}/page-texts.js
    ${CMAKE_SOURCE_DIR}/app/browser/language.js ${CMAKE_BINARY_DIR}
  COMMAND ${CMAKE_COMMAND} -DDIR=${CMAKE_BINARY_DIR}
    -DTEMPLATE=${CMAKE_SOURCE_DIR}/app/browser/service_worker.js.in -DOUTPUT=skarvelin-sw.js
    "-DFILES=${PAGE_OFFLINE_FILES}" -P ${CMAKE_SOURCE_DIR}/app/browser/offline_files.cmake
  VERBATIM)

# The headless runner as a page of its own (skarvelin-sim.html?ARGUMENTS), built as the game
# is, so that its --bench compares the frame's work in a browser with the desktop's.
# Only ./benchmark --web builds it.
add_executable(skarvelin-sim EXCLUDE_FROM_ALL ${CMAKE_SOURCE_DIR}/app/sim_main.cpp)
target_link_libraries(skarvelin-sim PRIVATE skarvelin_app skarvelin_warnings)
set(SIM_SHELL ${CMAKE_SOURCE_DIR}/app/browser/sim.html)
set_target_properties(skarvelin-sim PROPERTIES SUFFIX .html)
target_link_options(skarvelin-sim PRIVATE ${PAGE_LINK_OPTIONS} "SHELL:@${NEVER_WAITING_FILE}"
  "SHELL:--shell-file ${SIM_SHELL}")
set_property(TARGET skarvelin-sim APPEND PROPERTY LINK_DEPENDS ${SIM_SHELL} ${NEVER_WAITING_FILE})
