# Tests that need more than the folder's plain Qt Test programs: the web page
# tests load real pages in QtWebEngine (schemes registered before the
# application object, so they have their own main()), and the screenshot test
# renders on Xvfb and keeps splash.png and start-page*.png in its directory
# (build/test-runs/app_web_screenshots/).
parlor_add_test(app_web_webpage SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/web_webpage.cpp
    LIBS app LABELS app web TIMEOUT 120)
parlor_add_test(app_web_screenshots SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/web_screenshots.cpp
    LIBS app LABELS app web TIMEOUT 120 XVFB)
foreach(t IN ITEMS app_web_webpage app_web_screenshots)
    target_include_directories(${t} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
endforeach()
# Alone: beside a full machine of other tests its slow page's first paint
# came only after a minute (one run in three).
if(TEST app_web_webpage)
    set_tests_properties(app_web_webpage PROPERTIES RUN_SERIAL TRUE)
endif()

# The web views under a hostile web host: boxes, console and the channel,
# figures beside their goals and a plain page (optimized build only).
parlor_add_test(app_bench_web_pages SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/bench_web_pages.cpp
    LIBS app LABELS benchmark TIMEOUT 300)
if(TARGET app_bench_web_pages)
    target_include_directories(app_bench_web_pages PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
endif()
