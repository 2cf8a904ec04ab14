// The web program's own heap, run under Node.js: blocks aligned as asked, and
// the program stopped, not handed null, once the memory is used up.
#include <cstdint>
#include <cstdio>
#include <cstdlib>

int main()
{
    for (std::size_t alignment = 16; alignment <= 4096; alignment *= 16) {
        if (reinterpret_cast<std::uintptr_t>(aligned_alloc(alignment, 100)) % alignment != 0) {
            return 1;
        }
    }
    std::puts("aligned");
    while (std::malloc(65536) != nullptr) {
    }
    std::puts("null");
}
