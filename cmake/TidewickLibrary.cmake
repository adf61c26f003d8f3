# tidewick_library(NAME DIR [QT] [DEPS ...] [DEFINITIONS ...]): one static library from the sources of
# one folder (not its sub-folders), so that adding a file needs no CMake edit.
function(tidewick_library name dir)
    cmake_parse_arguments(ARG "QT" "" "DEPS;DEFINITIONS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    file(GLOB headers CONFIGURE_DEPENDS ${dir}/*.h)
    if(NOT sources)
        # A folder of headers only, while its sources are still to come.
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR}/src)
        target_link_libraries(${name} INTERFACE ${ARG_DEPS})
        return()
    endif()
    add_library(${name} STATIC ${sources} ${headers})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR}/src)
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
    target_compile_definitions(${name} PRIVATE ${ARG_DEFINITIONS})
    if(ARG_QT)
        set_target_properties(${name} PROPERTIES AUTOMOC ON AUTORCC ON)
    endif()
endfunction()

# tidewick_gtest(NAME DIR [NO_SUPPORT] [DEPS ...]): one GoogleTest executable from
# the test sources of one folder, its cases registered with CTest. NO_SUPPORT leaves
# out the shared fixtures (for the layers below the machine).
function(tidewick_gtest name dir)
    cmake_parse_arguments(ARG "NO_SUPPORT" "" "DEPS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
    if(NOT sources)
        return()
    endif()
    add_executable(${name} ${sources})
    set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
    if(NOT ARG_NO_SUPPORT)
        target_link_libraries(${name} PRIVATE tidewick_testsupport)
    endif()
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gtest_main)
    target_compile_definitions(${name} PRIVATE
        TIDEWICK_FIXTURE_DIR="${PROJECT_SOURCE_DIR}/tests/fixtures")
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
        PROPERTIES ENVIRONMENT "${TIDEWICK_TEST_ENV}")
endfunction()
