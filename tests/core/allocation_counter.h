#pragma once
// The test program replaces the global operator new to record the largest
// single allocation, so tests can show that corrupt input sizes are not trusted.

#include <cstddef>

// The largest size requested from operator new since the last reset.
size_t LargestAllocation();
void ResetLargestAllocation();
