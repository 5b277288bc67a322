#include "DynamicLibrary.h"

#include <dlfcn.h>

namespace qbv::platform {

bool isAbsolutePath(const std::string& path) {
    return !path.empty() && path.front() == '/';
}

LibraryHandle loadLibrary(const std::string& fullPath, std::string* failure) {
    if (!isAbsolutePath(fullPath)) {
        if (failure)
            *failure = "the path is not absolute";
        return nullptr;
    }
    LibraryHandle library = dlopen(fullPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library && failure) {
        const char* reason = dlerror();
        *failure = reason ? reason : "the system gave no reason";
    }
    return library;
}

void* findSymbol(LibraryHandle library, const char* name) {
    return library ? dlsym(library, name) : nullptr;
}

void pinLibraryContaining(const void* address) {
    Dl_info info{};
    if (dladdr(address, &info) && info.dli_fname)
        dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
}

void freeLibrary(LibraryHandle library) {
    if (library)
        dlclose(library);
}

} // namespace qbv::platform
