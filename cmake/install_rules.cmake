# What `cmake --install` puts under the prefix: the game, its data, and what the desktop
# needs to list and launch it. The data tools, the headless runner and the tests stay in
# the build tree.

set(SKARVELIN_INSTALL_DATA ${CMAKE_INSTALL_DATADIR}/skarvelin)

install(TARGETS skarvelin RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The files the game loads: the sprite sheet and a wave file for each score.
file(GLOB music_scores CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/data/music/*.score)
set(game_files ${SKARVELIN_DATA_DIR}/TarnChar.gif)
foreach(score ${music_scores})
  get_filename_component(piece ${score} NAME_WE)
  list(APPEND game_files ${SKARVELIN_DATA_DIR}/${piece}.wav)
endforeach()
install(FILES ${game_files} DESTINATION ${SKARVELIN_INSTALL_DATA})
# Controller mappings are not ours to make: installed when the builder put some there.
install(FILES ${SKARVELIN_DATA_DIR}/gamecontrollerdb.txt DESTINATION ${SKARVELIN_INSTALL_DATA}
  OPTIONAL)

set(desktop_dir ${CMAKE_BINARY_DIR}/desktop)
set(desktop_entry ${desktop_dir}/${SKARVELIN_APP_ID}.desktop)
set(metainfo ${desktop_dir}/${SKARVELIN_APP_ID}.metainfo.xml)
# Written in Japanese; English, from the catalogue, becomes the plain value every other
# language falls back on, and the Japanese is marked as such.
set(desktop_files)
foreach(file ${desktop_entry} ${metainfo})
  get_filename_component(name ${file} NAME)
  set(template ${desktop_dir}/japanese/${name}.in)
  if(name MATCHES "desktop$")
    configure_file(${CMAKE_SOURCE_DIR}/data/desktop/skarvelin.desktop.in ${template} @ONLY)
  else()
    configure_file(${CMAKE_SOURCE_DIR}/data/desktop/skarvelin.metainfo.xml.in ${template} @ONLY)
  endif()
  add_custom_command(OUTPUT ${file}
    COMMAND localize fill ${SKARVELIN_CATALOGUE} ${template} ${file}
    DEPENDS localize ${SKARVELIN_CATALOGUE} ${template}
    COMMENT "Writing ${name} in English and Japanese"
    VERBATIM)
  list(APPEND desktop_files ${file})
endforeach()
add_custom_target(desktop_files ALL DEPENDS ${desktop_files})
add_dependencies(desktop_files catalogue)
install(FILES ${desktop_entry} DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${metainfo} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
foreach(size ${SKARVELIN_ICON_SIZES})
  set(theme_folder hicolor/${size}x${size}/apps)
  install(FILES ${SKARVELIN_ICON_DIR}/${theme_folder}/${SKARVELIN_APP_ID}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/${theme_folder})
endforeach()
