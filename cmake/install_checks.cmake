# Checks of the installed tree.

# Each check installs the finished build into a prefix of its own.
string(REPLACE ";" "," icon_sizes "${SKARVELIN_ICON_SIZES}")
foreach(check desktop_files_valid install_finds_its_data)
  add_test(NAME ${check} COMMAND ${CMAKE_COMMAND}
    -DCHECK=${check}
    -DBUILD_DIR=${CMAKE_BINARY_DIR}
    -DSOURCE_DIR=${CMAKE_SOURCE_DIR}
    -DWORK_DIR=${CMAKE_BINARY_DIR}/install-checks/${check}
    -DAPP_ID=${SKARVELIN_APP_ID}
    -DICON_SIZES=${icon_sizes}
    -DBINDIR=${CMAKE_INSTALL_BINDIR}
    -DDATADIR=${CMAKE_INSTALL_DATADIR}
    -DVERSION=${PROJECT_VERSION}
    -P ${CMAKE_SOURCE_DIR}/cmake/check_install.cmake)
endforeach()
