# install.exe: the portable core and the Win32 shell, linked without any runtime. The core is
# compiled here with the shipped programs' options (-Os) so that the stub stays small.
# "install" is a name CMake reserves for its own target, hence install_exe with output name install.
add_executable(install_exe WIN32
    ${INSTALL_CORE_SOURCES}
    ${CMAKE_CURRENT_LIST_DIR}/command_line.cpp
    ${CMAKE_CURRENT_LIST_DIR}/launcher.cpp
    ${CMAKE_CURRENT_LIST_DIR}/package_file.cpp
    ${CMAKE_CURRENT_LIST_DIR}/progress_dialog.cpp
    ${CMAKE_CURRENT_LIST_DIR}/win32_seam.cpp
    ${CMAKE_CURRENT_LIST_DIR}/install.rc)
target_include_directories(install_exe PRIVATE ${CMAKE_CURRENT_LIST_DIR})
set_source_files_properties(${CMAKE_CURRENT_LIST_DIR}/install.rc PROPERTIES
    OBJECT_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/install.ico)
kit_nocrt_program(install_exe ENTRY LauncherEntry GUI LIBS kernel32 user32 comctl32)
# On PE every writable object would otherwise land in .data$name, zero-filled tables included, and
# take room in the file; without data sections they stay in .bss.
target_compile_options(install_exe PRIVATE -fno-data-sections)
set_target_properties(install_exe PROPERTIES OUTPUT_NAME install)
# A program always loads at its preferred base, so base relocations are dead weight; so are the
# unwind tables that libgcc's 64-bit division routines bring along.
target_link_options(install_exe PRIVATE -Wl,--disable-dynamicbase -Wl,--disable-reloc-section)
add_custom_command(TARGET install_exe POST_BUILD
    COMMAND ${CMAKE_OBJCOPY} --remove-section .eh_fram $<TARGET_FILE:install_exe>
    VERBATIM)
