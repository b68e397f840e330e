# The main window's screenshots: rendered on Xvfb, kept as
# login-*.png, registration-*.png, lobby-*.png, preferences-*.png and
# silence-*.png in build/test-runs/app_mainwindow_screenshots/.
parlor_add_test(app_mainwindow_screenshots SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/mainwindow_screenshots.cpp
    LIBS app testserver LABELS app screenshots TIMEOUT 120 XVFB SCREEN 1920x1200)
target_include_directories(app_mainwindow_screenshots PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
# The main window against the test game server and a Prosody test server.
if(TARGET app_tst_mainwindow_social)
    target_link_libraries(app_tst_mainwindow_social PRIVATE xmpptestharness)
    target_include_directories(app_tst_mainwindow_social PRIVATE ${PROJECT_SOURCE_DIR}/tests/social)
endif()
# The client with both servers under Xvfb: the lobby with its chat room and a
# table's page, kept as lobby-chat.png and table-page.png in
# build/test-runs/app_mainwindow_live_screenshots/.
parlor_add_test(app_mainwindow_live_screenshots SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/mainwindow_live_screenshots.cpp
    LIBS app testserver xmpptestharness LABELS app screenshots TIMEOUT 120 XVFB)
target_include_directories(app_mainwindow_live_screenshots PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}
    ${PROJECT_SOURCE_DIR}/tests/social)
