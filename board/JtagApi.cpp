#include "board/JtagApi.h"
#include "board/JtagExports.h"

#include <algorithm>
#include <cstring>

namespace qbv::jtag {

namespace {

template <typename Fn> void find(platform::LibraryHandle library, Function function, Fn& entry, bool& all) {
    entry = reinterpret_cast<Fn>(platform::findSymbol(library, kFunctionNames[function]));
    all = all && entry != nullptr;
}

} // namespace

bool findEntryPoints(platform::LibraryHandle library, EntryPoints& entries) {
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

void copyErrorText(const char* sentence, char* text, int32_t room) {
    if (!text || room <= 0)
        return;
    const size_t length = std::min(std::strlen(sentence), static_cast<size_t>(room - 1));
    std::memcpy(text, sentence, length);
    text[length] = '\0';
}

} // namespace qbv::jtag
