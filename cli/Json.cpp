#include "Json.h"

namespace qbv::cli {

std::string jsonText(const Json& value) {
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

Json merged(Json first, const Json& second) {
    for (const auto& [key, member] : second.items())
        first[key] = member;
    return first;
}

} // namespace qbv::cli
