# The game sounds are WAV files outside the program, found through the
# "sounds" search path (the relative directories "sounds" and
# "resources/external/sounds/wav"). tools/make-sounds.py makes them; the
# committed copies are placed in "sounds" next to the client binary so that
# the client also finds them when started from its build directory.
file(GLOB parlor_sound_files CONFIGURE_DEPENDS "${PROJECT_SOURCE_DIR}/resources/external/sounds/wav/*.wav")
set(parlor_sound_outputs "")
foreach(wav IN LISTS parlor_sound_files)
    get_filename_component(wav_name "${wav}" NAME)
    add_custom_command(OUTPUT "${CMAKE_CURRENT_BINARY_DIR}/sounds/${wav_name}"
        COMMAND ${CMAKE_COMMAND} -E copy_if_different "${wav}" "${CMAKE_CURRENT_BINARY_DIR}/sounds/${wav_name}"
        DEPENDS "${wav}" VERBATIM)
    list(APPEND parlor_sound_outputs "${CMAKE_CURRENT_BINARY_DIR}/sounds/${wav_name}")
endforeach()
add_custom_target(client_sounds DEPENDS ${parlor_sound_outputs})
add_dependencies(client client_sounds)
