// The program's heap, in place of Emscripten's allocators, which are most of
// the program's code that is not the game's. The game allocates little and
// always the same few sizes: the texts it builds for the page, and the stack
// that a waiting handler is saved to. So every block is a power of two, and a
// freed block waits on the list of its size for the next request of that
// size; the heap never shrinks and never grows past what was once in use at
// the same time. The memory has a fixed size (the link's INITIAL_MEMORY), and
// the heap is what lies above the program's data and stack.
//
// When the memory is used up, the program stops, as Emscripten's allocators
// stop it in a memory that cannot grow: the runtime's own callers (Asyncify's,
// which saves a waiting handler's stack) never check for null, and would write
// at address 0.
#include <cerrno>
#include <cstddef>
#include <cstdint>

extern "C" unsigned char __heap_base;

namespace
{

// Each block starts with its size's exponent, in a header that keeps the rest
// aligned for any type.
constexpr std::size_t Header = alignof(std::max_align_t) < 16 ? alignof(std::max_align_t) : 16;
constexpr unsigned Smallest = 4;
constexpr unsigned Largest = 24;

void* freeBlocks[Largest + 1];
std::uintptr_t top = reinterpret_cast<std::uintptr_t>(&__heap_base);

// A block for `size` bytes that start at a multiple of `alignment`, a power of
// two of at least the header's size.
void* Allocate(std::size_t size, std::size_t alignment)
{
    unsigned exponent = Smallest;
    while ((std::size_t{1} << exponent) - Header < size) {
        if (++exponent > Largest) {
            __builtin_trap();
        }
    }
    const std::size_t bytes = std::size_t{1} << exponent;
    auto* block = static_cast<unsigned char*>(freeBlocks[exponent]);
    if (block != nullptr && reinterpret_cast<std::uintptr_t>(block + Header) % alignment == 0) {
        freeBlocks[exponent] = *reinterpret_cast<void**>(block);
    } else {
        top = ((top + Header + alignment - 1) & ~(alignment - 1)) - Header;
        const std::uintptr_t end = __builtin_wasm_memory_size(0) * 65536;
        if (end < top || end - top < bytes) {
            __builtin_trap();
        }
        block = reinterpret_cast<unsigned char*>(top);
        top += bytes;
    }
    *reinterpret_cast<unsigned*>(block) = exponent;
    return block + Header;
}

} // namespace

extern "C" void* malloc(std::size_t size)
{
    return Allocate(size, Header);
}

// What newer Emscriptens' libraries allocate with (aligned operator new).
extern "C" void* aligned_alloc(std::size_t alignment, std::size_t size)
{
    if (alignment == 0 || (alignment & (alignment - 1)) != 0) {
        return nullptr;
    }
    return Allocate(size, alignment < Header ? Header : alignment);
}

extern "C" int posix_memalign(void** result, std::size_t alignment, std::size_t size)
{
    if (alignment % sizeof(void*) != 0 || (alignment & (alignment - 1)) != 0) {
        return EINVAL;
    }
    *result = aligned_alloc(alignment, size);
    return 0;
}

extern "C" void free(void* pointer)
{
    if (pointer == nullptr) {
        return;
    }
    auto* block = static_cast<unsigned char*>(pointer) - Header;
    const unsigned exponent = *reinterpret_cast<unsigned*>(block);
    *reinterpret_cast<void**>(block) = freeBlocks[exponent];
    freeBlocks[exponent] = block;
}
