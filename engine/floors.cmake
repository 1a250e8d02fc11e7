# How the build holds the floors. Every library gets an include root of its own
# holding only its folder (under the prefix its headers are included by), and sees
# another library's headers only by linking it. Libraries link downwards only, so
# an include of a floor above finds no file and fails to build.

# brindle_library(<target> PREFIX <p> DIR <folder> [SOURCES ...] [GLOB <folders>...]
#                 [PUBLIC <targets>...] [PRIVATE <targets>...])
# A static library of the .cpp files in the GLOB folders (not their subfolders)
# plus SOURCES; its headers are included as "<p>/...". PREFIX may be shared by
# several libraries of one floor (the platform's modules).
function(brindle_library target)
  cmake_parse_arguments(A "" "PREFIX;DIR" "SOURCES;GLOB;PUBLIC;PRIVATE" ${ARGN})
  set(sources ${A_SOURCES})
  foreach(folder ${A_GLOB})
    file(GLOB found CONFIGURE_DEPENDS ${folder}/*.cpp)
    list(APPEND sources ${found})
  endforeach()
  set(root ${CMAKE_BINARY_DIR}/include/${A_PREFIX})
  if(NOT EXISTS ${root}/${A_PREFIX})
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${A_DIR} ${root}/${A_PREFIX} SYMBOLIC)
  endif()
  if(sources)
    add_library(${target} STATIC ${sources})
    target_include_directories(${target} PUBLIC ${root})
    target_link_libraries(${target} PUBLIC ${A_PUBLIC} PRIVATE ${A_PRIVATE})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${root})
    target_link_libraries(${target} INTERFACE ${A_PUBLIC})
  endif()
endfunction()

# brindle_test_folders(<folder> <name prefix> <libraries>...)
# One GoogleTest program per subfolder holding .cpp files (<folder>/shell ->
# <prefix>shell), registered case by case and as a whole, and the CTest
# registrations a subfolder's tests.cmake adds.
#
# Tests of what only Linux has (child processes, signals, permission bits,
# links, an X server, Python) live in files named *_posix_test.cpp, or in a
# folder with a file LINUX-ONLY; other targets leave them out. Likewise a
# *_win32_test.cpp or *_web_test.cpp builds only for its own target.
function(brindle_test_folders folder prefix)
  file(GLOB dirs LIST_DIRECTORIES true CONFIGURE_DEPENDS ${folder}/*)
  foreach(dir ${dirs})
    if(NOT IS_DIRECTORY ${dir})
      continue()
    endif()
    if(NOT BRINDLE_TARGET STREQUAL "posix" AND EXISTS ${dir}/LINUX-ONLY)
      continue()
    endif()
    get_filename_component(name ${dir} NAME)
    file(GLOB test_sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    foreach(target posix win32 web)
      if(NOT BRINDLE_TARGET STREQUAL target)
        list(FILTER test_sources EXCLUDE REGEX "_${target}_test\\.cpp$")
      endif()
    endforeach()
    if(test_sources)
      set(program ${prefix}${name})
      add_executable(${program} ${test_sources})
      target_link_libraries(${program} PRIVATE ${ARGN} brindle_testkit GTest::gtest GTest::gtest_main)
      target_compile_definitions(${program} PRIVATE
        PUFFWICK_SOURCE_DIR="${CMAKE_SOURCE_DIR}" PUFFWICK_BINARY_DIR="${CMAKE_BINARY_DIR}")
      # A cross-built program lists its cases through the emulator: when ctest
      # runs (with the emulator warmed up), not at every build.
      set(discovery POST_BUILD)
      if(CMAKE_CROSSCOMPILING)
        set(discovery PRE_TEST)
      endif()
      gtest_discover_tests(${program} WORKING_DIRECTORY ${CMAKE_BINARY_DIR} DISCOVERY_TIMEOUT 60
                           DISCOVERY_MODE ${discovery})
      # The whole program once more in one process, so that state one case leaves
      # behind shows up in the next.
      add_test(NAME ${program}_one_process COMMAND ${program})
      set_tests_properties(${program}_one_process PROPERTIES WORKING_DIRECTORY ${CMAKE_BINARY_DIR} TIMEOUT 900)
    endif()
    if(EXISTS ${dir}/tests.cmake)
      include(${dir}/tests.cmake)
    endif()
  endforeach()
endfunction()
