// The conversion library bound through the platform's loader.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "rastrex.h"
#include "services.h"

namespace rastrex {

// Tries `candidates` in order (full paths, or bare names for the system
// loader's search) and keeps the first that loads and holds fnRastrex for
// the rest of the run. A failed attempt is tried again at the next bind().
class RuntimeConverterLibrary final : public ConverterLibrary {
public:
    // What convert() returns when the library cannot be bound; fnRastrex
    // itself never returns it.
    static constexpr std::int32_t kNotBound = -1;

    RuntimeConverterLibrary(std::string fileName, std::vector<std::string> candidates);

    bool bind(std::string* reason) override;
    std::int32_t convert(const std::string& xwdPath, const std::string& bmpPath) override;
    SystemFailure failureCause() const override { return failure_; }

private:
    std::string fileName_;
    std::vector<std::string> candidates_;
    void* handle_ = nullptr;  // never unloaded
    RastrexFn fn_ = nullptr;
    SystemFailure failure_;  // of the last call
};

// What each platform's loader does for RuntimeConverterLibrary
// (runtime_library_linux.cpp, runtime_library_windows.cpp).
namespace loader {

// The library at `candidate`, or null with the loader's reason in `why`.
void* open(const std::string& candidate, std::string& why);
// The address of the export `name`, or null.
void* lookUp(void* handle, const char* name);
void close(void* handle);

}  // namespace loader

}  // namespace rastrex
