// The fixture of xwd2bmp's in-process batch tests: a folder of dumps, run
// through the program's logic, whose dumps must come out unchanged.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "cli_support.h"
#include "rastrex.h"

namespace rastrex::test {

// Arguments name files in the test's folder with a leading "@".
inline std::vector<std::string> expand(const std::vector<std::string>& args, const fs::path& root)
{
    std::vector<std::string> out;
    for (const std::string& a : args)
        out.push_back(a.starts_with("@") ? nativePath((root / a.substr(1)).lexically_normal()) : a);
    return out;
}

// Every file under `root` with its bytes.
inline std::map<std::string, Bytes> snapshot(const fs::path& root)
{
    std::map<std::string, Bytes> files;
    for (const std::string& f : filesUnder(root))
        files[f] = readFile(root / f);
    return files;
}

// What the library itself makes of a dump, for comparison.
inline Bytes converted(const fs::path& dump, const fs::path& scratch)
{
    if (fnRastrex(nativePath(dump).c_str(), nativePath(scratch).c_str()) != RASTREX_OK)
        throw std::runtime_error("reference conversion failed");
    return readFile(scratch);
}

class Batch : public ::testing::Test {
protected:
    // Runs on `dumps` made in the folder and checks that they and the
    // files `kept` are still there, byte for byte.
    Outcome run(const std::vector<std::string>& dumps, const std::vector<std::string>& args,
                const std::vector<std::string>& kept = {}, const std::string& input = {})
    {
        makeDumps(dir.path(), dumps);
        std::map<std::string, Bytes> before;
        for (const std::string& name : dumps)
            before[name] = readFile(dir / name);
        for (const std::string& name : kept)
            before[name] = readFile(dir / name);
        Outcome o = runInProcess(expand(args, dir.path()), spelled(input, dir.path()));
        for (const auto& [name, bytes] : before)
            EXPECT_TRUE(fs::exists(dir / name) && readFile(dir / name) == bytes)
                << name << " was changed";
        return o;
    }

    // Files that the run added.
    std::set<std::string> added(const std::vector<std::string>& dumps) const
    {
        std::set<std::string> files = filesUnder(dir.path());
        for (const std::string& d : dumps)
            files.erase(d);
        return files;
    }

    TempDir dir;
    TempDir scratch;
};

}  // namespace rastrex::test
