# The window-system-free program: the model of the window, its picture, its
# commands and its tables.
add_library(ars_ui STATIC
  resources/menu_resource.cpp
  resources/accelerators.cpp
  platform/picture_scale.cpp
  display/plotter.cpp
  display/plot_mapping.cpp
  display/plot_legend.cpp
  display/envelope_drawing.cpp
  display/typed_envelope_drawing.cpp
  display/larger_dots_canvas.cpp
  display/candidate_marker.cpp
  display/proof_drawing.cpp
  display/proof_inset.cpp
  display/axis_titles.cpp
  display/axis_ticks.cpp
  display/histogram.cpp
  display/histogram_drawing.cpp
  display/dots.cpp
  display/hull_range.cpp
  display/hull_cut_mark.cpp
  display/split_lines.cpp
  model/window_model.cpp
  model/view_options.cpp
  model/curve_state.cpp
  model/density_curve.cpp
  model/sampler_commands.cpp
  model/step_beat.cpp
  model/envelope_stepper.cpp
  model/sampler_in_use.cpp
  model/other_density.cpp
  model/saved_view.cpp
  model/lesson.cpp
  model/envelope_view.cpp
  model/refusal.cpp
  model/transform_offer.cpp
  model/proof_finding.cpp
  model/plain_rejection.cpp
  model/plain_comparison.cpp
  app/main_window.cpp
  app/window_procedure.cpp
  app/commands.cpp
  app/view_commands.cpp
  app/lesson_commands.cpp
  app/user_messages.cpp
  app/status_line.cpp
  app/window_picture.cpp
  app/comparison_picture.cpp
  app/command_line.cpp
  studio/lesson_json.cpp
  studio/density_check.cpp
)
target_include_directories(ars_ui PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
# Lessons are JSON, read and written with nlohmann-json (header only).
find_package(nlohmann_json 3 REQUIRED)
target_link_libraries(ars_ui PUBLIC ars_window_core PRIVATE nlohmann_json::nlohmann_json)
target_compile_definitions(ars_ui PRIVATE ARS_VERSION="${PROJECT_VERSION}")
ars_strict_warnings(ars_ui)

# The program's desktop id: the name of its desktop entry, icon and metainfo.
set(ARS_APP_ID org.velora.AdaptiveRejectionSampler)
# The icon's rendered sizes in packaging/icons/ (made by its render-pngs).
set(ARS_ICON_SIZES 16 24 32 48 64 128 256)

# The Qt 6 implementation of the platform layer, and the program.
find_package(Qt6 REQUIRED COMPONENTS Widgets Svg)
add_subdirectory(platform/qt)
add_subdirectory(app/qt)
add_subdirectory(packaging)

include(${CMAKE_CURRENT_SOURCE_DIR}/cmake/FormulaLibrary.cmake)
target_link_libraries(ars_ui PUBLIC ars_formula)
