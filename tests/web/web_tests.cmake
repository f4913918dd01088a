# The native half of the browser tests: the Canvas calls each built-in kind's
# pictures make on the desktop, printed for the browser test to compare
# (tests/web/canvas_calls.test.js runs it).
add_executable(web_canvas_calls ${CMAKE_CURRENT_LIST_DIR}/canvas_calls.cpp)
target_link_libraries(web_canvas_calls PRIVATE ars_studio)
target_include_directories(web_canvas_calls PRIVATE ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
ars_strict_warnings(web_canvas_calls)

# The browser build's <charconv> for doubles, checked against the standard library's.
ars_test(web_double_text_tests ${CMAKE_CURRENT_LIST_DIR}/double_text_test.cpp ${PROJECT_SOURCE_DIR}/frontends/web/compat/double_text.cpp)

# The desktop's one-pixel lines, for the page's (tests/web/line_runs.test.js).
add_executable(web_line_runs ${CMAKE_CURRENT_LIST_DIR}/line_runs.cpp ${PROJECT_SOURCE_DIR}/frontends/qt/platform/qt_line_raster.cpp)
target_link_libraries(web_line_runs PRIVATE Qt6::Core)
target_include_directories(web_line_runs PRIVATE ${PROJECT_SOURCE_DIR})
ars_strict_warnings(web_line_runs)

# The desktop's small dots, for the page's table (tests/web/ellipse_spans.test.js).
add_executable(web_ellipse_spans ${CMAKE_CURRENT_LIST_DIR}/ellipse_spans.cpp)
target_link_libraries(web_ellipse_spans PRIVATE Qt6::Gui)
ars_strict_warnings(web_ellipse_spans)
