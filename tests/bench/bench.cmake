# Benchmark programs of the plain-text pipeline, one per writer; run by
# scripts/bench (make bench), never by the tests.
foreach(kind html wiki)
  if(kind STREQUAL html)
    set(writer ${TV_ROOT}/html/MakeHtml.cpp)
  else()
    set(writer ${TV_ROOT}/wiki/MakeWiki.cpp)
  endif()
  add_executable(tv-bench-${kind} bench/bench_pipeline.cpp ${writer}
                 ${TV_ROOT}/converter/CalcGet.cpp)
  target_include_directories(tv-bench-${kind} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR}/support)
  target_link_libraries(tv-bench-${kind} PRIVATE tv_common tv_cell tv_rgb tv_record)
  set_target_properties(tv-bench-${kind} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endforeach()
