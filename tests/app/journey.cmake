# A new player's first minutes through the real window on a desktop, at the
# smallest supported screen and at a common large one. Pictures of every step
# in every language are kept in build/test-runs/app_journey_<screen>/.
foreach(screen 1024x768 1920x1080)
    parlor_add_test(app_journey_${screen} SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/journey.cpp
        LIBS app testserver LABELS app screenshots TIMEOUT 240 WM SCREEN ${screen})
    target_include_directories(app_journey_${screen} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
endforeach()

# A person's visit to a table through the real main window, one test per
# ruleset, on Xvfb with a window manager at 1024x768. `ctest -R journey` runs
# them alone; their pictures stay as journey-*.png in each test's directory.
set(journey_names classic international riichi)
foreach(journey_ruleset RANGE 2)
    list(GET journey_names ${journey_ruleset} journey_name)
    parlor_add_test(app_journey_${journey_name} SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/journey_hand.cpp
        LIBS app testserver LABELS app journey TIMEOUT 120 WM SCREEN 1024x768)
    target_compile_definitions(app_journey_${journey_name} PRIVATE JOURNEY_RULESET=${journey_ruleset})
    target_include_directories(app_journey_${journey_name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
endforeach()
parlor_add_test(app_journey_keyboard SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/journey_hand.cpp
    LIBS app testserver LABELS app journey TIMEOUT 120 WM SCREEN 1024x768)
target_compile_definitions(app_journey_keyboard PRIVATE JOURNEY_RULESET=0 JOURNEY_KEYBOARD=1)
target_include_directories(app_journey_keyboard PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
