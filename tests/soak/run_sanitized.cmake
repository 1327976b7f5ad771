# Run by CTest in a plain build: configure and build the sanitized copy of the
# project with only the soak's tests, then run them there with CTest, which
# gives them their sanitizer options. Expects SOURCE_DIR, BUILD_DIR, GENERATOR
# and CTEST_COMMAND.
foreach(variable SOURCE_DIR BUILD_DIR GENERATOR CTEST_COMMAND)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "run_sanitized.cmake needs -D${variable}=...")
  endif()
endforeach()

function(run_step what)
  execute_process(COMMAND ${ARGN} WORKING_DIRECTORY ${BUILD_DIR} RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "${what} failed (${result})")
  endif()
endfunction()

file(MAKE_DIRECTORY ${BUILD_DIR})
run_step("Configuring the sanitized build"
  ${CMAKE_COMMAND} -S ${SOURCE_DIR} -B ${BUILD_DIR} -G ${GENERATOR}
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DQUORVALE_SANITIZE=ON -DQUORVALE_BUILD_TESTS=ON
  -DQUORVALE_BUILD_BENCH=OFF -DQUORVALE_TEST_AREAS=soak)
run_step("Building the sanitized soak" ${CMAKE_COMMAND} --build ${BUILD_DIR} -j2)
run_step("The sanitized soak" ${CTEST_COMMAND} --verbose -L soak)
