#include "JtagLibrary.h"

#include "common/Format.h"

#include <array>
#include <filesystem>
#include <fstream>

namespace qbv::platform {

namespace {

// A library loaded into this program: its calls are the library's own functions.
class LoadedJtagLibrary final : public JtagLibrary {
public:
    LoadedJtagLibrary(LibraryHandle handle, const jtag::EntryPoints& entries)
        : handle_(handle), entries_(entries),
          errorText_(reinterpret_cast<jtag::JtagErrorTextFn>(findSymbol(handle, jtag::kErrorTextName))),
          edition_(reinterpret_cast<jtag::JtagEditionFn>(findSymbol(handle, jtag::kEditionName))) {}
    ~LoadedJtagLibrary() override { freeLibrary(handle_); }
    LoadedJtagLibrary(const LoadedJtagLibrary&) = delete;
    LoadedJtagLibrary& operator=(const LoadedJtagLibrary&) = delete;

    int32_t init(int32_t a, int32_t b, int32_t c, int32_t d, int32_t e, int32_t f, const char* term,
                 int32_t last, void* context) override {
        return entries_.jtag_init(a, b, c, d, e, f, term, last, context);
    }
    int32_t close(void* context) override { return entries_.jtag_close(context); }
    int32_t atlanticInit(void* context) override { return entries_.jtag_atlantic_init(context); }
    int32_t write(void* context, const uint8_t* bytes, int32_t count, int32_t* written,
                  int32_t* stall) override {
        return entries_.jtag_atlantic_write(context, bytes, count, written, stall);
    }
    int32_t read(void* context, uint8_t* space, int32_t room, int32_t* received, int32_t* stall) override {
        return entries_.jtag_atlantic_read(context, space, room, received, stall);
    }
    int32_t clearStall(void* context) override { return entries_.jtag_atlantic_clearstall(context); }

    jtag::LinkError errorText(void* context, std::string& text) override {
        text.clear();
        if (!errorText_)
            return jtag::LinkError::None;
        char words[512] = {};
        const auto kind = static_cast<jtag::LinkError>(errorText_(context, words, sizeof words));
        words[sizeof words - 1] = '\0';
        text = words;
        return kind;
    }
    jtag::Edition edition() const override {
        return edition_ ? jtag::editionFrom(edition_()) : jtag::Edition::Makers;
    }
    std::string runsThrough() const override { return {}; }

private:
    LibraryHandle handle_;
    jtag::EntryPoints entries_;
    jtag::JtagErrorTextFn errorText_;
    jtag::JtagEditionFn edition_;
};

template <typename Fn> void find(LibraryHandle library, jtag::Function function, Fn& entry, bool& all) {
    entry = reinterpret_cast<Fn>(findSymbol(library, rowOf(jtag::kFunctionNames, function).name));
    all = all && entry != nullptr;
}

uint32_t littleEndian(const unsigned char* bytes, int count) {
    uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i)
        value = value << 8 | bytes[i];
    return value;
}

} // namespace

bool findEntryPoints(LibraryHandle library, jtag::EntryPoints& entries) {
    using namespace jtag;
    bool all = true;
    find(library, kJtagInit, entries.jtag_init, all);
    find(library, kJtagClose, entries.jtag_close, all);
    find(library, kJtagCommand, entries.jtag_command, all);
    find(library, kJtagAtlanticInit, entries.jtag_atlantic_init, all);
    find(library, kJtagAtlanticGetOffset, entries.jtag_atlantic_get_offset, all);
    find(library, kJtagAtlanticStatus, entries.jtag_atlantic_status, all);
    find(library, kJtagAtlanticWrite, entries.jtag_atlantic_write, all);
    find(library, kJtagAtlanticRead, entries.jtag_atlantic_read, all);
    find(library, kJtagAtlanticTransfer, entries.jtag_atlantic_transfer, all);
    find(library, kJtagAtlanticClearStall, entries.jtag_atlantic_clearstall, all);
    return all;
}

JtagLoad loadJtagLibraryHere(const std::string& fullPath) {
    std::string failure;
    const LibraryHandle handle = loadLibrary(fullPath, &failure);
    if (!handle) {
        const std::string bitness = libraryBitness(fullPath);
        // The loader's words for a library of the other width name no width ("wrong ELF class", "Bad EXE
        // format"): the header does.
        if (!bitness.empty() && bitness != programBitness())
            return {nullptr, JtagLoadError::NotLoaded,
                    formatText("%s is a %s library; this %s program cannot load it.", fullPath.c_str(),
                               bitness.c_str(), programBitness())};
        return {nullptr, JtagLoadError::NotLoaded,
                formatText("%s could not be loaded: %s.", fullPath.c_str(), failure.c_str())};
    }
    jtag::EntryPoints entries;
    if (!findEntryPoints(handle, entries)) {
        freeLibrary(handle);
        return {nullptr, JtagLoadError::FunctionMissing,
                formatText("%s lacks a function every JTAG access library has: it is not one.",
                           fullPath.c_str())};
    }
    return {std::make_unique<LoadedJtagLibrary>(handle, entries), JtagLoadError::NoError, {}};
}

std::string libraryBitness(const std::string& fullPath) {
    std::ifstream file(std::filesystem::path(std::u8string(fullPath.begin(), fullPath.end())),
                       std::ios::binary);
    std::array<unsigned char, 64> head{};
    if (!file.read(reinterpret_cast<char*>(head.data()), head.size()))
        return {};
    if (head[0] == 0x7f && head[1] == 'E' && head[2] == 'L' && head[3] == 'F')
        return head[4] == 1 ? "32-bit" : head[4] == 2 ? "64-bit" : "";
    if (head[0] != 'M' || head[1] != 'Z')
        return {};
    // The DOS header names where the PE header begins; the processor follows its signature.
    std::array<unsigned char, 6> pe{};
    if (!file.seekg(littleEndian(&head[0x3c], 4)) ||
        !file.read(reinterpret_cast<char*>(pe.data()), pe.size()) || pe[0] != 'P' || pe[1] != 'E' ||
        pe[2] != 0 || pe[3] != 0)
        return {};
    switch (littleEndian(&pe[4], 2)) {
    case 0x014c: // i386
        return "32-bit";
    case 0x8664: // x86-64
        return "64-bit";
    default:
        return {};
    }
}

const char* programBitness() {
    return sizeof(void*) == 8 ? "64-bit" : "32-bit";
}

} // namespace qbv::platform
