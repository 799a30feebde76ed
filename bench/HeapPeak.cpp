// The C allocator's entry points wrapped to count live heap bytes (the usable
// size of each block) and their high-water mark; operator new and delete
// reach them too. The real work is done by the C library's own allocator.
#include "bench/HeapPeak.h"

#include <malloc.h>

#include <atomic>
#include <cerrno>
#include <cstddef>

extern "C" {
void* __libc_malloc(size_t Size);
void* __libc_calloc(size_t Count, size_t Size);
void* __libc_realloc(void* Block, size_t Size);
void* __libc_memalign(size_t Alignment, size_t Size);
void __libc_free(void* Block);
}

namespace {

std::atomic<int64_t> Live{0};
std::atomic<int64_t> Peak{0};

int64_t SizeOf(void* Block) { return Block == nullptr ? 0 : static_cast<int64_t>(malloc_usable_size(Block)); }

void Count(int64_t Delta) {
  const int64_t Now = Live.fetch_add(Delta, std::memory_order_relaxed) + Delta;
  int64_t Seen = Peak.load(std::memory_order_relaxed);
  while (Now > Seen && !Peak.compare_exchange_weak(Seen, Now, std::memory_order_relaxed)) {
  }
}

void* Counted(void* Block) {
  Count(SizeOf(Block));
  return Block;
}

}  // namespace

namespace skwbench {

int64_t LiveBytes() { return Live.load(std::memory_order_relaxed); }
int64_t PeakBytes() { return Peak.load(std::memory_order_relaxed); }
void ResetPeak() { Peak.store(Live.load(std::memory_order_relaxed), std::memory_order_relaxed); }

}  // namespace skwbench

extern "C" {

void* malloc(size_t Size) { return Counted(__libc_malloc(Size)); }
void* calloc(size_t Count, size_t Size) { return Counted(__libc_calloc(Count, Size)); }
void* memalign(size_t Alignment, size_t Size) { return Counted(__libc_memalign(Alignment, Size)); }
void* aligned_alloc(size_t Alignment, size_t Size) { return memalign(Alignment, Size); }
void* valloc(size_t Size) { return memalign(4096, Size); }

int posix_memalign(void** Out, size_t Alignment, size_t Size) {
  if (Alignment < sizeof(void*) || (Alignment & (Alignment - 1)) != 0) return EINVAL;
  void* Block = memalign(Alignment, Size);
  if (Block == nullptr) return ENOMEM;
  *Out = Block;
  return 0;
}

void* realloc(void* Block, size_t Size) {
  const int64_t Old = SizeOf(Block);
  void* Grown = __libc_realloc(Block, Size);
  if (Grown != nullptr || Size == 0) Count(SizeOf(Grown) - Old);  // a failed growth keeps the old block
  return Grown;
}

void free(void* Block) {
  Count(-SizeOf(Block));
  __libc_free(Block);
}

}  // extern "C"
