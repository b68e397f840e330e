# The compiled splash picture is also compiled in as its pixels, made at build
# time by tools/splash-pixels.cpp, beside it in the edition tree
# (":/parlor7/splash.png.pixels"): the splash shows them without decoding.
add_executable(splash_pixels ${PROJECT_SOURCE_DIR}/tools/splash-pixels.cpp)
target_link_libraries(splash_pixels PRIVATE Qt6::Gui)
set_target_properties(splash_pixels PROPERTIES AUTOMOC OFF AUTOUIC OFF AUTORCC OFF)
set(parlor_splash_png "${PROJECT_SOURCE_DIR}/resources/parlor7/splash.png")
set(parlor_splash_pixels "${CMAKE_CURRENT_BINARY_DIR}/splash.png.pixels")
# A sanitized tool's leak report at its exit would fail the build.
add_custom_command(OUTPUT "${parlor_splash_pixels}"
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=0 QT_QPA_PLATFORM=offscreen
        $<TARGET_FILE:splash_pixels> "${parlor_splash_png}" "${parlor_splash_pixels}"
    DEPENDS splash_pixels "${parlor_splash_png}" VERBATIM)
qt_add_resources(app "splash_pixels"
    PREFIX "/parlor7"
    BASE "${CMAKE_CURRENT_BINARY_DIR}"
    FILES "${parlor_splash_pixels}"
    OPTIONS -no-compress)
