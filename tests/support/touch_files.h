// Small files for the tests of file lists: each named one holds "x".
#pragma once

#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>

namespace rastrex::test {

// Creates each of `names` (any range of strings) in `folder`, or replaces it.
template <typename Names>
void touchFiles(const std::filesystem::path& folder, const Names& names)
{
    for (const auto& name : names) {
        const std::filesystem::path file = folder / std::filesystem::path(name);
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out << "x";
        if (!out)
            throw std::runtime_error("cannot write " + file.string());
    }
}

inline void touchFiles(const std::filesystem::path& folder, std::initializer_list<std::string_view> names)
{
    touchFiles<std::initializer_list<std::string_view>>(folder, names);
}

}  // namespace rastrex::test
