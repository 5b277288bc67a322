#pragma once

#include "platform/ProgramLocation.h"
#include "session/Session.h"
#include "tests/programming/ProgrammerTesting.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeJtag.h"

#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qbv::test {

// A front end that only writes down what the session told it, in order, with the time and how many calls
// the fake library had received by then, so that a test can tell which call happened under which state.
// Its box stays up until the test answers it, as a window's would.
class RecordingView final : public session::SessionView {
public:
    enum class Kind { State, Status, Box, Progress, ProgressEnd, Command, Posted, Answer, Ended, Log };
    struct Event {
        Kind kind;
        std::string text;   // the state's name, the status, the box's or the log's words
        uint64_t value = 0; // the state, the request answered, the command's data byte
        uint32_t at = 0;
        int boardCalls = 0;
    };

    explicit RecordingView(const FakeJtagScript& board) : board_(board) {}

    std::vector<Event> events;
    std::optional<session::Box> box;
    int boxesOverlaid = 0; // boxes opened while another was up
    std::optional<uint32_t> wakeAt;
    std::vector<std::pair<session::RequestId, session::ScriptReply>> answers;
    int posts = 0; // programming messages posted and not yet delivered
    uint8_t keys = 0;

    std::vector<std::string> texts(Kind kind, size_t from = 0) const {
        std::vector<std::string> found;
        for (size_t i = from; i < events.size(); ++i)
            if (events[i].kind == kind)
                found.push_back(events[i].text);
        return found;
    }

    void stateChanged(session::State state) override {
        note(Kind::State, session::stateName(state), static_cast<uint64_t>(state));
    }
    void showStatus(const std::string& text, colour::Colour) override { note(Kind::Status, text); }
    void openBox(const session::Box& opened) override {
        boxesOverlaid += box ? 1 : 0;
        box = opened;
        note(Kind::Box, opened.text);
    }
    void wakeAfter(uint32_t milliseconds) override { wakeAt = platform::tickCount() + milliseconds; }
    void startProgressRun(uint32_t durationMs) override { note(Kind::Progress, {}, durationMs); }
    void endProgressRun() override { note(Kind::ProgressEnd); }
    void releaseControls() override {}
    void keysRead(uint8_t read) override { keys = read; }
    void commandTaken(int32_t command, uint8_t data) override {
        note(Kind::Command, std::to_string(command), data);
    }
    void postProgramming() override {
        ++posts;
        note(Kind::Posted);
    }
    void answerScript(session::RequestId id, const session::ScriptReply& reply) override {
        answers.emplace_back(id, reply);
        note(Kind::Answer, reply.text, id);
    }
    void ended() override { note(Kind::Ended); }
    void log(const std::string& line) override { note(Kind::Log, line); }

private:
    void note(Kind kind, std::string text = {}, uint64_t value = 0) {
        events.push_back({kind, std::move(text), value, platform::tickCount(), board_.callCount});
    }
    const FakeJtagScript& board_;
};

// A program folder with the fake library in it (whole, lacking an export, or none), the test programmer
// where the job looks beside the program, and the design file it programs.
struct ProgramFolder {
    explicit ProgramFolder(int omittedExport = FakeLibraryDirectory::kWhole, bool withLibrary = true)
        : directory(omittedExport) {
        installTestProgrammer(directory.path() / "quartus" / "bin" /
                              (std::string("quartus_pgm") + QBV_EXE_SUFFIX));
        designFile(true);
        if (!withLibrary)
            directory.removeLibrary();
    }
    void designFile(bool present) const {
        const std::filesystem::path file = directory.path() / "QBV_Control_Panel.pof";
        if (present)
            std::ofstream(file) << "design";
        else
            std::filesystem::remove(file);
    }
    void use() const { platform::setProgramDirectory(directory.directory()); }

    FakeLibraryDirectory directory;
};

// A session over the fake library with time standing still: it moves by the library's delays, the port's
// pauses, and when the test passes time; the session is woken as a window's timer would wake it, late
// when the test passes more time than the session asked for.
struct SessionBench {
    SessionBench() {
        fake.delayWith(clock);
        fake.answerKeyReads(0x00);
    }

    // Time passes; a wake that fell due meanwhile comes at its end.
    void passTime(uint32_t milliseconds) {
        clock.advance(milliseconds);
        wakeIfDue();
    }
    bool wakeIfDue() {
        if (!view.wakeAt || static_cast<int32_t>(platform::tickCount() - *view.wakeAt) < 0)
            return false;
        view.wakeAt.reset();
        session.advance();
        return true;
    }
    // The user's answer to the box that is up: OK on a box that says, Yes or No on a question.
    void answer(bool yes) {
        if (!view.box)
            return;
        const bool question = view.box->question;
        view.box.reset();
        session.answer(!question ? session::Answer::Ok : yes ? session::Answer::Yes : session::Answer::No);
    }
    void deliverPosts() {
        for (; view.posts > 0; --view.posts)
            session.request(session::Action::Program);
    }

    FakeClock clock{1000};
    FakeJtag fake;
    RecordingView view{fake.script()};
    session::Session session{view};
};

} // namespace qbv::test
