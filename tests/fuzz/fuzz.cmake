# libFuzzer targets (clang only): the settings reader with each program's
# keys, the plain-text pipeline through each writer, and the Wiki
# writer's fragments.  `make fuzz` runs them; fuzz/run is the runner.
set(TV_FUZZ_FLAGS -fsanitize=fuzzer,address,undefined -fno-omit-frame-pointer
                  -fno-sanitize-recover=undefined)
set(TV_FUZZ_BASE ${TV_ROOT}/common/ExString.cpp ${TV_ROOT}/converter/CalcCom.cpp
                 ${TV_ROOT}/html/RGBChar.cpp ${CMAKE_CURRENT_SOURCE_DIR}/support/MsgRecord.cpp)
set(TV_FUZZ_INI ${TV_ROOT}/common/FileIo.cpp ${TV_ROOT}/common/VersionGet.cpp)

# tv_fuzz(<name> SOURCES <files...> [DEFS <definitions...>])
function(tv_fuzz name)
  cmake_parse_arguments(F "" "" "SOURCES;DEFS" ${ARGN})
  add_executable(${name} ${F_SOURCES} ${TV_FUZZ_BASE})
  target_include_directories(${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/support
                             ${CMAKE_CURRENT_SOURCE_DIR}/fuzz)
  target_compile_definitions(${name} PRIVATE ${F_DEFS})
  target_compile_options(${name} PRIVATE ${TV_FUZZ_FLAGS})
  target_link_options(${name} PRIVATE ${TV_FUZZ_FLAGS})
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  add_dependencies(fuzz-targets ${name})
  # Every kept input, crash inputs found earlier included, runs once.
  add_test(NAME ${name}_corpus COMMAND ${name} -runs=0 -timeout=10
           ${CMAKE_CURRENT_SOURCE_DIR}/fuzz/corpus/${name})
  set_tests_properties(${name}_corpus PROPERTIES LABELS fuzz)
endfunction()

add_custom_target(fuzz-targets)
tv_fuzz(fuzz_profile_html SOURCES fuzz/fuzz_profile.cpp ${TV_FUZZ_INI}
        ${TV_ROOT}/html/MakeHtml.cpp)
tv_fuzz(fuzz_profile_wiki SOURCES fuzz/fuzz_profile.cpp ${TV_FUZZ_INI}
        ${TV_ROOT}/wiki/MakeWiki.cpp DEFS TV_FUZZ_WIKI)
tv_fuzz(fuzz_pipeline_html SOURCES fuzz/fuzz_pipeline.cpp ${TV_FUZZ_INI}
        ${TV_ROOT}/converter/CalcGet.cpp ${TV_ROOT}/html/MakeHtml.cpp)
tv_fuzz(fuzz_pipeline_wiki SOURCES fuzz/fuzz_pipeline.cpp ${TV_FUZZ_INI}
        ${TV_ROOT}/converter/CalcGet.cpp ${TV_ROOT}/wiki/MakeWiki.cpp)
tv_fuzz(fuzz_wikiparts SOURCES fuzz/fuzz_wikiparts.cpp ${TV_FUZZ_INI}
        ${TV_ROOT}/wiki/MakeWiki.cpp)
