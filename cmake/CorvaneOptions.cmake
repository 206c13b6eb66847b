# Compiler settings shared by every target of the project.
add_compile_options(-Wall -Wextra)

if(CORVANE_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

# corvane_core_library(name SOURCES...): a static library of the UI-free core.
function(corvane_core_library name)
    add_library(${name} STATIC ${ARGN})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
endfunction()

# corvane_test(name SOURCES... LIBS ...): one test executable, discovered by CTest.
function(corvane_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES})
    target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gtest_main)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
    target_compile_definitions(${name} PRIVATE
        CORVANE_FIXTURES_DIR="${PROJECT_SOURCE_DIR}/tests/fixtures")
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
endfunction()

# corvane_qt_target(name): settings of every target that uses Qt. Moc runs per target (a global
# CMAKE_AUTOMOC would give the UI-free targets an autogen step too), and no text converts from
# char* to QString silently: it crosses through shell/textconv.h. Qt's lower-case keywords stay
# off, so core headers may use names such as "slots".
function(corvane_qt_target name)
    set_target_properties(${name} PROPERTIES AUTOMOC ON)
    target_compile_definitions(${name} PRIVATE QT_NO_CAST_FROM_ASCII QT_NO_KEYWORDS)
    target_include_directories(${name} PRIVATE ${PROJECT_SOURCE_DIR})
endfunction()

# corvane_qt_test(name SOURCES... LIBS ...): a widget test executable with its own main, which
# puts Qt on the offscreen platform so that tests and their discovery run without a display.
function(corvane_qt_test name)
    cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
    add_executable(${name} ${T_SOURCES} ${PROJECT_SOURCE_DIR}/tests/support/qtestmain.cpp)
    corvane_qt_target(${name})
    target_link_libraries(${name} PRIVATE ${T_LIBS} Qt6::Widgets Qt6::Test GTest::gtest)
    target_compile_definitions(${name} PRIVATE
        CORVANE_FIXTURES_DIR="${PROJECT_SOURCE_DIR}/tests/fixtures")
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60
        PROPERTIES ENVIRONMENT QT_QPA_PLATFORM=offscreen)
endfunction()
