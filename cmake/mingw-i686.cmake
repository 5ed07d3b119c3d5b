# Cross build for 32-bit Windows with MinGW-w64; tests run the programs under Wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(KIT_MINGW_PREFIX i686-w64-mingw32)

set(CMAKE_C_COMPILER ${KIT_MINGW_PREFIX}-gcc)
set(CMAKE_CXX_COMPILER ${KIT_MINGW_PREFIX}-g++)
set(CMAKE_RC_COMPILER ${KIT_MINGW_PREFIX}-windres)
set(CMAKE_OBJDUMP ${KIT_MINGW_PREFIX}-objdump)
set(CMAKE_FIND_ROOT_PATH /usr/${KIT_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# Every test command that names a target runs through Wine, inside the kit's private prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
