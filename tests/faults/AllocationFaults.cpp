// Replaces the allocation functions of the whole test binary (the module's code, TinyXML and
// zlib are linked into it) so that one chosen allocation fails.
#include "faults/AllocationFaults.h"

#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <new>

#if !defined(__SANITIZE_ADDRESS__)
// glibc's own entry points behind malloc, calloc and realloc, which this binary replaces below;
// free stays glibc's.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* memory, std::size_t size);
}
#endif

namespace quillet::test {
namespace {

// Memory from the C library without passing the failure point a second time.
void* UncountedMalloc(std::size_t size) {
#if defined(__SANITIZE_ADDRESS__)
    return std::malloc(size);
#else
    return __libc_malloc(size);
#endif
}

// Allocations still to go before the one that fails; 0 when nothing is armed.
std::atomic<uint64_t> countdown{0};
std::atomic<bool> reached{false};
std::atomic<bool> held{false};

bool FailThisAllocation() {
    if (held.load(std::memory_order_relaxed)) {
        return false;
    }
    uint64_t left = countdown.load(std::memory_order_relaxed);
    while (left != 0) {
        if (countdown.compare_exchange_weak(left, left - 1, std::memory_order_relaxed)) {
            if (left == 1) {
                reached.store(true, std::memory_order_relaxed);
                return true;
            }
            return false;
        }
    }
    return false;
}

void* Allocate(std::size_t size) {
    return FailThisAllocation() ? nullptr : UncountedMalloc(size == 0 ? 1 : size);
}

void* AllocateAligned(std::size_t size, std::align_val_t alignment) {
    if (FailThisAllocation()) {
        return nullptr;
    }
    void* memory = nullptr;
    const auto align = static_cast<std::size_t>(alignment);
    return ::posix_memalign(&memory, align < sizeof(void*) ? sizeof(void*) : align,
                            size == 0 ? 1 : size) == 0
               ? memory
               : nullptr;
}

void* AllocateOrThrow(std::size_t size) {
    void* memory = Allocate(size);
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    return memory;
}

void* AllocateAlignedOrThrow(std::size_t size, std::align_val_t alignment) {
    void* memory = AllocateAligned(size, alignment);
    if (memory == nullptr) {
        throw std::bad_alloc();
    }
    return memory;
}

}  // namespace

void ArmAllocationFailure(uint64_t number) {
    reached.store(false);
    countdown.store(number);
}

bool DisarmAllocationFailure() {
    countdown.store(0);
    return reached.load();
}

void HoldAllocationFailure(bool hold) {
    held.store(hold);
}

bool CountsMalloc() {
#if defined(__SANITIZE_ADDRESS__)
    return false;
#else
    return true;
#endif
}

}  // namespace quillet::test

using quillet::test::Allocate;
using quillet::test::AllocateAligned;
using quillet::test::AllocateAlignedOrThrow;
using quillet::test::AllocateOrThrow;

void* operator new(std::size_t size) {
    return AllocateOrThrow(size);
}
void* operator new[](std::size_t size) {
    return AllocateOrThrow(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return Allocate(size);
}
void* operator new(std::size_t size, std::align_val_t alignment) {
    return AllocateAlignedOrThrow(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment) {
    return AllocateAlignedOrThrow(size, alignment);
}
void* operator new(std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return AllocateAligned(size, alignment);
}
void* operator new[](std::size_t size, std::align_val_t alignment, const std::nothrow_t&) noexcept {
    return AllocateAligned(size, alignment);
}

// Every delete pairs with the new above, so each releases with free.
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete(void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, const std::nothrow_t&) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::align_val_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::align_val_t) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t, std::align_val_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t, std::align_val_t) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::align_val_t, const std::nothrow_t&) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::align_val_t, const std::nothrow_t&) noexcept {
    std::free(memory);
}

#if !defined(__SANITIZE_ADDRESS__)
extern "C" {
void* malloc(std::size_t size) noexcept {
    return quillet::test::FailThisAllocation() ? nullptr : __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) noexcept {
    return quillet::test::FailThisAllocation() ? nullptr : __libc_calloc(count, size);
}
void* realloc(void* memory, std::size_t size) noexcept {
    return quillet::test::FailThisAllocation() ? nullptr : __libc_realloc(memory, size);
}
}
#endif
