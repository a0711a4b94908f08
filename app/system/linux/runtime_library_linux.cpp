// The conversion library opened by the dynamic loader.
#include <dlfcn.h>

#include "runtime_library.h"

namespace rastrex::loader {

void* open(const std::string& candidate, std::string& why)
{
    void* handle = ::dlopen(candidate.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* error = ::dlerror();
        why = error ? error : candidate;
    }
    return handle;
}

void* lookUp(void* handle, const char* name)
{
    return ::dlsym(handle, name);
}

void close(void* handle)
{
    ::dlclose(handle);
}

}  // namespace rastrex::loader
