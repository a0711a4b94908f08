// The processor check. The build defines RASTREX_ROWS_<SET> for each
// instruction set whose kernels it compiles (conv/rows/row_kernels.cmake).
#include "processor.h"

#include <algorithm>
#include <atomic>

namespace rastrex {

namespace {

std::atomic<RowPaths> rowPathCap{RowPaths::kAvx512Vbmi};

RowPaths checkProcessor()
{
#if defined(RASTREX_ROWS_AVX512)
    if (__builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi"))
        return RowPaths::kAvx512Vbmi;
#endif
#if defined(RASTREX_ROWS_AVX2)
    if (__builtin_cpu_supports("avx2"))
        return RowPaths::kAvx2;
#endif
#if defined(RASTREX_ROWS_SSSE3)
    if (__builtin_cpu_supports("ssse3"))
        return RowPaths::kSsse3;
#endif
    return RowPaths::kPlain;
}

}  // namespace

RowPaths processorRowPaths()
{
    static const RowPaths have = checkProcessor();
    return have;
}

void capRowPaths(RowPaths cap)
{
    rowPathCap.store(cap, std::memory_order_relaxed);
}

RowPaths usableRowPaths()
{
    return std::min(processorRowPaths(), rowPathCap.load(std::memory_order_relaxed));
}

}  // namespace rastrex
