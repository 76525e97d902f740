# Helpers that keep every folder's CMakeLists to a few lines.

set(MARVENLOT_WARNINGS -Wall -Wextra)
if(MARVENLOT_WERROR)
  list(APPEND MARVENLOT_WARNINGS -Werror)
endif()

# marvenlot_library(NAME DIRS dir... [DEPS lib...] [OPTIONS flag...])
# Builds a static library from every .cpp below the given folders (relative to the caller).
function(marvenlot_library name)
  cmake_parse_arguments(ARG "" "" "DIRS;DEPS;OPTIONS" ${ARGN})
  set(sources)
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
    list(APPEND sources ${found})
  endforeach()
  if(NOT sources)
    set(stub ${CMAKE_CURRENT_BINARY_DIR}/${name}_empty.cpp)
    file(WRITE ${stub} "// ${name} has no sources yet.\n")
    set(sources ${stub})
  endif()
  add_library(${name} STATIC ${sources})
  target_compile_options(${name} PRIVATE ${MARVENLOT_WARNINGS} ${ARG_OPTIONS})
  target_link_libraries(${name} PUBLIC ${ARG_DEPS})
endfunction()

# The environment every test runs in: under the thread sanitizer, the suite's suppressions.
set(MARVENLOT_TEST_ENVIRONMENT "")
if(CMAKE_CXX_FLAGS MATCHES "-fsanitize=thread")
  set(MARVENLOT_TEST_ENVIRONMENT ENVIRONMENT
      "TSAN_OPTIONS=suppressions=${CMAKE_SOURCE_DIR}/tests/tsan-suppressions.txt")
endif()

# marvenlot_test(NAME DIR dir LABEL label DEPS lib...)
# One GoogleTest executable from the *_test.cpp files of a folder; every case carries the label.
function(marvenlot_test name)
  cmake_parse_arguments(ARG "" "DIR;LABEL;PATTERN" "DEPS" ${ARGN})
  if(NOT ARG_PATTERN)
    set(ARG_PATTERN "*_test.cpp")
  endif()
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_DIR}/${ARG_PATTERN})
  if(NOT sources)
    return()
  endif()
  file(GLOB_RECURSE helpers CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${ARG_DIR}/support/*.cpp)
  add_executable(${name} ${sources} ${helpers})
  target_compile_options(${name} PRIVATE ${MARVENLOT_WARNINGS})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} marvenlot_testsupport GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    MARVENLOT_SOURCE_DIR="${CMAKE_SOURCE_DIR}" MARVENLOT_BINARY_DIR="${CMAKE_BINARY_DIR}")
  gtest_discover_tests(${name}
    PROPERTIES LABELS ${ARG_LABEL} ${MARVENLOT_TEST_ENVIRONMENT}
    DISCOVERY_TIMEOUT 60
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()

include(GoogleTest)
