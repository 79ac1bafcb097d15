# The fuzz build (QVL_FUZZ, in build/fuzz) and the thread-stress build (QVL_TSAN, in build/tsan): clang,
# only the portable libraries the targets reach, each build with its own sanitizers. Included from the
# top-level CMakeLists.txt in place of everything else, so the host and Windows builds stay as they are.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
    message(FATAL_ERROR "the fuzz and thread-stress builds need clang (configure with CC=clang CXX=clang++)")
endif()

include_directories(${CMAKE_SOURCE_DIR})
add_compile_options(-g -O1 -fno-omit-frame-pointer)
if(QVL_TSAN)
    add_compile_options(-fsanitize=thread)
    add_link_options(-fsanitize=thread)
else()
    # Every library is instrumented for coverage; only the targets link libFuzzer's main.
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

add_subdirectory(base)
add_subdirectory(model)
add_subdirectory(driver)
if(NOT QVL_TSAN)
    add_subdirectory(tools/qvl2sim)
    # The editor's portable logic, for the reader of keysets as text.
    add_subdirectory(framework)
    add_subdirectory(appbase)
    add_subdirectory(editor)
endif()
add_subdirectory(tests/fuzz)
