#include "Terminal.h"

#include "WindowsText.h"

#include <windows.h>

#include <cstdio>
#include <io.h>
#include <iostream>
#include <streambuf>

namespace qbv::platform {

namespace {

// Hands a console UTF-8 text as UTF-16. A letter cut in two by a full buffer waits for its other half.
class ConsoleBuffer final : public std::streambuf {
public:
    explicit ConsoleBuffer(HANDLE console) : console_(console) { setp(buffer_, buffer_ + sizeof buffer_); }

protected:
    int_type overflow(int_type c) override {
        if (!flushWhole())
            return traits_type::eof();
        if (!traits_type::eq_int_type(c, traits_type::eof())) {
            *pptr() = traits_type::to_char_type(c);
            pbump(1);
        }
        return traits_type::not_eof(c);
    }
    int sync() override { return flushWhole() ? 0 : -1; }

private:
    // Writes every whole letter in the buffer and keeps the start of one that is cut.
    bool flushWhole() {
        const size_t length = static_cast<size_t>(pptr() - pbase());
        size_t whole = length;
        // Back over the continuation bytes at the end to the lead byte of the last letter.
        size_t lead = length;
        while (lead > 0 && (static_cast<unsigned char>(buffer_[lead - 1]) & 0xC0) == 0x80 &&
               length - lead < 3)
            --lead;
        if (lead > 0) {
            const auto first = static_cast<unsigned char>(buffer_[lead - 1]);
            const size_t needed = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
            if (length - (lead - 1) < needed)
                whole = lead - 1;
        }
        const std::wstring text = wide(std::string(buffer_, whole));
        DWORD written = 0;
        const bool ok = text.empty() || WriteConsoleW(console_, text.data(), static_cast<DWORD>(text.size()),
                                                      &written, nullptr);
        const size_t kept = length - whole;
        std::char_traits<char>::move(buffer_, buffer_ + whole, kept);
        setp(buffer_, buffer_ + sizeof buffer_);
        pbump(static_cast<int>(kept));
        return ok;
    }

    HANDLE console_;
    char buffer_[1024];
};

// The stream for a standard handle: its console's, when it is one, else the C++ library's own. A console's
// is made once and never freed, as std::cout is, and hands each output on at once, as std::cerr does: the
// program may end with std::exit, which flushes only the library's own streams.
std::ostream& streamFor(DWORD which, std::ostream& plain) {
    const HANDLE handle = GetStdHandle(which);
    DWORD mode = 0;
    if (handle == nullptr || handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode))
        return plain;
    auto* stream = new std::ostream(new ConsoleBuffer(handle));
    stream->setf(std::ios::unitbuf);
    return *stream;
}

} // namespace

bool standardOutputIsTerminal() {
    return _isatty(_fileno(stdout)) != 0;
}

bool standardErrorIsTerminal() {
    return _isatty(_fileno(stderr)) != 0;
}

std::ostream& standardOutput() {
    static std::ostream& stream = streamFor(STD_OUTPUT_HANDLE, std::cout);
    return stream;
}

std::ostream& standardError() {
    static std::ostream& stream = streamFor(STD_ERROR_HANDLE, std::cerr);
    return stream;
}

} // namespace qbv::platform
