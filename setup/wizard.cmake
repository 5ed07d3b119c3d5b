# The wizard: frame, pages, destination page, main window and finish. The template writer and the
# destination, launch and backdrop rules are portable and built into setup_core on the host too.
set(SETUP_WIZARD_CORE_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/wizard_template.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wizard_rules.cpp)
list(APPEND SETUP_HOST_SOURCES ${CMAKE_CURRENT_LIST_DIR}/wizard_text_host.cpp)
set(SETUP_WIZARD_WIN_SOURCES
    ${CMAKE_CURRENT_LIST_DIR}/wizard_text_win32.cpp
    ${CMAKE_CURRENT_LIST_DIR}/wizard.cpp
    ${CMAKE_CURRENT_LIST_DIR}/pages.cpp
    ${CMAKE_CURRENT_LIST_DIR}/destination.cpp)
set(SETUP_MAIN_WINDOW_SOURCE ${CMAKE_CURRENT_LIST_DIR}/main_frame.cpp)
