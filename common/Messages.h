#pragma once

namespace qbv {

// The kinds of message the front ends show: a modal box in the panel, a line on standard error in qbv.
// Each is titled after its kind.
enum class MessageKind { Error, Warning, Information };

const char* messageTitle(MessageKind kind);

} // namespace qbv
