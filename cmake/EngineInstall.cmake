# Installs the engine as a CMake package:
#   find_package(AdaptiveRejectionSampler) and target_link_libraries(app PRIVATE ars::engine)
include(CMakePackageConfigHelpers)

set(ARS_PACKAGE_DIR ${CMAKE_INSTALL_LIBDIR}/cmake/AdaptiveRejectionSampler)
set(ARS_INCLUDE_DIR ${CMAKE_INSTALL_INCLUDEDIR}/adaptive-rejection-sampler)

install(TARGETS ars_engine EXPORT AdaptiveRejectionSamplerTargets
  ARCHIVE DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT engine
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT engine
  RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT engine)

# The public headers, in the folders the sources include them from.
file(GLOB ARS_SAMPLER_HEADERS ${PROJECT_SOURCE_DIR}/sampler/*.h)
set(ARS_DENSITY_HEADERS
  ${PROJECT_SOURCE_DIR}/density/ars_density.h
  ${PROJECT_SOURCE_DIR}/density/beta_density.h
  ${PROJECT_SOURCE_DIR}/density/gamma_density.h
  ${PROJECT_SOURCE_DIR}/density/test_density.h
  ${PROJECT_SOURCE_DIR}/density/gamln.h
  ${PROJECT_SOURCE_DIR}/density/density_kinds.h)
list(APPEND ARS_SAMPLER_HEADERS ${PROJECT_BINARY_DIR}/generated/sampler/version.h)
install(FILES ${ARS_SAMPLER_HEADERS} DESTINATION ${ARS_INCLUDE_DIR}/sampler COMPONENT engine)
install(FILES ${ARS_DENSITY_HEADERS} DESTINATION ${ARS_INCLUDE_DIR}/density COMPONENT engine)

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
