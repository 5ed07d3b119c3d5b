# install.exe: the portable core and the Win32 shell, linked without any runtime. The core is
# compiled here with the shipped programs' options (-Os) so that the stub stays small.
# "install" is a name CMake reserves for its own target, hence install_exe with output name install.
# The decoder and the stream run for every byte of the payload and keep the speed-minded -Os in an
# object library of their own; everything else runs a few times per file or per package and is
# built for size alone (-Oz).
set(INSTALL_HOT_SOURCES ${INSTALL_CORE_DIR}/decoder.cpp ${INSTALL_CORE_DIR}/stream.cpp)
set(INSTALL_COLD_SOURCES ${INSTALL_CORE_SOURCES})
list(REMOVE_ITEM INSTALL_COLD_SOURCES ${INSTALL_HOT_SOURCES})
add_library(install_exe_hot OBJECT ${INSTALL_HOT_SOURCES})
add_executable(install_exe WIN32
    ${INSTALL_COLD_SOURCES}
    $<TARGET_OBJECTS:install_exe_hot>
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
target_compile_options(install_exe PRIVATE -fno-data-sections -Oz)
set_target_properties(install_exe PROPERTIES OUTPUT_NAME install
    LINK_DEPENDS ${CMAKE_CURRENT_LIST_DIR}/install.ld)
# A program always loads at its preferred base, so base relocations are dead weight; install.ld
# drops the unwind tables that libgcc's 64-bit division routines bring along.
target_link_options(install_exe PRIVATE -Wl,--disable-dynamicbase -Wl,--disable-reloc-section)
# Whole-program optimisation lets the compiler inline and specialise across the core and the shell
# and drop what the stub never reaches; Win32 promises only 4-byte stack alignment and nothing here
# needs more, so the stub does not realign its frames.
# Arguments are pushed rather than stored into a frame reserved for them, which shortens every call
# (by 850 bytes in all). GCC keeps the stored form on this target only for the stack probes that
# frames of a page or more need; the stub has none (its largest is 1.3 KB), so probes are off and
# a frame that could skip the stack's guard page is a build error instead.
set(INSTALL_EXE_CODE_OPTIONS -flto -mpreferred-stack-boundary=2 -mno-stack-arg-probe
    -mno-accumulate-outgoing-args -Werror=frame-larger-than=3072)
target_compile_options(install_exe PRIVATE ${INSTALL_EXE_CODE_OPTIONS})
target_include_directories(install_exe_hot PRIVATE ${CMAKE_CURRENT_LIST_DIR})
target_compile_options(install_exe_hot PRIVATE ${KIT_NOCRT_COMPILE_OPTIONS} -fno-data-sections
    ${INSTALL_EXE_CODE_OPTIONS})
set_target_properties(install_exe_hot PROPERTIES CXX_STANDARD 20 CXX_EXTENSIONS OFF)
target_link_options(install_exe PRIVATE ${INSTALL_EXE_CODE_OPTIONS}
    -T ${CMAKE_CURRENT_LIST_DIR}/install.ld)
