#pragma once
// Heap allocations made through operator new since the program started.

#include <cstdint>

uint64_t heapAllocations();
