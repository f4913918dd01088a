# Densities typed by the user, over muparser. Only the window needs them:
# the engine builds without muparser.
find_package(PkgConfig REQUIRED)
pkg_check_modules(MUPARSER REQUIRED IMPORTED_TARGET muparser)
add_library(ars_formula STATIC
  ${PROJECT_SOURCE_DIR}/density/formula_density.cpp
  ${PROJECT_SOURCE_DIR}/density/catalogue.cpp
  ${PROJECT_SOURCE_DIR}/density/plot_range.cpp
  ${PROJECT_SOURCE_DIR}/density/transform_choice.cpp
  ${PROJECT_SOURCE_DIR}/density/mixture_inflections.cpp
)
target_include_directories(ars_formula PUBLIC ${PROJECT_SOURCE_DIR})
target_link_libraries(ars_formula PUBLIC ars_window_core PRIVATE PkgConfig::MUPARSER)
ars_strict_warnings(ars_formula)
