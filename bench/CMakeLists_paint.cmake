# Repaint benchmark of the play screen. It needs the Qt program, so it is built only with it.
# Included from bench/CMakeLists.txt.
if(TARGET cellwright_app)
  find_package(benchmark REQUIRED)
  add_executable(cellwright_bench_paint ${CMAKE_CURRENT_LIST_DIR}/bench_paint.cpp)
  target_link_libraries(cellwright_bench_paint PRIVATE cellwright_app benchmark::benchmark)
  cellwright_strict(cellwright_bench_paint)
endif()
