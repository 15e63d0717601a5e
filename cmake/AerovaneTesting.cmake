# aerovane_add_gtest(<name> [WIDGETS] SOURCES <files...> LIBS <targets...>)
# Builds one GoogleTest executable with the project's test main and registers its tests with CTest. WIDGETS gives
# the tests a widget application object instead of a core one.
# Test suites named LocalTime* depend on the local time zone: they are registered a second time to run
# under Europe/Berlin, a zone with daylight saving.
# *EndToEnd suites of WIDGETS executables need a real X server: label <name>_xvfb, run under xvfb-run by test.sh.
find_package(GTest REQUIRED)
include(GoogleTest)

function(aerovane_add_gtest name)
    cmake_parse_arguments(ARG "WIDGETS" "" "SOURCES;LIBS" ${ARGN})
    set(testmain aerovane_testmain)
    if(ARG_WIDGETS)
        set(testmain aerovane_widgettestmain)
    endif()
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${testmain} ${ARG_LIBS} GTest::gtest GTest::gmock)
    target_compile_definitions(${name} PRIVATE
        AEROVANE_SHARED_DATA_DIR="${AEROVANE_SHARED_DATA_DIR}"
        AEROVANE_TEST_DATA_DIR="${AEROVANE_TEST_DATA_DIR}")
    set(offscreen_filter "*")
    if(ARG_WIDGETS)
        set(offscreen_filter "-*EndToEnd.*")
        gtest_discover_tests(${name} TEST_FILTER "*EndToEnd.*"
            PROPERTIES LABELS ${name}_xvfb TIMEOUT 300 ENVIRONMENT "TZ=UTC"
                ENVIRONMENT_MODIFICATION "QT_QPA_PLATFORM=set:xcb"
            DISCOVERY_TIMEOUT 60)
    endif()
    gtest_discover_tests(${name} TEST_FILTER "${offscreen_filter}"
        PROPERTIES LABELS ${name} TIMEOUT 300 ENVIRONMENT "TZ=UTC" ENVIRONMENT_MODIFICATION "QT_QPA_PLATFORM=set:offscreen"
        DISCOVERY_TIMEOUT 60)
    add_test(NAME ${name}_Europe_Berlin COMMAND ${name} --gtest_filter=LocalTime*)
    set_tests_properties(${name}_Europe_Berlin PROPERTIES
        ENVIRONMENT "TZ=Europe/Berlin;QT_QPA_PLATFORM=offscreen" LABELS ${name} TIMEOUT 300)
endfunction()
