# snapwire_add_tests(NAME <exe> LABEL <label> SOURCES ... LIBS ...)
# One test executable per folder; every test runs headless in its own program folder.
function(snapwire_add_tests)
  cmake_parse_arguments(T "" "NAME;LABEL" "SOURCES;LIBS" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBS} snapwire_testsupport GTest::gtest GTest::gmock snapwire_build_flags)
  gtest_discover_tests(${T_NAME}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS ${T_LABEL} TIMEOUT 300
               ENVIRONMENT "QT_QPA_PLATFORM=offscreen;GST_REGISTRY=${CMAKE_BINARY_DIR}/gst-registry.bin;SNAPWIRE_TEST_BINARY_DIR=${CMAKE_BINARY_DIR};SNAPWIRE_SOURCE_DIR=${CMAKE_SOURCE_DIR}")
endfunction()
