# The OpenAL driver once more on OpenAL Soft's null output, so that its device
# path runs on machines without a sound card.
if(TARGET test_audio)
  add_test(NAME audio_openal_null_output COMMAND test_audio --gtest_filter=OpenAL*)
  set_tests_properties(audio_openal_null_output PROPERTIES
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    ENVIRONMENT "ALSOFT_DRIVERS=null;PUFFWICK_EXPECT_AL_DEVICE=1")
endif()

# On Windows, DirectSound chosen first thing in a process, as the game does at start.
if(TARGET test_audio AND BRINDLE_TARGET STREQUAL "win32")
  add_test(NAME audio_directsound_at_start COMMAND test_audio --gtest_filter=DirectSoundAtStart.*)
  set_tests_properties(audio_directsound_at_start PROPERTIES
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR} ENVIRONMENT "PUFFWICK_FRESH_OPENAL=1")
endif()
