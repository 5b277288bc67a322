#include "common/Messages.h"

namespace qbv {

const char* messageTitle(MessageKind kind) {
    switch (kind) {
    case MessageKind::Error:
        return "Error";
    case MessageKind::Warning:
        return "Warning";
    case MessageKind::Information:
        return "Information";
    }
    return "";
}

} // namespace qbv
