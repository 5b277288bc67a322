#pragma once

#include "platform/UiHost.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace qbv::test {

// Stands in for the user at the message boxes: records each box and gives the next scripted answer
// (Yes to a question when none is scripted). Installed for as long as it lives.
class RecordingUiHost final : public UiHost {
public:
    struct Box {
        BoxKind kind;
        std::string text;
        BoxButtons buttons;
    };

    RecordingUiHost() { setUiHost(this); }
    ~RecordingUiHost() override { setUiHost(nullptr); }

    BoxAnswer messageBox(BoxKind kind, const std::string& text, BoxButtons buttons) override {
        boxes.push_back({kind, text, buttons});
        if (onBox)
            onBox(boxes.back());
        if (buttons == BoxButtons::Ok)
            return BoxAnswer::Ok;
        if (answers.empty())
            return BoxAnswer::Yes;
        const BoxAnswer answer = answers.front();
        answers.pop_front();
        return answer;
    }

    void processMessages() override {
        ++processed;
        if (onProcess)
            onProcess();
    }

    std::vector<std::string> texts() const {
        std::vector<std::string> result;
        for (const Box& box : boxes)
            result.push_back(box.text);
        return result;
    }

    std::vector<Box> boxes;
    std::deque<BoxAnswer> answers;
    int processed = 0;
    std::function<void(const Box&)> onBox;
    std::function<void()> onProcess;
};

} // namespace qbv::test
