#include "WindowsPipe.h"

#include <windows.h>

namespace qbv::platform {

InheritedHandle::~InheritedHandle() {
    if (attributes_)
        DeleteProcThreadAttributeList(static_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(attributes_));
    if (handle_)
        CloseHandle(handle_);
}

bool InheritedHandle::prepare(void* handle) {
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE ||
        !DuplicateHandle(GetCurrentProcess(), handle, GetCurrentProcess(), &handle_, 0, TRUE,
                         DUPLICATE_SAME_ACCESS))
        return false;
    SIZE_T size = 0;
    InitializeProcThreadAttributeList(nullptr, 1, 0, &size);
    buffer_.resize(size);
    const auto list = reinterpret_cast<LPPROC_THREAD_ATTRIBUTE_LIST>(buffer_.data());
    if (!InitializeProcThreadAttributeList(list, 1, 0, &size))
        return false;
    attributes_ = list;
    return UpdateProcThreadAttribute(list, 0, PROC_THREAD_ATTRIBUTE_HANDLE_LIST, &handle_, sizeof handle_,
                                     nullptr, nullptr);
}

long long pipeTransfer(void* pipe, bool writing, void* bytes, unsigned long count, uint32_t timeoutMs,
                       void* event) {
    OVERLAPPED overlapped{};
    overlapped.hEvent = event ? event : CreateEventW(nullptr, TRUE, FALSE, nullptr);
    DWORD moved = 0;
    const BOOL done = writing ? WriteFile(pipe, bytes, count, &moved, &overlapped)
                              : ReadFile(pipe, bytes, count, &moved, &overlapped);
    long long result = -1;
    if (done || GetLastError() == ERROR_IO_PENDING) {
        if (WaitForSingleObject(overlapped.hEvent, timeoutMs) == WAIT_OBJECT_0 &&
            GetOverlappedResult(pipe, &overlapped, &moved, FALSE))
            result = moved;
        else {
            CancelIo(pipe);
            if (GetOverlappedResult(pipe, &overlapped, &moved, TRUE))
                result = moved; // it finished as it was cancelled
            else if (GetLastError() == ERROR_OPERATION_ABORTED)
                result = 0;
        }
    }
    if (!event)
        CloseHandle(overlapped.hEvent);
    return result;
}

} // namespace qbv::platform
