#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qbv {

// The bytes received on a connection that speaks in lines, cut at each "\n". Lines come out in order and
// whole, however the bytes were split on the way. A line may be at most maxLine bytes long (its "\n" not
// counted): a longer one, whole or still unfinished, is an overflow, which ends what the buffer hands out,
// as the peer is not speaking the protocol.
class LineBuffer {
public:
    explicit LineBuffer(size_t maxLine) : maxLine_(maxLine) {}

    void append(std::string_view bytes);
    // The next whole line, without its "\n" (a "\r" before it stays); false when none has come whole yet,
    // or on an overflow.
    bool takeLine(std::string& line);
    // The next line, whole or not, is longer than the limit.
    bool overflowed() const { return nextLineLength() > maxLine_; }
    // Bytes wait that are not yet handed out: part of a line, or lines not taken yet.
    bool pending() const { return start_ < bytes_.size(); }
    void clear();

private:
    size_t lineEnd() const; // where the next line's "\n" is, or npos
    size_t nextLineLength() const;

    size_t maxLine_;
    std::string bytes_;
    size_t start_ = 0;           // the next line begins here; what is before it was handed out
    mutable size_t scanned_ = 0; // from start_ to here holds no "\n": bytes arriving one by one are read once
};

} // namespace qbv
