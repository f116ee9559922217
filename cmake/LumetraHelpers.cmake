# One static library per module, warnings on everywhere.
function(lumetra_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wno-missing-field-initializers)
    target_compile_definitions(${target} PRIVATE QT_NO_KEYWORDS QT_NO_CAST_FROM_BYTEARRAY)
endfunction()

# lumetra_add_module(NAME name SOURCES ... DEPENDS ...)
function(lumetra_add_module)
    cmake_parse_arguments(M "" "NAME" "SOURCES;DEPENDS" ${ARGN})
    add_library(${M_NAME} STATIC ${M_SOURCES})
    target_include_directories(${M_NAME} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${M_NAME} PUBLIC ${M_DEPENDS})
    lumetra_warnings(${M_NAME})
endfunction()

# lumetra_add_test(NAME name SOURCES ... LIBS ... [TIMEOUT s])
# Tests run headless and never need a display or a real serial port.
function(lumetra_add_test)
    cmake_parse_arguments(T "" "NAME;TIMEOUT" "SOURCES;LIBS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    target_link_libraries(${T_NAME} PRIVATE Qt6::Test ${T_LIBS})
    target_compile_definitions(${T_NAME} PRIVATE
        LUMETRA_TESTDATA_DIR="${PROJECT_SOURCE_DIR}/../shared/testdata"
        LUMETRA_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
    lumetra_warnings(${T_NAME})
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    if(NOT T_TIMEOUT)
        set(T_TIMEOUT 120)
    endif()
    set_tests_properties(${T_NAME} PROPERTIES TIMEOUT ${T_TIMEOUT}
        ENVIRONMENT "QT_QPA_PLATFORM=offscreen;LC_ALL=C.UTF-8")
endfunction()
