# The Windows build's libraries, and how its programs link: statically, so that a program
# needs only the DLLs every Windows has.
include(${CMAKE_CURRENT_LIST_DIR}/cross_libraries.cmake)

# What SDL2 calls in Windows itself, as SDL's own build links it.
target_link_libraries(PkgConfig::SDL2 INTERFACE setupapi winmm imm32 version ole32 oleaut32
  gdi32 user32 shell32 advapi32 uuid)
add_link_options(-static -static-libgcc -static-libstdc++)
# UTF-16 for every Windows call the game makes itself; its own strings stay UTF-8.
add_compile_definitions(UNICODE _UNICODE WIN32_LEAN_AND_MEAN NOMINMAX)
