# setup.exe: the portable core, the Win32 shell and the resources. SETUP_WIN_SOURCES is everything
# but the entry point, so that test programs can link the whole of setup and drive it directly.
set(SETUP_WIN_SOURCES
    ${SETUP_CORE_SOURCES}
    ${CMAKE_CURRENT_LIST_DIR}/platform_win32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/startup.cpp
    ${CMAKE_CURRENT_LIST_DIR}/dialogs.cpp
    ${CMAKE_CURRENT_LIST_DIR}/installation.cpp
    ${CMAKE_CURRENT_LIST_DIR}/shell_folders.cpp
    ${SETUP_WIZARD_WIN_SOURCES})
# The main window's procedure comes with the wizard (wizard.cmake).
list(APPEND SETUP_WIN_SOURCES ${SETUP_MAIN_WINDOW_SOURCE})
set(SETUP_RESOURCES ${CMAKE_CURRENT_LIST_DIR}/setup.rc)
set(SETUP_WIN_LIBS kernel32 user32 gdi32 comctl32 shell32 ole32 advapi32 shlwapi)
# For test programs elsewhere in the tree that link the whole of setup.
set_property(GLOBAL PROPERTY SETUP_WIN_SOURCES ${SETUP_WIN_SOURCES})
set_property(GLOBAL PROPERTY SETUP_RESOURCES ${SETUP_RESOURCES})
set_property(GLOBAL PROPERTY SETUP_WIN_LIBS ${SETUP_WIN_LIBS})

add_executable(setup ${CMAKE_CURRENT_LIST_DIR}/entry.cpp ${SETUP_WIN_SOURCES} ${SETUP_RESOURCES})
target_include_directories(setup PRIVATE ${CMAKE_CURRENT_LIST_DIR})
kit_nocrt_program(setup ENTRY SetupEntry GUI LIBS ${SETUP_WIN_LIBS})
set_property(SOURCE ${SETUP_RESOURCES} APPEND PROPERTY OBJECT_DEPENDS
    ${CMAKE_CURRENT_LIST_DIR}/setup.ico ${CMAKE_CURRENT_LIST_DIR}/resource.h
    ${CMAKE_CURRENT_LIST_DIR}/wizard.rc)
# With data sections, MinGW's compiler gives a zero-initialised object a .data section with all its
# bytes; the state record (megabytes of buffers) must stay in .bss and cost no file space.
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/state.cpp PROPERTIES
    COMPILE_OPTIONS -fno-data-sections)
