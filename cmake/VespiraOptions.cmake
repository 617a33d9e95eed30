# Everything we compile links vespira_options: one place for the language level,
# the warnings and the Qt strictness macros.
add_library(vespira_options INTERFACE)
target_compile_features(vespira_options INTERFACE cxx_std_20)
target_compile_options(vespira_options INTERFACE
    -Wall -Wextra -Wpedantic -Wcast-qual -Wold-style-cast -Woverloaded-virtual -Wnon-virtual-dtor
    $<$<BOOL:${VESPIRA_WERROR}>:-Werror>)
target_compile_definitions(vespira_options INTERFACE
    QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII QT_NO_CAST_FROM_BYTEARRAY
    QT_USE_QSTRINGBUILDER QT_DISABLE_DEPRECATED_BEFORE=0x060400
    VESPIRA_VERSION="${PROJECT_VERSION}")
target_include_directories(vespira_options INTERFACE ${PROJECT_SOURCE_DIR}/src)
if(VESPIRA_SANITIZE)
    target_compile_options(vespira_options INTERFACE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(vespira_options INTERFACE -fsanitize=address,undefined)
    # Bounds checks in the standard containers' operator[], front(), back() and friends.
    target_compile_definitions(vespira_options INTERFACE _GLIBCXX_ASSERTIONS)
else()
    # Optimised builds check buffer sizes in the C library's string and memory calls; the
    # sanitizers do that and more on their own, and the checks need optimisation.
    target_compile_definitions(vespira_options INTERFACE
        $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
endif()
if(VESPIRA_BUILD_FUZZ)
    # Coverage for libFuzzer in every library a fuzz target links; the targets add the driver.
    target_compile_options(vespira_options INTERFACE -fsanitize=fuzzer-no-link)
endif()

# One static library per core subsystem, from the sources of its folder, so each
# subsystem builds and tests on its own and a wrong-way dependency fails to link.
function(vespira_core_library name)
    cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
    file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    add_library(${name} STATIC ${_src})
    target_link_libraries(${name} PUBLIC vespira_options Qt6::Core ${ARG_DEPS})
    vespira_pch(${name} core)
endfunction()

# One GoogleTest executable per folder of tests; PCH names the kind of precompiled headers
# (default: test, see VespiraPch.cmake).
function(vespira_test name)
    cmake_parse_arguments(ARG "" "PCH" "DEPS" ${ARGN})
    if(NOT ARG_PCH)
        set(ARG_PCH test)
    endif()
    file(GLOB _src CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    add_executable(${name} ${_src})
    target_link_libraries(${name} PRIVATE vespira_options vespira_test_support ${ARG_DEPS} GTest::gtest)
    vespira_pch(${name} ${ARG_PCH})
    # Tests over files of several gigabytes (sparse, but read through) carry "Gigabyte" or
    # "4GB" in their names and get the label "large"; the sanitizer run leaves them out, as
    # reading gigabytes there takes long and runs the code the smaller tests already run.
    set(_large "*Gigabyte*:*4GB*")
    # One variable per property: the discovery script splits a value at ";", and a list given
    # to ENVIRONMENT would set the first variable and lose the rest with what follows it.
    set(_environment ENVIRONMENT QT_QPA_PLATFORM=offscreen ENVIRONMENT_MODIFICATION LC_ALL=set:C.UTF-8)
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 TEST_FILTER "-${_large}" PROPERTIES ${_environment})
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60 TEST_FILTER "${_large}" PROPERTIES ${_environment} LABELS large)
endfunction()
