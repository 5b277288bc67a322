# The libFuzzer targets, with clang only. Everything is compiled with the fuzzer's coverage
# instrumentation, not just the targets: a fuzzer that sees only its own harness's branches is blind to
# the code it feeds. AddressSanitizer and UndefinedBehaviorSanitizer turn a quiet memory or arithmetic
# fault into a crash the fuzzer keeps. Configure a tree of its own with CC=clang CXX=clang++ and build
# the target qbv_fuzzers.
option(QBV_FUZZ "Build the libFuzzer targets, with the code they test instrumented (clang only)" OFF)

if(QBV_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "QBV_FUZZ needs clang: configure with CC=clang CXX=clang++")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
    add_custom_target(qbv_fuzzers)
endif()

# qbv_add_fuzzer(TARGET SOURCES files... LIBRARIES libs... SEEDS dir [OPTIONS libFuzzer flags...])
# Builds a fuzz target into the fuzz tree and has CTest run it briefly from the seeds. The seeds go in
# with -seed_inputs rather than as a corpus directory, which libFuzzer would add its finds to.
function(qbv_add_fuzzer target)
    if(NOT QBV_FUZZ)
        return()
    endif()
    cmake_parse_arguments(PARSE_ARGV 1 fuzz "" "SEEDS" "SOURCES;LIBRARIES;OPTIONS")
    add_executable(${target} ${fuzz_SOURCES})
    target_link_libraries(${target} PRIVATE ${fuzz_LIBRARIES})
    target_link_options(${target} PRIVATE -fsanitize=fuzzer)
    add_dependencies(qbv_fuzzers ${target})

    file(GLOB seeds CONFIGURE_DEPENDS ${fuzz_SEEDS}/*)
    list(JOIN seeds "," seed_list)
    add_test(NAME ${target}
        COMMAND ${target} -runs=5000 -timeout=10 -seed_inputs=${seed_list} ${fuzz_OPTIONS})
    set_tests_properties(${target} PROPERTIES LABELS fuzz TIMEOUT 120)
endfunction()
