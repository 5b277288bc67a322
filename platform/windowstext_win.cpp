#include "WindowsText.h"

#include <windows.h>

#include <cctype>

namespace qbv::platform {

namespace {

// Every insert place of a system sentence (%1 to %99, with or without a !format!) filled with the subject.
std::string fillPlaces(const std::string& sentence, const std::string& subject) {
    std::string filled;
    for (size_t i = 0; i < sentence.size(); ++i) {
        const bool place =
            sentence[i] == '%' && i + 1 < sentence.size() && sentence[i + 1] >= '1' && sentence[i + 1] <= '9';
        if (!place) {
            filled += sentence[i];
            continue;
        }
        i += 1;
        while (i + 1 < sentence.size() && std::isdigit(static_cast<unsigned char>(sentence[i + 1])))
            ++i;
        if (i + 1 < sentence.size() && sentence[i + 1] == '!') {
            const size_t end = sentence.find('!', i + 2);
            i = end == std::string::npos ? sentence.size() : end;
        }
        filled += subject;
    }
    return filled;
}

} // namespace

std::wstring wide(const std::string& text) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring result(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), length);
    return result;
}

std::string narrow(const std::wstring& text) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string result(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), result.data(), length,
                        nullptr, nullptr);
    return result;
}

std::string systemMessage(unsigned long code, const std::string& subject) {
    wchar_t text[512] = {};
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                        code, 0, text, sizeof text / sizeof text[0], nullptr);
    std::string message = fillPlaces(narrow(std::wstring(text, length)), subject);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.'))
        message.pop_back();
    return message.empty() ? "system error " + std::to_string(code) : message;
}

} // namespace qbv::platform
