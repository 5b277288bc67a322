#pragma once

#include "app/MessageBoxes.h"

#include <QObject>
#include <QTimer>
#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace qbv::test {

// Stands in for the user at the window's message boxes: records each box and gives the next scripted
// answer (Yes to a question when none is scripted) as soon as the window's loop runs again; or, while
// holding, leaves the boxes up until the test answers them. Hand it to the window as it is made.
class RecordingBoxes final : public MessageBoxes {
public:
    struct Box {
        MessageKind kind;
        std::string text;
        BoxButtons buttons;
        std::string detail;
    };

    void open(MessageKind kind, const QString& text, BoxButtons buttons, const QString& detail,
              Answered answered) override {
        boxes.push_back({kind, text.toStdString(), buttons, detail.toStdString()});
        ++opened;
        answered = [this, answered](BoxAnswer answer) {
            --opened;
            if (answered)
                answered(answer);
        };
        if (onBox)
            onBox(boxes.back());
        if (holding)
            return up.push_back(std::move(answered));
        BoxAnswer answer = BoxAnswer::Ok;
        if (buttons == BoxButtons::YesNo) {
            answer = answers.empty() ? BoxAnswer::Yes : answers.front();
            if (!answers.empty())
                answers.pop_front();
        }
        QTimer::singleShot(0, &alive_, [this, answered, answer, round = round_] {
            if (round == round_)
                answered(answer);
        });
    }

    // Every box up goes unanswered, as the window takes it away.
    void dismiss() override {
        ++round_;
        dismissed += opened;
        opened = 0;
        up.clear();
    }

    // Answers the box that has been up longest, while holding.
    bool answerOldest(BoxAnswer answer) {
        if (up.empty())
            return false;
        const Answered answered = std::move(up.front());
        up.erase(up.begin());
        if (answered)
            answered(answer);
        return true;
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
    bool holding = false;
    std::vector<Answered> up;
    int opened = 0;    // boxes not answered yet
    int dismissed = 0; // boxes the window took away unanswered

private:
    int round_ = 0; // answers scheduled before a dismissal are not given
    QObject alive_; // answers still to come are dropped with it
};

} // namespace qbv::test
