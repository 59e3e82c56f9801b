# web_data: what the browser build takes from this desktop build besides the sheet and the
# stored pictures, made by this build's tools and Debian's: the music as Ogg Vorbis
# (oggenc), the Japanese and Latin faces cut to the game's characters and renamed (fonttools),
# with their licence, and the table of line breaks (breakgen). Only ./web builds it.
set(WEB_MUSIC_DIR ${SKARVELIN_WEB_DATA_DIR}/music)
set(WEB_FONT_DIR ${SKARVELIN_WEB_DATA_DIR}/fonts)
set(WEB_FILES)

file(GLOB WEB_SCORES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/music/*.score)
foreach(score ${WEB_SCORES})
  get_filename_component(piece ${score} NAME_WE)
  set(ogg ${WEB_MUSIC_DIR}/${piece}.ogg)
  # Quality 4 (about 128 kbit/s): the synthesised music keeps its sound at an eighth of the size.
  add_custom_command(OUTPUT ${ogg}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${WEB_MUSIC_DIR}
    COMMAND oggenc --quiet -q 4 -o ${ogg} ${SKARVELIN_DATA_DIR}/${piece}.wav
    DEPENDS ${SKARVELIN_DATA_DIR}/${piece}.wav
    COMMENT "Compressing ${piece} for the browser"
    VERBATIM)
  list(APPEND WEB_FILES ${ogg})
endforeach()

set(GAME_CHARACTERS ${SKARVELIN_WEB_DATA_DIR}/game_characters.txt)
# The Japanese faces, and the Latin one of the English texts, each renamed: the IPA licence
# asks it of a derived font, and the Liberation one reserves its name to the unmodified fonts.
set(SYSTEM_FONT_DIR /usr/share/fonts)
foreach(face "opentype/ipafont-gothic/ipag.ttf|Skarvelin Gothic|skarvelin-gothic.ttf"
    "opentype/ipafont-gothic/ipagp.ttf|Skarvelin P Gothic|skarvelin-pgothic.ttf"
    "opentype/ipafont-mincho/ipam.ttf|Skarvelin Mincho|skarvelin-mincho.ttf"
    "opentype/ipafont-mincho/ipamp.ttf|Skarvelin P Mincho|skarvelin-pmincho.ttf"
    "truetype/liberation2/LiberationSans-Regular.ttf|Skarvelin Sans|skarvelin-sans.ttf"
    "truetype/liberation2/LiberationSans-Bold.ttf|Skarvelin Sans Bold|skarvelin-sans-bold.ttf")
  string(REPLACE "|" ";" face "${face}")
  list(GET face 0 source)
  list(GET face 1 family)
  list(GET face 2 file)
  add_custom_command(OUTPUT ${WEB_FONT_DIR}/${file}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${WEB_FONT_DIR}
    COMMAND /usr/bin/python3 ${CMAKE_SOURCE_DIR}/tools/fontsubset/subset_font.py
      ${SYSTEM_FONT_DIR}/${source} ${GAME_CHARACTERS} ${family} ${WEB_FONT_DIR}/${file}
    DEPENDS ${SYSTEM_FONT_DIR}/${source} ${GAME_CHARACTERS}
      ${CMAKE_SOURCE_DIR}/tools/fontsubset/subset_font.py
    COMMENT "Cutting ${family} to the game's characters"
    VERBATIM)
  list(APPEND WEB_FILES ${WEB_FONT_DIR}/${file})
endforeach()

set(FONT_LICENCE ${WEB_FONT_DIR}/LICENCE-fonts.txt)
set(IPA_COPYRIGHT /usr/share/doc/fonts-ipafont-gothic/copyright)
set(LIBERATION_COPYRIGHT /usr/share/doc/fonts-liberation2/copyright)
add_custom_command(OUTPUT ${FONT_LICENCE}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${WEB_FONT_DIR}
  COMMAND ${CMAKE_COMMAND} -E cat ${CMAKE_SOURCE_DIR}/data/web/fonts-note.txt ${IPA_COPYRIGHT}
    ${CMAKE_SOURCE_DIR}/data/web/fonts-note-latin.txt ${LIBERATION_COPYRIGHT} > ${FONT_LICENCE}
  DEPENDS ${CMAKE_SOURCE_DIR}/data/web/fonts-note.txt ${IPA_COPYRIGHT}
    ${CMAKE_SOURCE_DIR}/data/web/fonts-note-latin.txt ${LIBERATION_COPYRIGHT}
  COMMENT "Putting the fonts' licence beside them")
list(APPEND WEB_FILES ${FONT_LICENCE})

# The page's icon: the desktop's, drawn from the fighter.
set(WEB_ICON ${SKARVELIN_WEB_DATA_DIR}/skarvelin.png)
set(DESKTOP_ICON ${SKARVELIN_ICON_DIR}/hicolor/48x48/apps/${SKARVELIN_APP_ID}.png)
add_custom_command(OUTPUT ${WEB_ICON}
  COMMAND ${CMAKE_COMMAND} -E copy ${DESKTOP_ICON} ${WEB_ICON}
  DEPENDS ${DESKTOP_ICON}
  VERBATIM)
list(APPEND WEB_FILES ${WEB_ICON})
# The installed page's icons, at the sizes a phone's home screen and splash screen ask for.
foreach(size 192 512)
  set(icon ${SKARVELIN_WEB_DATA_DIR}/skarvelin-${size}.png)
  add_custom_command(OUTPUT ${icon}
    COMMAND icongen ${CMAKE_SOURCE_DIR}/data/sheet/palette.txt
      ${CMAKE_SOURCE_DIR}/data/sheet/fighter.txt ${size} ${icon}
    DEPENDS icongen ${CMAKE_SOURCE_DIR}/data/sheet/palette.txt
      ${CMAKE_SOURCE_DIR}/data/sheet/fighter.txt
    COMMENT "Drawing the page's ${size}x${size} icon"
    VERBATIM)
  list(APPEND WEB_FILES ${icon})
endforeach()

# The page's own texts in English, from the catalogue the program carries.
set(WEB_PAGE_TEXTS ${SKARVELIN_WEB_DATA_DIR}/page-texts.js)
add_custom_command(OUTPUT ${WEB_PAGE_TEXTS}
  COMMAND localize page ${SKARVELIN_CATALOGUE} ${CMAKE_SOURCE_DIR}/app/browser/page.html
    ${WEB_PAGE_TEXTS}
  DEPENDS localize ${SKARVELIN_CATALOGUE} ${CMAKE_SOURCE_DIR}/app/browser/page.html
  COMMENT "Writing the page's texts in English"
  VERBATIM)
list(APPEND WEB_FILES ${WEB_PAGE_TEXTS})

add_custom_target(web_data DEPENDS ${WEB_FILES})
add_dependencies(web_data web_break_table music_data sheet_data icon_data catalogue)
