#pragma once

#include <string>

namespace qbv {

// What the Qt-free core needs of the window: a modal message box and a way to let the window handle
// its pending messages while the core waits. The Qt application installs the real one; tests install a
// recorder that answers for the user.
enum class BoxKind { Error, Warning, Information };
enum class BoxButtons { Ok, YesNo };
enum class BoxAnswer { Ok, Yes, No };

class UiHost {
public:
    virtual ~UiHost() = default;

    // Shows a modal box titled after its kind and returns the button the user chose.
    virtual BoxAnswer messageBox(BoxKind kind, const std::string& text, BoxButtons buttons) = 0;

    // Handles all pending window messages, then returns.
    virtual void processMessages() = 0;
};

// The host in use. Without a window installed, boxes go to standard error, a question is answered No
// and there are no messages to handle.
UiHost& uiHost();
void setUiHost(UiHost* host); // nullptr restores the windowless host

// The title a box of this kind carries.
const char* boxTitle(BoxKind kind);

} // namespace qbv
