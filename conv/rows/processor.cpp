// The processor check and the cap on it. The build defines RASTREX_ROWS_<SET>
// for each instruction set whose kernels it compiles
// (conv/rows/row_kernels.cmake).
#include "processor.h"

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>

namespace rastrex {

namespace {

std::atomic<RowPaths> rowPathCap{RowPaths::kAvx512Vbmi};

// By level, least first.
constexpr const char* kRowPathNames[] = {"plain", "ssse3", "avx2", "avx512"};

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

const char* rowPathsName(RowPaths paths)
{
    return kRowPathNames[static_cast<int>(paths)];
}

std::optional<RowPaths> rowPathsNamed(const char* name)
{
    for (int i = 0; name != nullptr && i < 4; ++i)
        if (std::strcmp(name, kRowPathNames[i]) == 0)
            return static_cast<RowPaths>(i);
    return std::nullopt;
}

RowPaths cappedRowPaths(RowPaths have, const char* setting)
{
    return std::min(have, rowPathsNamed(setting).value_or(have));
}

RowPaths processorRowPaths()
{
    static const RowPaths have = checkProcessor();
    return have;
}

RowPaths configuredRowPaths()
{
    static const RowPaths paths = cappedRowPaths(processorRowPaths(), std::getenv(kRowPathsVariable));
    return paths;
}

void capRowPaths(RowPaths cap)
{
    rowPathCap.store(cap, std::memory_order_relaxed);
}

RowPaths usableRowPaths()
{
    return std::min(configuredRowPaths(), rowPathCap.load(std::memory_order_relaxed));
}

}  // namespace rastrex
