# The studio core: the session with its commands, state, layout and picture,
# free of any window system (the desktop and the browser both build on it).
add_library(ars_studio STATIC
  platform/picture_scale.cpp
  display/plotter.cpp
  display/plot_mapping.cpp
  display/plot_legend.cpp
  display/plot_theme.cpp
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
  display/accepted_values_drawing.cpp
  display/dots.cpp
  display/hull_range.cpp
  display/hull_cut_mark.cpp
  display/hull_gaps.cpp
  display/hull_gap_mark.cpp
  display/new_point_ring.cpp
  display/split_lines.cpp
  display/envelope_view.cpp
  display/plot_layout.cpp
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
  model/refusal.cpp
  model/transform_offer.cpp
  model/proof_finding.cpp
  model/plain_rejection.cpp
  model/plain_comparison.cpp
  model/plain_beside.cpp
  studio/status_line.cpp
  studio/window_picture.cpp
  studio/comparison_picture.cpp
  studio/beside_picture.cpp
  studio/command_table.cpp
  studio/menus.cpp
  studio/session.cpp
  studio/messages.cpp
  studio/lesson_json.cpp
  studio/density_check.cpp
  studio/how_it_works.cpp
  studio/pointer_tips.cpp
  studio/terms.cpp
  studio/why_panel.cpp
  studio/envelope_progress.cpp
  studio/side_panels.cpp
  model/step_decision.cpp
  studio/split_check.cpp
)
target_include_directories(ars_studio PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
# Lessons are JSON, read and written with nlohmann-json (header only).
find_package(nlohmann_json 3 REQUIRED)
target_link_libraries(ars_studio PUBLIC ars_window_core PRIVATE nlohmann_json::nlohmann_json)
target_compile_definitions(ars_studio PRIVATE ARS_VERSION="${PROJECT_VERSION}")
ars_strict_warnings(ars_studio)
include(${CMAKE_CURRENT_SOURCE_DIR}/cmake/FormulaLibrary.cmake)
target_link_libraries(ars_studio PUBLIC ars_formula)
