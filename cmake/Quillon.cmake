include(GoogleTest)

# quillon_add_gtest(<name> SOURCES ... [LIBS ...] [AGENT] [GUI] [ENGLISH] [LABELS ...])
#   AGENT:   the tests talk to the namespace snmpd (CTest fixture "snmpd").
#   GUI:     the tests create Qt widgets (offscreen platform).
#   ENGLISH: the tests run on an English desktop (LANG=en_US.UTF-8); every
#            other test runs on a bare one (C.UTF-8), whatever the caller's.
function(quillon_add_gtest name)
  cmake_parse_arguments(A "AGENT;GUI;ENGLISH" "" "SOURCES;LIBS;LABELS" ${ARGN})
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
  set(lang C.UTF-8)
  if(A_ENGLISH)
    set(lang en_US.UTF-8)
  endif()
  set(QUILLON_TEST_ENV "QT_QPA_PLATFORM=offscreen;QUILLON_SOURCE_DIR=${CMAKE_SOURCE_DIR};QUILLON_BUILD_DIR=${CMAKE_BINARY_DIR};LANGUAGE=;LC_ALL=;LC_MESSAGES=;LANG=${lang}")
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

# Qt Linguist's tools (Debian's qt6-l10n-tools).
find_program(QUILLON_LUPDATE lupdate HINTS /usr/lib/qt6/bin NO_DEFAULT_PATH)
find_program(QUILLON_LRELEASE lrelease HINTS /usr/lib/qt6/bin NO_DEFAULT_PATH)
if(NOT QUILLON_LUPDATE OR NOT QUILLON_LRELEASE)
  message(FATAL_ERROR "lupdate/lrelease not found: install qt6-l10n-tools (scripts/install-deps.sh)")
endif()
set(QUILLON_LUPDATE_OPTIONS -tr-function-alias tr+=Tr -locations none -extensions cpp,h -recursive -silent)

# quillon_add_catalogue(<target> <name> DIRS <source dirs>...)
#   translations/<name>_en.ts, compiled by lrelease and embedded in <target>
#   as ":/i18n/<name>_en.qm" (rcc resource "<name>_i18n": a static library
#   calls Q_INIT_RESOURCE(<name>_i18n) once). The target `update_translations`
#   brings every catalogue up to date with its sources (lupdate); the test
#   catalogue_<name> fails while a text has no finished translation or the
#   catalogue holds one the sources no longer have.
function(quillon_add_catalogue target name)
  cmake_parse_arguments(A "" "" "DIRS" ${ARGN})
  set(ts ${CMAKE_SOURCE_DIR}/translations/${name}_en.ts)
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/i18n)
  set(qm ${dir}/${name}_en.qm)
  file(MAKE_DIRECTORY ${dir})
  file(CONFIGURE OUTPUT ${dir}/${name}_i18n.qrc CONTENT
    "<RCC><qresource prefix=\"/i18n\"><file alias=\"${name}_en.qm\">${name}_en.qm</file></qresource></RCC>\n")
  add_custom_command(OUTPUT ${qm}
    COMMAND ${QUILLON_LRELEASE} -silent ${ts} -qm ${qm}
    DEPENDS ${ts} VERBATIM)
  add_custom_command(OUTPUT ${dir}/${name}_i18n.cpp
    COMMAND Qt6::rcc -name ${name}_i18n -o ${dir}/${name}_i18n.cpp ${dir}/${name}_i18n.qrc
    DEPENDS ${qm} ${dir}/${name}_i18n.qrc VERBATIM)
  set_source_files_properties(${dir}/${name}_i18n.cpp PROPERTIES SKIP_AUTOGEN ON GENERATED ON)
  target_sources(${target} PRIVATE ${dir}/${name}_i18n.cpp)

  set(src "")
  foreach(d ${A_DIRS})
    list(APPEND src ${CMAKE_SOURCE_DIR}/${d})
  endforeach()
  add_custom_target(update_${name}_ts
    COMMAND ${QUILLON_LUPDATE} ${QUILLON_LUPDATE_OPTIONS} -no-obsolete ${src} -ts ${ts}
    VERBATIM)
  if(NOT TARGET update_translations)
    add_custom_target(update_translations)
  endif()
  add_dependencies(update_translations update_${name}_ts)
  add_test(NAME catalogue_${name}
    COMMAND ${CMAKE_COMMAND} -DLUPDATE=${QUILLON_LUPDATE} "-DOPTIONS=${QUILLON_LUPDATE_OPTIONS}"
            "-DSOURCES=${src}" -DTS=${ts} -DCOPY=${dir}/check_${name}_en.ts
            -P ${CMAKE_SOURCE_DIR}/cmake/CheckCatalogue.cmake)
  set_tests_properties(catalogue_${name} PROPERTIES LABELS unit)
endfunction()
