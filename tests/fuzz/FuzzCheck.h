// The check every fuzz target uses for its properties: a broken property aborts, which both
// libFuzzer and the corpus replay report as a failure.
#pragma once

#include <cstdio>
#include <cstdlib>

#define FUZZ_REQUIRE(Condition)                                                                    \
    do {                                                                                           \
        if (!(Condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #Condition);  \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
