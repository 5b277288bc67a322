#pragma once

#include "app/MessageBoxes.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace qbv::test {

// Stands in for the user at the window's message boxes: records each box and gives the next scripted
// answer (Yes to a question when none is scripted). Hand it to the window with SetMessageBoxes.
class RecordingBoxes final : public MessageBoxes {
public:
    struct Box {
        MessageKind kind;
        std::string text;
        BoxButtons buttons;
        std::string detail;
    };

    BoxAnswer show(MessageKind kind, const QString& text, BoxButtons buttons,
                   const QString& detail = {}) override {
        boxes.push_back({kind, text.toStdString(), buttons, detail.toStdString()});
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

    std::vector<std::string> texts() const {
        std::vector<std::string> result;
        for (const Box& box : boxes)
            result.push_back(box.text);
        return result;
    }

    std::vector<Box> boxes;
    std::deque<BoxAnswer> answers;
    std::function<void(const Box&)> onBox;
};

} // namespace qbv::test
