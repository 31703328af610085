#include "sd/win32/sd_memory.h"

#include <atomic>
#include <cstdlib>

#include "si/error.h"
#include "w32/kernel.h"

namespace {

std::atomic<unsigned> mem_zone_use{0};
std::atomic<size_t> g_global_bytes{0};
std::atomic<size_t> g_heap_bytes{0};

const size_t kGlobalThreshold = 4096;
// A zone fills the buffers it takes, block after block: those up to this
// size are made present whole when taken, at one system call each rather
// than one page fault a page. Larger ones, made for one large block that
// may be filled sparsely, come page by page as they are touched.
const size_t kPrepareLimit = 256 * 1024;

} // namespace

bool Zuvi_MemInitZone(const char*, unsigned& zone_id)
{
    zone_id = 0;
    mem_zone_use++;
    return true;
}

void Zuvi_MemKillZone(unsigned zone_id)
{
    ZU_ASSERT(zone_id == 0);
    ZU_ASSERT(mem_zone_use != 0);
    mem_zone_use--;
}

bool Zuvi_MemAllocBuffer(unsigned zone_id, size_t size, void*& ptr, size_t& real_size,
                         void*& handle)
{
    ZU_ASSERT(zone_id == 0);
    ptr = nullptr;
    real_size = 0;
    handle = nullptr;
    if (size >= kGlobalThreshold) {
        if (size > SIZE_MAX - 15) {
            return false;
        }
        HGLOBAL mem = GlobalAlloc(0, (size + 15) & ~static_cast<size_t>(15));
        if (mem == nullptr) {
            return false;
        }
        void* data = GlobalLock(mem);
        if (data == nullptr) {
            GlobalFree(mem);
            return false;
        }
        ptr = data;
        real_size = GlobalSize(mem);
        handle = mem;
        if (real_size <= kPrepareLimit) {
            W32_PrepareMemory(data, real_size);
        }
        g_global_bytes += real_size;
        return true;
    }
    void* data = std::malloc(size != 0 ? size : 1);
    if (data == nullptr) {
        return false;
    }
    ptr = data;
    real_size = size;
    g_heap_bytes += size;
    return true;
}

void Zuvi_MemFreeBuffer(unsigned zone_id, void* ptr, size_t size, void* handle)
{
    ZU_ASSERT(zone_id == 0);
    if (handle != nullptr) {
        GlobalUnlock(handle);
        GlobalFree(handle);
        g_global_bytes -= size;
    } else {
        std::free(ptr);
        g_heap_bytes -= size;
    }
}

size_t Zuvi_MemGlobalBytes()
{
    return g_global_bytes.load();
}

size_t Zuvi_MemHeapBytes()
{
    return g_heap_bytes.load();
}

unsigned Zuvi_MemZonesInUse()
{
    return mem_zone_use.load();
}
