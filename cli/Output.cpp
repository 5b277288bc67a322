#include "Output.h"

namespace qbv::cli {

Reporter::Reporter(Console& console, bool json, const char* command)
    : console_(console), json_(json), command_(command) {}

JsonObject Reporter::head(bool ok) const {
    JsonObject object;
    object.addString("command", command_).addBool("ok", ok);
    return object;
}

void Reporter::result(const std::string& words, const JsonObject& fields) {
    // Flushed at once: a script reading a watch through a pipe must not wait for a buffer to fill.
    if (json_)
        console_.out << JsonObject(head(true)).append(fields).text() << std::endl;
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

int Reporter::failure(int exitCode, const std::string& message, const JsonObject& fields) {
    console_.err << "qbv: " << message << std::endl;
    if (json_) {
        JsonArray messages;
        for (const std::string& text : messages_)
            messages.addString(text);
        JsonObject object = head(false);
        object.addNumber("exit", exitCode)
            .addString("error", message)
            .addArray("messages", messages)
            .append(fields);
        console_.out << object.text() << std::endl;
    }
    return exitCode;
}

} // namespace qbv::cli
