# Tests of the display and application logic against the recording surface and fake window.
add_executable(ui_tests
  display/plotter_test.cpp
  display/axis_ticks_test.cpp
  model/density_curve_test.cpp
  display/paint_test.cpp
  app/commands_test.cpp
  app/status_line_test.cpp
  app/view_commands_test.cpp
  display/clip_test.cpp
  app/golden_throw_test.cpp
  app/reference_replay_test.cpp
  app/command_line_test.cpp
  app/lecture_commands_test.cpp
  app/step_beats_test.cpp
  display/scaled_picture_test.cpp
  app/other_density_test.cpp
  app/transformed_density_test.cpp
  model/window_model_test.cpp
  model/envelope_stepper_test.cpp
  model/transformed_stepping_test.cpp
  display/typed_envelope_drawing_test.cpp
  display/envelope_view_test.cpp
  display/plot_layout_test.cpp
)
target_link_libraries(ui_tests PRIVATE ars_ui GTest::gtest GTest::gtest_main)
target_include_directories(ui_tests PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
target_compile_definitions(ui_tests PRIVATE ARS_GOLDEN_DIR="${CMAKE_CURRENT_SOURCE_DIR}/golden"
  ARS_VERSION="${PROJECT_VERSION}")
ars_strict_warnings(ui_tests)
gtest_discover_tests(ui_tests DISCOVERY_TIMEOUT 60)

# Densities typed by the user and the catalogue.
add_executable(formula_tests
  density/formula_density_test.cpp
  density/catalogue_test.cpp
)
target_link_libraries(formula_tests PRIVATE ars_ui GTest::gtest GTest::gtest_main)
target_include_directories(formula_tests PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
ars_strict_warnings(formula_tests)
gtest_discover_tests(formula_tests DISCOVERY_TIMEOUT 60)

# The studio core without a window system: the lesson format and the density checks.
add_executable(studio_tests
  studio/lesson_json_test.cpp
  studio/density_check_test.cpp
  studio/session_test.cpp
  studio/scale_choice_test.cpp
  studio/live_stepping_test.cpp
  studio/explain_test.cpp
  studio/typed_beats_test.cpp
  studio/hull_gap_test.cpp
  studio/theme_test.cpp
  studio/consistency_test.cpp
  studio/pointer_tips_test.cpp
)
target_link_libraries(studio_tests PRIVATE ars_ui GTest::gtest GTest::gtest_main)
target_include_directories(studio_tests PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
target_compile_definitions(studio_tests PRIVATE ARS_LESSON_EXAMPLES="${PROJECT_SOURCE_DIR}/examples/lessons")
ars_strict_warnings(studio_tests)
gtest_discover_tests(studio_tests DISCOVERY_TIMEOUT 60)
