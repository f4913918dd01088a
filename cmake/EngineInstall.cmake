# Installs the engine as a CMake package:
#   find_package(AdaptiveRejectionSampler) and target_link_libraries(app PRIVATE ars::engine)
include(CMakePackageConfigHelpers)

set(ARS_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/AdaptiveRejectionSampler)
set(ARS_INCLUDE_DIR ${CMAKE_INSTALL_INCLUDEDIR}/adaptive-rejection-sampler)

install(TARGETS ${ARS_INSTALLED_ENGINE} EXPORT AdaptiveRejectionSamplerTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT engine
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT engine
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT engine)

# The public headers and the headers they include, found by following their
# #include "sampler/..." lines; the engine's other internals and the
# window's sampler, densities and kinds stay out (tests/install checks both).
set(ARS_PUBLIC_HEADERS log_concave_sampler.h t_concave_sampler.h)
set(ars_pending ${ARS_PUBLIC_HEADERS})
while(ars_pending)
  list(POP_FRONT ars_pending ars_header)
  set(ars_path ${PROJECT_SOURCE_DIR}/sampler/${ars_header})
  if(NOT EXISTS ${ars_path})
    continue()  # generated: version.h
  endif()
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${ars_path})
  file(STRINGS ${ars_path} ars_includes REGEX "^#include \"sampler/[A-Za-z0-9_]+\\.h\"")
  foreach(ars_line IN LISTS ars_includes)
    string(REGEX REPLACE "^#include \"sampler/([A-Za-z0-9_]+\\.h)\".*" "\\1" ars_included "${ars_line}")
    if(NOT ars_included IN_LIST ARS_PUBLIC_HEADERS)
      list(APPEND ARS_PUBLIC_HEADERS ${ars_included})
      list(APPEND ars_pending ${ars_included})
    endif()
  endforeach()
endwhile()
list(REMOVE_ITEM ARS_PUBLIC_HEADERS version.h)
list(TRANSFORM ARS_PUBLIC_HEADERS PREPEND ${PROJECT_SOURCE_DIR}/sampler/)
list(APPEND ARS_PUBLIC_HEADERS ${PROJECT_BINARY_DIR}/generated/sampler/version.h)
install(FILES ${ARS_PUBLIC_HEADERS} DESTINATION ${ARS_INCLUDE_DIR}/sampler COMPONENT engine)

install(EXPORT AdaptiveRejectionSamplerTargets NAMESPACE ars::
  FILE AdaptiveRejectionSamplerTargets.cmake DESTINATION ${ARS_PACKAGE_DIR} COMPONENT engine)
configure_package_config_file(${PROJECT_SOURCE_DIR}/packaging/AdaptiveRejectionSamplerConfig.cmake.in
  ${PROJECT_BINARY_DIR}/AdaptiveRejectionSamplerConfig.cmake INSTALL_DESTINATION ${ARS_PACKAGE_DIR})
write_basic_package_version_file(${PROJECT_BINARY_DIR}/AdaptiveRejectionSamplerConfigVersion.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES ${PROJECT_BINARY_DIR}/AdaptiveRejectionSamplerConfig.cmake
              ${PROJECT_BINARY_DIR}/AdaptiveRejectionSamplerConfigVersion.cmake
  DESTINATION ${ARS_PACKAGE_DIR} COMPONENT engine)

install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/adaptive-rejection-sampler COMPONENT engine)
