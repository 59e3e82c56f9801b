# The Windows packages (./windows): the game's data and faces beside the program, then a
# zip to unpack anywhere and an installer made by NSIS, each with the game alone.
file(GLOB WINDOWS_MUSIC CONFIGURE_DEPENDS ${SKARVELIN_HOST_BUILD}/web-data/music/*.ogg)
file(GLOB WINDOWS_FONTS CONFIGURE_DEPENDS ${SKARVELIN_HOST_BUILD}/web-data/fonts/*)
set(WINDOWS_FONT_DIR ${CMAKE_BINARY_DIR}/fonts)
add_custom_target(windows_data ALL
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${SKARVELIN_HOST_BUILD}/data/TarnChar.gif
    ${WINDOWS_MUSIC} ${SKARVELIN_DATA_DIR}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${WINDOWS_FONT_DIR}
  COMMAND ${CMAKE_COMMAND} -E copy_if_different ${WINDOWS_FONTS} ${WINDOWS_FONT_DIR}
  COMMENT "Putting the game's data and faces beside the program"
  VERBATIM)
add_dependencies(skarvelin windows_data)
# The packages carry no symbols: a third of the program's size.
target_link_options(skarvelin PRIVATE -s)

set(PACKAGE_NAME Skarvelin-${PROJECT_VERSION})
set(PACKAGE_STAGE ${CMAKE_BINARY_DIR}/package/${PACKAGE_NAME})
set(PACKAGE_ZIP ${CMAKE_BINARY_DIR}/${PACKAGE_NAME}-windows-x64.zip)
set(PACKAGE_SETUP ${CMAKE_BINARY_DIR}/${PACKAGE_NAME}-setup.exe)
set(PACKAGE_README ${CMAKE_SOURCE_DIR}/app/windows/README.txt)
set(PACKAGE_SCRIPT ${CMAKE_SOURCE_DIR}/app/windows/installer.nsi)
set(PACKAGE_ICON ${SKARVELIN_HOST_BUILD}/icons/skarvelin.ico)
add_custom_command(OUTPUT ${PACKAGE_ZIP} ${PACKAGE_SETUP}
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${CMAKE_BINARY_DIR}/package ${PACKAGE_ZIP} ${PACKAGE_SETUP}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${PACKAGE_STAGE}
  COMMAND ${CMAKE_COMMAND} -E copy $<TARGET_FILE:skarvelin> ${PACKAGE_README} ${PACKAGE_STAGE}
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${SKARVELIN_DATA_DIR} ${PACKAGE_STAGE}/data
  COMMAND ${CMAKE_COMMAND} -E copy_directory ${WINDOWS_FONT_DIR} ${PACKAGE_STAGE}/fonts
  COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/package
    ${CMAKE_COMMAND} -E tar cf ${PACKAGE_ZIP} --format=zip ${PACKAGE_NAME}
  COMMAND ${CMAKE_COMMAND} -E env LC_ALL=C.UTF-8 makensis -V2 -DVERSION=${PROJECT_VERSION} -DSTAGE=${PACKAGE_STAGE}
    -DICON=${PACKAGE_ICON} -DOUTFILE=${PACKAGE_SETUP} ${PACKAGE_SCRIPT}
  DEPENDS skarvelin windows_data ${WINDOWS_MUSIC} ${WINDOWS_FONTS} ${PACKAGE_README}
    ${PACKAGE_SCRIPT} ${PACKAGE_ICON}
  COMMENT "Packing ${PACKAGE_NAME} for Windows: the zip and the installer"
  VERBATIM)
add_custom_target(windows_packages ALL DEPENDS ${PACKAGE_ZIP} ${PACKAGE_SETUP})
