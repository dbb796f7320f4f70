// The Windows build has no AddressSanitizer. Every block freed through
// delete in the Windows unit tests is filled first, so that code reading an
// object after its end reads 0xDD bytes instead of the old, plausible values
// and a test sees the fault.
#include <malloc.h>

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

void* Allocate(std::size_t size) {
    if (void* block = std::malloc(size == 0 ? 1 : size)) return block;
    throw std::bad_alloc();
}

void Release(void* block) noexcept {
    if (block == nullptr) return;
    std::memset(block, 0xDD, _msize(block));
    std::free(block);
}

}  // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void operator delete(void* block) noexcept {
    Release(block);
}
void operator delete[](void* block) noexcept {
    Release(block);
}
void operator delete(void* block, std::size_t) noexcept {
    Release(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    Release(block);
}
