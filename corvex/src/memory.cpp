// Block allocator: every block is preceded by a header that records its size
// and pool, so that SM_length can answer and SM_free can release any block.
#include <corvex/corvex.h>

#include <atomic>
#include <cstdint>
#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

enum Pool : std::uint32_t { kTransient = 1, kPersistent = 2 };
constexpr std::uint32_t kMagic = 0x51C0BEEFu;

struct alignas(std::max_align_t) Header {
    std::size_t size;
    std::uint32_t pool;
    std::uint32_t magic;
};

std::atomic<long> g_blocks{0};
std::size_t g_persistent_limit = static_cast<std::size_t>(-1);
std::size_t g_persistent_bytes = 0;

Header *header_of(const void *block) {
    Header *h = reinterpret_cast<Header *>(const_cast<char *>(static_cast<const char *>(block)) - sizeof(Header));
    if (h->magic != kMagic)
        ERROR_raise(__FILE__, __LINE__, CORVEX_CODE_INTERNAL, "SM_: block %p was not allocated by SM_ or is damaged",
                    block);
    return h;
}

[[noreturn]] void out_of_memory(std::size_t size) {
    ERROR_raise(__FILE__, __LINE__, CORVEX_CODE_NO_MEMORY, "out of memory allocating %zu bytes", size);
}

// Allocates size bytes plus the header; returns null on failure.
void *raw_alloc(std::size_t size, bool zero, Pool pool) {
    if (size > static_cast<std::size_t>(-1) - sizeof(Header)) return nullptr;
    void *p = zero ? std::calloc(1, sizeof(Header) + size) : std::malloc(sizeof(Header) + size);
    if (!p) return nullptr;
    Header *h = static_cast<Header *>(p);
    h->size = size;
    h->pool = pool;
    h->magic = kMagic;
    ++g_blocks;
    return h + 1;
}

bool checked_product(std::size_t count, std::size_t size, std::size_t *out) {
    if (size != 0 && count > static_cast<std::size_t>(-1) / size) return false;
    *out = count * size;
    return true;
}

} // namespace

extern "C" {

CORVEX_API void *SM_alloc(std::size_t size) {
    void *p = raw_alloc(size, false, kTransient);
    if (!p) out_of_memory(size);
    return p;
}

CORVEX_API void *SM_calloc(std::size_t count, std::size_t size) {
    std::size_t total = 0;
    if (!checked_product(count, size, &total)) out_of_memory(static_cast<std::size_t>(-1));
    void *p = raw_alloc(total, true, kTransient);
    if (!p) out_of_memory(total);
    return p;
}

CORVEX_API void *SM_realloc(void *block, std::size_t size) {
    if (!block) return SM_alloc(size);
    Header *h = header_of(block);
    if (size > static_cast<std::size_t>(-1) - sizeof(Header)) out_of_memory(size);
    std::size_t old_size = h->size;
    std::uint32_t pool = h->pool;
    if (pool == kPersistent) {
        // Keep the persistent accounting right: a grown persistent block still
        // counts against the pool.
        if (size > old_size && size - old_size > g_persistent_limit - g_persistent_bytes) out_of_memory(size);
    }
    void *p = std::realloc(h, sizeof(Header) + size);
    if (!p) out_of_memory(size);
    Header *nh = static_cast<Header *>(p);
    nh->size = size;
    if (pool == kPersistent) g_persistent_bytes = g_persistent_bytes - old_size + size;
    return nh + 1;
}

CORVEX_API void SM_free(void *block) {
    if (!block) return;
    Header *h = header_of(block);
    if (h->pool == kPersistent) g_persistent_bytes -= h->size;
    h->magic = 0;
    --g_blocks;
    std::free(h);
}

CORVEX_API std::size_t SM_length(const void *block) {
    if (!block) return 0;
    return header_of(block)->size;
}

CORVEX_API void *SM_calloc_persistent(std::size_t count, std::size_t size) {
    std::size_t total = 0;
    if (!checked_product(count, size, &total)) return nullptr;
    if (total > g_persistent_limit - g_persistent_bytes) return nullptr;
    void *p = raw_alloc(total, true, kPersistent);
    if (p) g_persistent_bytes += total;
    return p;
}

CORVEX_API std::size_t CORVEX_set_persistent_limit(std::size_t bytes) {
    std::size_t old = g_persistent_limit;
    g_persistent_limit = bytes < g_persistent_bytes ? g_persistent_bytes : bytes;
    return old;
}

CORVEX_API long CORVEX_blocks_in_use(void) { return g_blocks.load(); }

} // extern "C"
