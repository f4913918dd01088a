# Installs the engine into temporary prefixes (this build's static library,
# and a shared build of the engine), then builds and runs the examples and a
# C++14-configured consumer against each, as a library user would.
if(EXISTS ${PROJECT_SOURCE_DIR}/examples/CMakeLists.txt)
  set(ARS_EXAMPLE_FLAGS "")
  if(ARS_SANITIZE)
    # The installed library carries the sanitizer runtime's references.
    set(ARS_EXAMPLE_FLAGS "-fsanitize=address,undefined,float-cast-overflow")
  endif()
  add_test(NAME engine_install_and_example
    COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/install_and_build_example.sh
            ${CMAKE_BINARY_DIR} ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR}/install-test
            "${ARS_EXAMPLE_FLAGS}")
  set_tests_properties(engine_install_and_example PROPERTIES TIMEOUT 900
    ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")
endif()

# The static engine defines names in namespace ars alone, and a user's
# shared library with hidden visibility that links it exports none of them.
add_library(hidden_user SHARED ${CMAKE_CURRENT_LIST_DIR}/hidden_user.cpp)
target_link_libraries(hidden_user PRIVATE ars_engine)
set_target_properties(hidden_user PROPERTIES CXX_VISIBILITY_PRESET hidden)
ars_strict_warnings(hidden_user)
add_test(NAME engine_symbols_static
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/engine_symbols.sh archive $<TARGET_FILE:ars_engine>)
add_test(NAME engine_symbols_hidden_user
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/engine_symbols.sh consumer $<TARGET_FILE:hidden_user>)
