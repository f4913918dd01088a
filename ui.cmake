include(${CMAKE_CURRENT_SOURCE_DIR}/studio.cmake)

# The desktop program over the studio core, free of the window system's own code.
add_library(ars_ui STATIC
  frontends/qt/main_window.cpp
  frontends/qt/window_procedure.cpp
  frontends/qt/command_line.cpp
)
target_include_directories(ars_ui PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(ars_ui PUBLIC ars_studio)
target_compile_definitions(ars_ui PRIVATE ARS_VERSION="${PROJECT_VERSION}")
ars_strict_warnings(ars_ui)

# The program's desktop id: the name of its desktop entry, icon and metainfo.
set(ARS_APP_ID org.velora.AdaptiveRejectionSampler)
# The icon's rendered sizes in packaging/icons/ (made by its render-pngs).
set(ARS_ICON_SIZES 16 24 32 48 64 128 256)

# The Qt 6 implementation of the platform layer, and the program.
find_package(Qt6 REQUIRED COMPONENTS Widgets Svg)
add_subdirectory(frontends/qt/platform)
add_subdirectory(frontends/qt/dialogs)
add_subdirectory(packaging)

