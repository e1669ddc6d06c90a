include(GoogleTest)

# quillon_add_gtest(<name> SOURCES ... [LIBS ...] [AGENT] [GUI] [LABELS ...])
#   AGENT: the tests talk to the namespace snmpd (CTest fixture "snmpd").
#   GUI:   the tests create Qt widgets (offscreen platform).
function(quillon_add_gtest name)
  cmake_parse_arguments(A "AGENT;GUI" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${A_SOURCES})
  target_link_libraries(${name} PRIVATE GTest::gtest GTest::gtest_main ${A_LIBS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  set(fixture "")
  if(A_AGENT)
    set(fixture "FIXTURES_REQUIRED snmpd")
  endif()
  set(labels ${A_LABELS})
  if(A_AGENT)
    list(APPEND labels agent)
  endif()
  if(A_GUI)
    list(APPEND labels gui)
  endif()
  if(NOT labels)
    set(labels unit)
  endif()
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${CMAKE_BINARY_DIR}
    DISCOVERY_TIMEOUT 60
    DISCOVERY_MODE PRE_TEST
    TEST_LIST ${name}_TESTS
    PROPERTIES TIMEOUT 300)
  # gtest_discover_tests flattens list-valued PROPERTIES (two environment
  # variables become two arguments), so the lists are applied by a script
  # that ctest includes after the discovered tests.
  set(QUILLON_TEST_LIST ${name}_TESTS)
  set(QUILLON_TEST_ENV "QT_QPA_PLATFORM=offscreen;QUILLON_SOURCE_DIR=${CMAKE_SOURCE_DIR};QUILLON_BUILD_DIR=${CMAKE_BINARY_DIR}")
  set(QUILLON_TEST_LABELS "${labels}")
  set(QUILLON_TEST_FIXTURE "${fixture}")
  file(CONFIGURE OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/${name}_properties.cmake CONTENT [=[
if(@QUILLON_TEST_LIST@)
  set_tests_properties(${@QUILLON_TEST_LIST@} PROPERTIES
    ENVIRONMENT "@QUILLON_TEST_ENV@"
    LABELS "@QUILLON_TEST_LABELS@"
    @QUILLON_TEST_FIXTURE@)
endif()
]=] @ONLY)
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES ${CMAKE_CURRENT_BINARY_DIR}/${name}_properties.cmake)
endfunction()

# quillon_add_plugin(<name> SOURCES ...): a plug-in library built into build/lib.
function(quillon_add_plugin name)
  cmake_parse_arguments(A "" "" "SOURCES;LIBS" ${ARGN})
  add_library(${name} MODULE ${A_SOURCES})
  target_link_libraries(${name} PRIVATE mibcore snmpval Qt6::Widgets ${A_LIBS})
  set_target_properties(${name} PROPERTIES
    PREFIX ""
    LIBRARY_OUTPUT_DIRECTORY ${QUILLON_PLUGIN_DIR})
endfunction()

# Every subdirectory of <dir> that has a CMakeLists.txt.
function(quillon_add_subdirs dir)
  file(GLOB children RELATIVE ${dir} ${dir}/*)
  list(SORT children)
  foreach(child ${children})
    if(IS_DIRECTORY ${dir}/${child} AND EXISTS ${dir}/${child}/CMakeLists.txt)
      add_subdirectory(${dir}/${child})
    endif()
  endforeach()
endfunction()

# The targets of <dir> and of every directory below it, into <out>.
function(quillon_targets_below dir out)
  get_property(all DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub ${subdirs})
    quillon_targets_below(${sub} below)
    list(APPEND all ${below})
  endforeach()
  set(${out} ${all} PARENT_SCOPE)
endfunction()
