/*
 * Velmora's OpenCL read and write test.
 *
 * What the figure means: the host counts one whole block (count 32-bit words) per work item and
 * pass, so every work item reads the whole source block once. Each one starts at its own offset,
 * spread evenly over the block, and wraps around: what is measured is memory, not one cache line
 * broadcast to every work item. Together the work items write every destination word exactly
 * once (each its own share, so there are no data races), and every written word depends on all
 * the words its work item read, so the compiler can drop none of the loads.
 *
 * The block is read 16 bytes at a time (uint4) from a 16-byte aligned start: the same words as one
 * at a time, but neighbouring work items no longer each touch a cache line of their own for every
 * four bytes. The host launches a pass as one launch over the whole block or as several over
 * parts of it (sub-buffers whose starts are aligned for these loads); count is the words of the
 * part.
 */

/* The XOR of every word of the block, read from the 16-byte step first on, wrapping around: once
   with plain loads, and once with volatile ones for a work item whose result nobody stores, so that
   its loads are not dropped. */
#define XOR_OF_BLOCK(NAME, QUALIFIER)                                                                \
  uint NAME(QUALIFIER __global const uint4* vectors, QUALIFIER __global const uint* words, ulong count, \
            ulong first) {                                                                         \
    const ulong steps = count / 4;                                                                 \
    uint4 sum = (uint4)(0);                                                                        \
    for (ulong i = first; i < steps; ++i) sum ^= vectors[i];                                       \
    for (ulong i = 0; i < first; ++i) sum ^= vectors[i];                                           \
    uint result = sum.x ^ sum.y ^ sum.z ^ sum.w;                                                   \
    for (ulong i = steps * 4; i < count; ++i) result ^= words[i];                                  \
    return result;                                                                                 \
  }
XOR_OF_BLOCK(xor_of_block, )
XOR_OF_BLOCK(xor_of_block_kept, volatile)

__kernel void speedreadkernel(__global const uint* restrict src, __global uint* restrict dst, ulong count) {
  const ulong id = get_global_id(0);
  const ulong items = get_global_size(0);
  /* 64-bit products: 10000 MB is 2.6e9 words, times a few ten thousand work items. */
  const ulong first = count / 4 * id / items;
  const ulong start = count * id / items;
  const ulong end = count * (id + 1) / items;

  if (start < end) {
    const uint sum = xor_of_block((__global const uint4*)src, src, count, first);
    for (ulong i = start; i < end; ++i) dst[i] = sum ^ (uint)i;
  } else {
    /* More work items than words: this one owns no destination word, and volatile loads keep
       its reads of the block from being dropped. */
    (void)xor_of_block_kept((const volatile __global uint4*)src, src, count, first);
  }
}
