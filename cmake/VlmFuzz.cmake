# The libFuzzer targets (fuzz/) come with the sanitizer build when the compiler is clang.
#
# libFuzzer's coverage hooks go only into the fuzz programs and the libraries they call: the
# simulator, the test programs and the benchmarks of that build keep plain sanitizer speed, so
# tests that stream clips through the simulator stay within their time under load.
if(VLM_SANITIZE AND CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  set(VLM_FUZZ ON)
else()
  set(VLM_FUZZ OFF)
endif()

# vlm_instrument_for_fuzzing(<target> ...): compiles each target's own sources with libFuzzer's
# coverage hooks (-fsanitize=fuzzer-no-link); what links it needs no libFuzzer.
function(vlm_instrument_for_fuzzing)
  foreach(target IN LISTS ARGN)
    target_compile_options(${target} PRIVATE -fsanitize=fuzzer-no-link)
  endforeach()
endfunction()
