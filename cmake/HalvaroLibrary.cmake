# One library per layer. Sources are found by globbing so that adding a file
# never means editing a list; CONFIGURE_DEPENDS re-globs on every build.
# DEPS are the project layers below (public: their headers are part of ours);
# PRIVATE_DEPS are the third-party libraries only this layer may include.
function(halvaro_library name)
    cmake_parse_arguments(ARG "" "" "DEPS;PRIVATE_DEPS" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS
        ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.c)
    # A program's main.cpp belongs to its executable, never to the layer.
    list(FILTER sources EXCLUDE REGEX "/main\\.cpp$")
    if(sources)
        add_library(${name} STATIC ${sources})
        target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
        target_link_libraries(${name} PUBLIC ${ARG_DEPS} PRIVATE ${ARG_PRIVATE_DEPS})
    else()
        # A layer with nothing in it yet still takes part in the dependency chain.
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
        target_link_libraries(${name} INTERFACE ${ARG_DEPS})
        if(ARG_PRIVATE_DEPS)
            message(FATAL_ERROR "${name} has no sources to keep ${ARG_PRIVATE_DEPS} private to")
        endif()
    endif()
endfunction()

# One GoogleTest executable per test folder; every test case becomes a CTest test.
function(halvaro_test_suite name)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    if(NOT sources)
        return()
    endif()
    add_executable(${name} ${sources} ${PROJECT_SOURCE_DIR}/tests/support/test_main.cpp)
    target_link_libraries(${name} PRIVATE ${ARG_DEPS} GTest::gtest GTest::gmock)
    # Every test file reads GoogleTest's headers: read them once per suite.
    target_precompile_headers(${name} PRIVATE <gtest/gtest.h> <string> <vector> <memory>)
    target_compile_definitions(${name} PRIVATE
        HALVARO_TEST_DATA_DIR="${CMAKE_CURRENT_SOURCE_DIR}/fixtures"
        HALVARO_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    # Test files spend most of their compile time reading the same headers
    # and optimising GoogleTest's macro bodies: eight files compile as one,
    # and in the Debug build the test command runs, the suites' own files are
    # not optimised (the layers under test, built apart, keep their level;
    # what the tests inline from headers does not). Helpers at a file's
    # scope need names no other file of the suite uses: alike, they clash;
    # overloaded, a call could pick the other file's.
    set_target_properties(${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 8)
    target_compile_options(${name} PRIVATE $<$<CONFIG:Debug>:-O0>)
    # Optimised, GCC 12 inlines the tests' std::string concatenations far
    # enough to report bounds and overlaps it cannot prove on copies that are
    # correct.
    target_compile_options(${name} PRIVATE
        $<$<AND:$<CXX_COMPILER_ID:GNU>,$<NOT:$<CONFIG:Debug>>>:-Wno-array-bounds -Wno-stringop-overflow -Wno-stringop-overread -Wno-restrict>)
    gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST)
endfunction()
