# Runs the fuzzer on a fresh copy of the seed corpus (the committed seeds are
# never written to) for a bounded time; a crash makes the fuzzer exit non-zero.
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus ${WORK}/artifacts)
file(GLOB seeds ${SEEDS}/*)
file(COPY ${seeds} DESTINATION ${WORK}/corpus)
execute_process(
  COMMAND ${FUZZER} -max_total_time=${SECONDS} -rss_limit_mb=2048 -max_len=65536 -timeout=10
          -print_final_stats=1 -artifact_prefix=${WORK}/artifacts/ ${WORK}/corpus
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "fuzz_adlist failed (exit ${rc}); reproducers in ${WORK}/artifacts")
endif()
