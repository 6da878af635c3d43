#include "fuzz/FuzzChecks.h"

#include <cstdio>
#include <cstdlib>

void FuzzFailure(const char* property)
{
    std::fprintf(stderr, "property failed: %s\n", property);
    std::abort();
}
