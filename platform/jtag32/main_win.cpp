// qbv-jtag32: runs a 32-bit JTAG access library for a 64-bit program on Windows. Started by the program
// (platform/jtaglibrary_win.cpp) with the handle of its pipe and the library's full path, it loads the
// library into itself, with the search the program itself uses, and makes each call the program asks for,
// with the library's own calling convention, until the pipe closes. It ends with the program: the program
// keeps it in a job that ends with it, and a broken pipe ends it too.
//   qbv-jtag32.exe PIPE-HANDLE LIBRARY-PATH

#include "platform/JtagHelper.h"
#include "platform/JtagLibrary.h"
#include "platform/WindowsText.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

using namespace qbv::platform;
using jtaghelper::Call;
using jtaghelper::Reply;
using jtaghelper::Request;

namespace {

HANDLE pipe = nullptr;

bool receive(void* space, DWORD count) {
    auto* next = static_cast<char*>(space);
    while (count > 0) {
        DWORD moved = 0;
        if (!ReadFile(pipe, next, count, &moved, nullptr) || moved == 0)
            return false;
        next += moved;
        count -= moved;
    }
    return true;
}

bool answer(Reply reply, const void* bytes = nullptr, uint32_t length = 0) {
    reply.length = length;
    std::string message(reinterpret_cast<const char*>(&reply), sizeof reply);
    message.append(static_cast<const char*>(bytes ? bytes : ""), bytes ? length : 0);
    DWORD moved = 0;
    return WriteFile(pipe, message.data(), static_cast<DWORD>(message.size()), &moved, nullptr) &&
           moved == message.size();
}

// One call on the library, as the request says; false when the reply could not be sent.
bool serve(JtagLibrary& library, void* context, const Request& request, const std::string& bytes) {
    const int32_t* ints = request.ints;
    switch (static_cast<Call>(request.call)) {
    case Call::Init:
        return answer({library.init(ints[0], ints[1], ints[2], ints[3], ints[4], ints[5], bytes.c_str(),
                                    ints[6], context)});
    case Call::Close:
        return answer({library.close(context)});
    case Call::AtlanticInit:
        return answer({library.atlanticInit(context)});
    case Call::ClearStall:
        return answer({library.clearStall(context)});
    case Call::Write: {
        int32_t written = ints[1];
        int32_t stall = ints[2];
        // Never more than came: the count is the program's, the bytes are what crossed.
        const int32_t count = std::min<int32_t>(ints[0], static_cast<int32_t>(bytes.size()));
        const int32_t result =
            library.write(context, reinterpret_cast<const uint8_t*>(bytes.data()), count, &written, &stall);
        return answer({result, written, stall});
    }
    case Call::Read: {
        // The space as the program's own: the library may write anywhere in the room it was offered.
        const int32_t room = std::max(0, std::min<int32_t>(ints[0], jtaghelper::kMaxBytes));
        std::vector<uint8_t> space(static_cast<size_t>(room));
        int32_t received = ints[1];
        int32_t stall = ints[2];
        const int32_t result = library.read(context, space.data(), room, &received, &stall);
        return answer({result, received, stall}, space.data(), static_cast<uint32_t>(room));
    }
    case Call::ErrorText: {
        std::string text;
        const auto kind = static_cast<int32_t>(library.errorText(context, text));
        return answer({kind}, text.data(), static_cast<uint32_t>(text.size()));
    }
    }
    return false;
}

} // namespace

int main() {
    int count = 0;
    LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!arguments || count != 3)
        return 64;
    pipe = reinterpret_cast<HANDLE>(static_cast<uintptr_t>(std::wcstoull(arguments[1], nullptr, 10)));
    const std::string libraryPath = narrow(arguments[2]);
    LocalFree(arguments);

    JtagLoad load = loadJtagLibraryHere(libraryPath);
    const auto edition =
        static_cast<int32_t>(load.library ? load.library->edition() : qbv::jtag::Edition::Makers);
    if (!answer({static_cast<int32_t>(load.error), edition}, load.detail.data(),
                static_cast<uint32_t>(load.detail.size())) ||
        !load.library)
        return 1;

    // The link context, which only the library reads and writes, lies here, where the library can reach it.
    alignas(8) unsigned char context[qbv::jtag::kLinkContextSize] = {};
    Request request;
    std::string bytes;
    while (receive(&request, sizeof request) && request.length <= jtaghelper::kMaxBytes) {
        bytes.assign(request.length, '\0');
        if (!receive(bytes.data(), request.length) || !serve(*load.library, context, request, bytes))
            break;
    }
    return 0;
}
