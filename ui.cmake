# The window-system-free application: display, app logic, resources, curves.
add_library(ars_ui STATIC
  resources/menu_resource.cpp
  resources/accelerators.cpp
  display/plotter.cpp
  display/plot_mapping.cpp
  app/window_paint.cpp
  display/envelope_drawing.cpp
  display/larger_dots_canvas.cpp
  display/picture_scale.cpp
  display/candidate_marker.cpp
  display/proof_drawing.cpp
  display/axis_titles.cpp
  display/axis_ticks.cpp
  app/status_line.cpp
  app/view_commands.cpp
  resources/legend.cpp
  app/density_curve.cpp
  app/main_window.cpp
  app/window_procedure.cpp
  app/commands.cpp
  app/darts_and_stepping.cpp
  app/command_line.cpp
  app/rehearsal.cpp
  app/proof_finding.cpp
  app/help_texts.cpp
  app/candidate_place.cpp
  app/typed_sampler.cpp
  app/other_density.cpp
  app/plain_rejection.cpp
  app/lesson_commands.cpp
  display/histogram.cpp
  app/comparison_drawing.cpp
)
target_include_directories(ars_ui PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(ars_ui PUBLIC ars_engine)
target_compile_definitions(ars_ui PRIVATE ARS_VERSION="${PROJECT_VERSION}")
ars_strict_warnings(ars_ui)

# The program's desktop id: the name of its desktop entry, icon and metainfo.
set(ARS_APP_ID org.velora.AdaptiveRejectionSampler)
# The icon's rendered sizes in packaging/icons/ (made by its render-pngs).
set(ARS_ICON_SIZES 16 24 32 48 64 128 256)

# The Qt 6 implementation of the platform layer, and the program.
find_package(Qt6 REQUIRED COMPONENTS Widgets Svg)
add_subdirectory(platform/qt)
add_subdirectory(packaging)

include(${CMAKE_CURRENT_SOURCE_DIR}/cmake/FormulaLibrary.cmake)
target_link_libraries(ars_ui PUBLIC ars_formula)
