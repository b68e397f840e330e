# A new player's first minutes through the real window on a desktop, at the
# smallest supported screen and at a common large one. Pictures of every step
# in every language are kept in build/test-runs/app_journey_<screen>/.
foreach(screen 1024x768 1920x1080)
    parlor_add_test(app_journey_${screen} SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/journey.cpp
        LIBS app testserver LABELS app screenshots TIMEOUT 240 WM SCREEN ${screen})
    target_include_directories(app_journey_${screen} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
endforeach()
