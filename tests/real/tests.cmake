# The real machine's tests open SDL windows and read SDL's state themselves.
target_link_libraries(${program} PRIVATE PkgConfig::SDL2)
