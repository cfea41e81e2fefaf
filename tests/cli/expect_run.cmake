# Runs COMMAND (a ;-list) and checks its exit code and, optionally, a pattern in its stderr.
# Usage: cmake -DCOMMAND=... -DEXPECT_CODE=N [-DEXPECT_STDERR=regex] -P expect_run.cmake
execute_process(COMMAND ${COMMAND} RESULT_VARIABLE code OUTPUT_VARIABLE out ERROR_VARIABLE err
                TIMEOUT 60)
if(NOT code STREQUAL EXPECT_CODE)
  message(FATAL_ERROR "exit code ${code}, expected ${EXPECT_CODE}\nstdout: ${out}\nstderr: ${err}")
endif()
if(DEFINED EXPECT_STDERR AND NOT err MATCHES "${EXPECT_STDERR}")
  message(FATAL_ERROR "stderr does not match '${EXPECT_STDERR}': ${err}")
endif()
