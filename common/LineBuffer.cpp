#include "common/LineBuffer.h"

namespace qbv {

void LineBuffer::append(std::string_view bytes) {
    // What was handed out is dropped once it is at least half the buffer, so that a stream of short lines
    // costs no more than the bytes themselves.
    if (start_ > 0 && start_ >= bytes_.size() / 2) {
        bytes_.erase(0, start_);
        scanned_ -= start_;
        start_ = 0;
    }
    bytes_.append(bytes);
}

size_t LineBuffer::lineEnd() const {
    const size_t end = bytes_.find('\n', scanned_);
    scanned_ = end == std::string::npos ? bytes_.size() : end;
    return end;
}

size_t LineBuffer::nextLineLength() const {
    const size_t end = lineEnd();
    return (end == std::string::npos ? bytes_.size() : end) - start_;
}

bool LineBuffer::takeLine(std::string& line) {
    const size_t end = lineEnd();
    if (end == std::string::npos || end - start_ > maxLine_)
        return false;
    line.assign(bytes_, start_, end - start_);
    start_ = scanned_ = end + 1;
    if (start_ == bytes_.size())
        clear();
    return true;
}

void LineBuffer::clear() {
    bytes_.clear();
    start_ = scanned_ = 0;
}

} // namespace qbv
