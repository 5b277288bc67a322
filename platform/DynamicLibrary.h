#pragma once

#include <string>

namespace qbv::platform {

using LibraryHandle = void*;

// Loads the library at exactly this path. A path that is not absolute is refused rather than handed to
// the loader, whose search path (the current directory, PATH, LD_LIBRARY_PATH) could find a stranger's
// library of the same name. Returns nullptr on failure, with the system's reason in failure when given.
LibraryHandle loadLibrary(const std::string& fullPath, std::string* failure = nullptr);

// nullptr when the library has no export of that name.
void* findSymbol(LibraryHandle library, const char* name);

void freeLibrary(LibraryHandle library);

bool isAbsolutePath(const std::string& path);

// Keeps the library that holds this address loaded until the process ends, whoever frees it: for a
// library that leaves a thread of its own running.
void pinLibraryContaining(const void* address);

} // namespace qbv::platform
