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

# marvenlot_test_main(TARGET)
# Gives a test executable the suite's main (tests/common/TestMain.cpp), which puts back after every
# case the process-wide state of the project's libraries the executable links; call it once the
# executable's libraries are all named.
function(marvenlot_test_main target)
  set(linked)
  get_target_property(pending ${target} LINK_LIBRARIES)
  while(pending)
    list(POP_FRONT pending item)
    if(TARGET ${item} AND NOT item IN_LIST linked)
      list(APPEND linked ${item})
      get_target_property(more ${item} INTERFACE_LINK_LIBRARIES)
      if(more)
        list(APPEND pending ${more})
      endif()
    endif()
  endwhile()
  target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/tests/common/TestMain.cpp)
  foreach(pair platform:marvenlot_platform engine:marvenlot_engine_core gui:marvenlot_gui)
    string(REPLACE ":" ";" pair ${pair})
    list(GET pair 0 layer)
    list(GET pair 1 library)
    string(TOUPPER ${layer} layer)
    if(library IN_LIST linked)
      target_compile_definitions(${target} PRIVATE MARVENLOT_TEST_LINKS_${layer}=1)
    endif()
  endforeach()
endfunction()

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
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} marvenlot_testsupport GTest::gtest GTest::gmock)
  target_compile_definitions(${name} PRIVATE
    MARVENLOT_SOURCE_DIR="${CMAKE_SOURCE_DIR}" MARVENLOT_BINARY_DIR="${CMAKE_BINARY_DIR}")
  marvenlot_test_main(${name})
  gtest_discover_tests(${name}
    PROPERTIES LABELS ${ARG_LABEL} ${MARVENLOT_TEST_ENVIRONMENT}
    DISCOVERY_TIMEOUT 60
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
endfunction()

include(GoogleTest)
