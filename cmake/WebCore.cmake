# The core for the browser: muparser from Debian's sources and every
# Qt-free folder of the program, compiled with em++ with the desktop's
# floating-point rules (no contraction, no fast-math) and exceptions on, as
# the sampler throws. Sources are listed by folder, so that a file added to
# the core is built here without a second list to keep.
set(ARS_WEB_FLAGS -O2 -DNDEBUG -ffp-contract=off -fno-fast-math -fexceptions)

file(GLOB MUPARSER_SOURCES ${MUPARSER_SOURCE_DIR}/src/*.cpp)
list(FILTER MUPARSER_SOURCES EXCLUDE REGEX "muParser(DLL|Test)\\.cpp$")
add_library(ars_web_muparser STATIC ${MUPARSER_SOURCES})
target_include_directories(ars_web_muparser SYSTEM PUBLIC ${MUPARSER_SOURCE_DIR}/include)
target_compile_definitions(ars_web_muparser PUBLIC MUPARSER_STATIC)
target_compile_options(ars_web_muparser PRIVATE ${ARS_WEB_FLAGS})

# Header-only libraries from Debian, copied beside the build so that no other
# header of the host's /usr/include can shadow emscripten's.
set(ARS_WEB_HEADERS ${CMAKE_BINARY_DIR}/host-headers)
foreach(header pcg_random.hpp pcg_extras.hpp pcg_uint128.hpp)
  find_file(ARS_${header}_PATH ${header} PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH REQUIRED)
  configure_file(${ARS_${header}_PATH} ${ARS_WEB_HEADERS}/${header} COPYONLY)
endforeach()
find_path(ARS_NLOHMANN_DIR nlohmann/json.hpp PATHS /usr/include NO_CMAKE_FIND_ROOT_PATH)
if(ARS_NLOHMANN_DIR)
  file(COPY ${ARS_NLOHMANN_DIR}/nlohmann DESTINATION ${ARS_WEB_HEADERS})
endif()

# The version macros, from the project's own version.
file(STRINGS ${ARS_ROOT}/CMakeLists.txt ARS_PROJECT_LINE REGEX "^project\\(AdaptiveRejectionSampler VERSION")
string(REGEX MATCH "VERSION ([0-9]+)\\.([0-9]+)\\.([0-9]+)" _ "${ARS_PROJECT_LINE}")
set(PROJECT_VERSION_MAJOR ${CMAKE_MATCH_1})
set(PROJECT_VERSION_MINOR ${CMAKE_MATCH_2})
set(PROJECT_VERSION_PATCH ${CMAKE_MATCH_3})
set(PROJECT_VERSION ${CMAKE_MATCH_1}.${CMAKE_MATCH_2}.${CMAKE_MATCH_3})
configure_file(${ARS_ROOT}/sampler/version.h.in ${CMAKE_BINARY_DIR}/generated/sampler/version.h @ONLY)

set(ARS_WEB_CORE_SOURCES)
foreach(folder sampler density display model resources platform app studio engine densities surface)
  file(GLOB_RECURSE found CONFIGURE_DEPENDS ${ARS_ROOT}/${folder}/*.cpp)
  list(APPEND ARS_WEB_CORE_SOURCES ${found})
endforeach()
# Front ends, bindings and the desktop's window around the session stay out.
list(FILTER ARS_WEB_CORE_SOURCES EXCLUDE REGEX
  "/(qt|python|r)/|/app/(main|main_window|window_procedure|command_line)\\.cpp$")

add_library(ars_web_core STATIC ${ARS_WEB_CORE_SOURCES} ${ARS_ROOT}/frontends/web/compat/double_text.cpp)
target_include_directories(ars_web_core PUBLIC ${ARS_ROOT} ${CMAKE_BINARY_DIR}/generated)
target_include_directories(ars_web_core SYSTEM PUBLIC ${ARS_WEB_HEADERS})
target_link_libraries(ars_web_core PUBLIC ars_web_muparser)
target_compile_definitions(ars_web_core PRIVATE ARS_VERSION="${PROJECT_VERSION}")
# emscripten's libc++ has <charconv> for integers only; the core's doubles
# go through printf and strtod with the same results.
# clang (under em++) also warns of deleting a non-final FormulaDensity, whose
# base's destructor is protected and not virtual by design: it is always
# deleted as itself.
set(ARS_WEB_WARNINGS -Wall -Wextra -Werror -Wno-delete-non-abstract-non-virtual-dtor)
target_compile_options(ars_web_core PRIVATE ${ARS_WEB_FLAGS} ${ARS_WEB_WARNINGS}
  -include ${ARS_ROOT}/frontends/web/compat/charconv_double.h)
target_compile_options(ars_web_core PUBLIC -fexceptions)
