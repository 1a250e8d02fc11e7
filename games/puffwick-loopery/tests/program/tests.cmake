# The program as it is started: its output, its exit status and the files it
# makes, from outside the repository. These tests run the built program.
add_dependencies(${program} puffwick-loopery)
target_compile_definitions(${program} PRIVATE PUFFWICK_PROGRAM="$<TARGET_FILE:puffwick-loopery>"
                                                PUFFWICK_PROJECT_VERSION="${PROJECT_VERSION}")
