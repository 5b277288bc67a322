#include "platform/JtagExports.h"

#include <algorithm>
#include <cstring>

namespace qbv::jtag {

void copyErrorText(const char* sentence, char* text, int32_t room) {
    if (!text || room <= 0)
        return;
    const size_t length = std::min(std::strlen(sentence), static_cast<size_t>(room - 1));
    std::memcpy(text, sentence, length);
    text[length] = '\0';
}

} // namespace qbv::jtag
