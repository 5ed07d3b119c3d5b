# Portable code of setup (no <windows.h>): state record, text helpers, script reader, path
# variables, plan, remove log. The wizard's portable sources (dialog template writer ...) are added
# by wizard.cmake as SETUP_WIZARD_CORE_SOURCES.
set(SETUP_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/state.cpp
    ${CMAKE_CURRENT_LIST_DIR}/text.cpp
    ${CMAKE_CURRENT_LIST_DIR}/script.cpp
    ${CMAKE_CURRENT_LIST_DIR}/path_variables.cpp
    ${CMAKE_CURRENT_LIST_DIR}/plan.cpp
    ${CMAKE_CURRENT_LIST_DIR}/remove_log.cpp)
# The host half of the platform seam, for the native tests and tools.
set(SETUP_HOST_SOURCES ${CMAKE_CURRENT_LIST_DIR}/platform_host.cpp)

include(${CMAKE_CURRENT_LIST_DIR}/wizard.cmake OPTIONAL)
list(APPEND SETUP_CORE_SOURCES ${SETUP_WIZARD_CORE_SOURCES})
