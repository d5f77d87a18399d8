# Settings every Marbleway target shares: language level, warnings, Qt string hygiene.
add_library(marbleway_settings INTERFACE)
add_library(Marbleway::settings ALIAS marbleway_settings)

target_compile_features(marbleway_settings INTERFACE cxx_std_20)
target_compile_options(marbleway_settings INTERFACE -Wall -Wextra -Wpedantic -Wshadow
                                                    -Wnon-virtual-dtor -Wcast-align)
if(MARBLEWAY_WERROR)
    target_compile_options(marbleway_settings INTERFACE -Werror)
endif()
target_compile_definitions(marbleway_settings INTERFACE
    # The one place the version comes from: "1.0" for the updater and the window.
    MARBLEWAY_VERSION="${PROJECT_VERSION_MAJOR}.${PROJECT_VERSION_MINOR}"
    # The whole version, for --version and the about window.
    MARBLEWAY_BUILD_VERSION="${PROJECT_VERSION}"
    QT_NO_CAST_FROM_ASCII
    QT_NO_CAST_TO_ASCII
    QT_NO_URL_CAST_FROM_STRING
    QT_USE_QSTRINGBUILDER
    QT_NO_CONTEXTLESS_CONNECT
    QT_NO_KEYWORDS)

if(MARBLEWAY_SANITIZE)
    # Whole build, so that the libraries the tests link are checked too.
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer
                        -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

if(MARBLEWAY_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "MARBLEWAY_FUZZ needs clang (CC=clang CXX=clang++)")
    endif()
    # Libraries get the coverage hooks; only the fuzz targets link libFuzzer's main.
    # -O1 keeps Qt's range checks (Debug) while running fast enough to fuzz.
    # clang 14 cannot compile coroutines with the function-type check of UBSan.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize=function
                        -fno-omit-frame-pointer -fno-sanitize-recover=undefined -O1)
    add_link_options(-fsanitize=address,undefined)
endif()

# marbleway_library(NAME SOURCES... LINKS...): one static library per src/ folder.
function(marbleway_library name)
    cmake_parse_arguments(ARG "" "" "SOURCES;LINKS" ${ARGN})
    add_library(${name} STATIC ${ARG_SOURCES})
    target_include_directories(${name} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR}/..)
    target_link_libraries(${name} PUBLIC Marbleway::settings ${ARG_LINKS})
endfunction()
