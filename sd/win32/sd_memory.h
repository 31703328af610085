#ifndef SD_WIN32_SD_MEMORY_H
#define SD_WIN32_SD_MEMORY_H

// Where the memory zones get their memory: platform zones and buffers.
// Pieces of 4096 bytes or more come from global memory, smaller ones from
// the C heap. There is a single platform zone, id 0.

#include <cstddef>

// Opens a platform zone: the id is always 0. Never fails.
bool Zuvi_MemInitZone(const char* name, unsigned& zone_id);
// Closes a platform zone (the id must be 0 and a zone must be open).
void Zuvi_MemKillZone(unsigned zone_id);
// Gives `size` bytes: the pointer, the size really obtained and the global
// handle (null for C heap memory). False, with a null pointer and a real
// size of 0, when there is no memory.
bool Zuvi_MemAllocBuffer(unsigned zone_id, size_t size, void*& ptr, size_t& real_size,
                         void*& handle);
// Gives back what Zuvi_MemAllocBuffer gave.
void Zuvi_MemFreeBuffer(unsigned zone_id, void* ptr, size_t size, void* handle);

// Bytes currently taken from global memory and from the C heap.
size_t Zuvi_MemGlobalBytes();
size_t Zuvi_MemHeapBytes();
// Platform zones currently open.
unsigned Zuvi_MemZonesInUse();

#endif
