# Helpers that keep the per-folder CMake files short.

# tam_layer_library(NAME [DEPENDS lib...] [LIBS system-lib...])
# One shared library of the Windows stand-in layer, built from every source in
# the calling folder. Product modules and tests link it dynamically, so a
# process holds one copy of the layer's state. Once loaded it stays for the
# life of the process, as a system DLL does: a program that links only some
# of the layer must not lose the rest (the window manager, say) each time a
# driver DLL that pulled it in is unloaded.
function(tam_layer_library name)
    cmake_parse_arguments(ARG "" "" "DEPENDS;LIBS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    add_library(${name} SHARED ${sources})
    target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/win32/include ${CMAKE_SOURCE_DIR}/win32)
    target_link_libraries(${name} PUBLIC ${ARG_DEPENDS} PRIVATE ${ARG_LIBS})
    target_link_options(${name} PRIVATE -Wl,-z,nodelete)
endfunction()

# tam_test_suite(NAME [SOURCES file...] [LIBS lib...])
# One GoogleTest program built from the sources given, or else from every
# source in the calling folder; CTest runs each test in a process of its own.
function(tam_test_suite name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
    if(ARG_SOURCES)
        set(sources ${ARG_SOURCES})
    else()
        file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
    endif()
    if(NOT sources)
        message(STATUS "${name}: no tests yet")
        return()
    endif()
    add_executable(${name} ${sources})
    target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gtest_main GTest::gmock)
    # tools/ for the machine set-up that the fixtures share with the print tool.
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR}/tests ${CMAKE_SOURCE_DIR}/tools)
    # GoogleTest's headers are most of what a test file compiles: build them once a program.
    target_precompile_headers(${name} PRIVATE <gtest/gtest.h> <gmock/gmock.h>)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 120)
endfunction()
include(TamModules)
