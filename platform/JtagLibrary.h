#pragma once

#include "platform/DynamicLibrary.h"
#include "platform/JtagApi.h"

#include <memory>
#include <string>

namespace qbv::platform {

// The JTAG access library's calls as its caller makes them, wherever the library runs: loaded into this
// program, or, where it is a 32-bit library beside a 64-bit program on Windows, in our 32-bit helper
// (qbv-jtag32.exe), which makes the same calls there and hands back their results and out-values over a
// pipe. The caller sees the library's own results either way. A helper that has ended or stopped answering
// is stopped, and every call after that fails: non-zero, nothing moved, no stall.
class JtagLibrary {
public:
    virtual ~JtagLibrary() = default;

    virtual int32_t init(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e, int32_t f, const char* term,
                         int32_t last, void* context) = 0;
    virtual int32_t close(void* context) = 0;
    virtual int32_t atlanticInit(void* context) = 0;
    virtual int32_t write(void* context, const uint8_t* bytes, int32_t count, int32_t* written,
                          int32_t* stall) = 0;
    virtual int32_t read(void* context, uint8_t* space, int32_t room, int32_t* received, int32_t* stall) = 0;
    virtual int32_t clearStall(void* context) = 0;

    // Why the last open failed, in the words of an edition of ours that exports jtag_error_text; None
    // and "" for the maker's library, which does not say.
    virtual jtag::LinkError errorText(void* context, std::string& text) = 0;
    // Which edition it is, as the library says; the maker's, which does not say, is Makers.
    virtual jtag::Edition edition() const = 0;
    // How it runs, for About, the log and qbv doctor: empty in this program, else a clause
    // ("a 32-bit library, run by qbv-jtag32.exe").
    virtual std::string runsThrough() const = 0;
};

// What came of loading the library.
enum class JtagLoadError {
    NoError,
    NotLoaded,       // the system could not load it, or could not start the helper that would
    FunctionMissing, // one of the ten exports is missing: it is not a JTAG access library
};

struct JtagLoad {
    std::unique_ptr<JtagLibrary> library; // set only when all ten exports were found
    JtagLoadError error = JtagLoadError::NoError;
    // When it did not load: why, as a sentence that names the file.
    std::string detail;
};

// Loads the library at this full path (loadLibrary's safe search) and finds its ten exports: into this
// program when it is built for this program's machine, else, on 64-bit Windows, for a 32-bit library,
// through the helper that lies beside the library.
JtagLoad loadJtagLibrary(const std::string& fullPath);

// The same, always into this program: what the helper itself does.
JtagLoad loadJtagLibraryHere(const std::string& fullPath);

// Looks the ten exports up by name in a loaded library, in the order of kFunctionNames; false when any is
// missing.
bool findEntryPoints(LibraryHandle library, jtag::EntryPoints& entries);

// The processor a library file is built for, read from its header (PE on Windows, ELF elsewhere), in the
// words a user is told: "32-bit", "64-bit"; empty when the file is not a library this can read.
std::string libraryBitness(const std::string& fullPath);
// This program's own, in the same words.
const char* programBitness();

} // namespace qbv::platform
