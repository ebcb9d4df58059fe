// position/table_memory.h: memory for the hash tables, straight from the system. A fresh
// anonymous mapping reads as zeros, so a table just allocated needs no clearing pass and
// its pages are only backed once the search touches them. Blocks of 2 MB and more start
// on a 2 MB boundary and are offered to the kernel as huge pages (fewer faults, fewer
// TLB misses on every probe); where the system has no huge pages they are plain pages.
// No globals: each table's owner keeps its block and size.
#pragma once

#include <cstdint>

// The most any one table may ask for: half of the machine's physical memory, so that a
// huge size on the command line cannot push the machine into swapping or killing.
std::uint64_t table_memory_limit();

// At least bytes (> 0) bytes of zeroed memory, or nullptr when the system refuses them.
void* map_table_memory(std::uint64_t bytes);
// Returns a block of map_table_memory with the size it was asked for; nullptr is ignored.
void unmap_table_memory(void* block, std::uint64_t bytes);
