#include "sim/core/TextFields.h"

#include "common/Numbers.h"

namespace qbv::sim {

std::vector<std::string> splitText(const std::string& text, char separator) {
    std::vector<std::string> pieces;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(separator, start);
        if (end == std::string::npos)
            end = text.size();
        if (end > start)
            pieces.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return pieces;
}

bool parseInteger(const std::string& text, int64_t& value) {
    const bool negative = !text.empty() && text.front() == '-';
    uint64_t magnitude = 0;
    if (!parseNumber(std::string_view(text).substr(negative ? 1 : 0), static_cast<uint64_t>(INT64_MAX),
                     magnitude))
        return false;
    value = negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    return true;
}

} // namespace qbv::sim
