/*
 * Velmora's OpenCL read and write test.
 *
 * What the figure means: the host counts one whole block (count 32-bit words) per work item and
 * pass, so every work item reads the whole source block once. Each one starts at its own offset,
 * spread evenly over the block, and wraps around: what is measured is memory, not one cache line
 * broadcast to every work item. Together the work items write every destination word exactly
 * once (each its own share, so there are no data races), and every written word depends on all
 * the words its work item read, so the compiler can drop none of the loads.
 */
__kernel void speedreadkernel(__global const uint* restrict src, __global uint* restrict dst, ulong count) {
  const ulong id = get_global_id(0);
  const ulong items = get_global_size(0);
  /* 64-bit products: 10000 MB is 2.6e9 words, times a few ten thousand work items. */
  const ulong start = count * id / items;
  const ulong end = count * (id + 1) / items;

  if (start < end) {
    uint sum = 0;
    for (ulong i = start; i < count; ++i) sum ^= src[i];
    for (ulong i = 0; i < start; ++i) sum ^= src[i];
    for (ulong i = start; i < end; ++i) dst[i] = sum ^ (uint)i;
  } else {
    /* More work items than words: this one owns no destination word, and volatile loads keep
       its reads of the block from being dropped. */
    const volatile __global uint* block = src;
    uint sum = 0;
    for (ulong i = start; i < count; ++i) sum ^= block[i];
    for (ulong i = 0; i < start; ++i) sum ^= block[i];
    (void)sum;
  }
}
