#pragma once

#include <cstdint>
#include <vector>

// For the Windows files of this folder only: a pipe opened for overlapped I/O, read and written with a
// time-out, and a handle handed to a child process.
namespace qbv::platform {

// One handle a child inherits, and no other of this program's: an inheritable copy of it, and the
// attribute list for CreateProcessW (with EXTENDED_STARTUPINFO_PRESENT and inheritance on) that names it
// alone.
class InheritedHandle {
public:
    InheritedHandle() = default;
    ~InheritedHandle();
    InheritedHandle(const InheritedHandle&) = delete;
    InheritedHandle& operator=(const InheritedHandle&) = delete;

    // False when the system refuses a step.
    bool prepare(void* handle);
    void* handle() const { return handle_; }
    void* attributes() const { return attributes_; }

private:
    void* handle_ = nullptr;
    std::vector<char> buffer_;
    void* attributes_ = nullptr;
};

// One overlapped read or write, waited for until the time-out: the count it moved (0 when the time ran out
// first), or -1 when the pipe failed. The event, when given, is used for the wait instead of one made for
// it: a caller that moves many small messages keeps one.
long long pipeTransfer(void* pipe, bool writing, void* bytes, unsigned long count, uint32_t timeoutMs,
                       void* event = nullptr);

} // namespace qbv::platform
