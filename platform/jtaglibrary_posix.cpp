#include "JtagLibrary.h"

namespace qbv::platform {

// The package brings the library of this system's width: it is always loaded into the program.
JtagLoad loadJtagLibrary(const std::string& fullPath) {
    return loadJtagLibraryHere(fullPath);
}

} // namespace qbv::platform
