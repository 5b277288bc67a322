#include "Output.h"

namespace qbv::cli {

Reporter::Reporter(Console& console, bool json, const char* command)
    : console_(console), json_(json), command_(command) {}

Json Reporter::head(bool ok) const {
    return {{"command", command_}, {"ok", ok}};
}

void Reporter::result(const std::string& words, const Json& fields) {
    // Flushed at once: a script reading a watch through a pipe must not wait for a buffer to fill.
    if (json_)
        console_.out << jsonText(merged(head(true), fields)) << std::endl;
    else
        console_.out << words << std::endl;
}

void Reporter::status(const std::string& words) {
    if (!json_)
        console_.out << words << std::endl;
}

void Reporter::message(MessageKind kind, const std::string& text) {
    console_.err << messageTitle(kind) << ": " << text << std::endl;
    messages_.push_back(text);
}

int Reporter::failure(int exitCode, const std::string& message, const Json& fields,
                      const std::string& reason) {
    // The specific reason before the message, which may be a general checklist.
    if (!reason.empty())
        console_.err << "qbv: " << reason << std::endl;
    console_.err << "qbv: " << message << std::endl;
    if (json_) {
        const Json failed = {{"exit", exitCode}, {"error", message}, {"messages", messages_}};
        Json all = merged(merged(head(false), failed), fields);
        if (!reason.empty())
            all["reason"] = reason;
        console_.out << jsonText(all) << std::endl;
    }
    return exitCode;
}

} // namespace qbv::cli
