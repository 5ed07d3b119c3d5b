# The portable payload core of install: no <windows.h>, no C runtime. It reaches the platform only
# through seam.h, implemented by the Win32 shell (program.cmake) and by tools/mkinstall for the host.
set(INSTALL_CORE_DIR ${CMAKE_CURRENT_LIST_DIR})
set(INSTALL_CORE_SOURCES
    ${INSTALL_CORE_DIR}/messages.cpp
    ${INSTALL_CORE_DIR}/extraction_state.cpp
    ${INSTALL_CORE_DIR}/hooks.cpp
    ${INSTALL_CORE_DIR}/huffman.cpp
    ${INSTALL_CORE_DIR}/decoder.cpp
    ${INSTALL_CORE_DIR}/stream.cpp
    ${INSTALL_CORE_DIR}/gzip_header.cpp
    ${INSTALL_CORE_DIR}/tar.cpp
)

if(WIN32)
  # The same sources compiled the way install.exe compiles them (freestanding, no exceptions or RTTI):
  # program.cmake may link this object library, and it proves the core needs no runtime.
  add_library(install_core_win OBJECT ${INSTALL_CORE_SOURCES})
  target_include_directories(install_core_win PUBLIC ${INSTALL_CORE_DIR})
  target_compile_options(install_core_win PRIVATE ${KIT_NOCRT_COMPILE_OPTIONS} -O2 -Werror)
  set_target_properties(install_core_win PROPERTIES CXX_STANDARD 20 CXX_EXTENSIONS OFF)
endif()
