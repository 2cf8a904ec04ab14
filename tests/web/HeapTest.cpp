// The web program's own heap, run under Node.js: a block aligned as asked,
// a freed block given out again, and the program stopped, not handed null,
// once the memory is used up.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

int main()
{
    for (std::size_t alignment : {16, 64, 4096}) {
        void* block = aligned_alloc(alignment, 100);
        if (reinterpret_cast<std::uintptr_t>(block) % alignment != 0) {
            std::printf("a block of alignment %zu at %p\n", alignment, block);
            return 1;
        }
        std::free(block);
    }
    void* block = std::malloc(1000);
    std::free(block);
    if (std::malloc(900) != block) {
        std::puts("a freed block is not given out again");
        return 1;
    }
    std::puts("blocks aligned and reused");
    for (;;) {
        if (std::malloc(65536) == nullptr) {
            std::puts("null");
            return 1;
        }
    }
}
