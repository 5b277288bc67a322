#pragma once

#include "platform/ProgramLocation.h"
#include "session/Session.h"
#include "tests/programming/ProgrammerTesting.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FakeJtag.h"

#include <algorithm>
#include <fstream>
#include <initializer_list>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qbv::test {

inline bool oneOf(session::State state, std::initializer_list<session::State> states) {
    return std::find(states.begin(), states.end(), state) != states.end();
}

// A front end that writes down what the session tells it and its listeners, in order, with the time and the
// number of calls the fake library had received by then, so that a test can tell which call happened in
// which state. Its box stays up until the test answers it, as a window's would.
class RecordingView final : public session::SessionView, public session::SessionListener {
public:
    enum class Kind { State, Status, Box, Progress, Answer, Ended, Log, Checked, CheckEnded };
    struct Event {
        Kind kind;
        std::string text;   // the state's name, the status, the box's or the log's words
        uint64_t value = 0; // the state, the request answered
        uint32_t at = 0;
        int boardCalls = 0;
    };

    explicit RecordingView(const FakeJtagScript& board) : board_(board) {}

    std::vector<Event> events;
    std::optional<session::Box> box;
    int boxesOverlaid = 0; // boxes opened while another was up
    std::optional<uint32_t> wakeAt;
    std::vector<session::ScriptReply> replies;
    std::optional<uint32_t> pollAt;       // the next key poll, once polling began
    std::optional<uint32_t> pollInterval; // how far off the session last set it, after a read

    void stateChanged(session::State state) override {
        note(Kind::State, session::stateName(state), static_cast<uint64_t>(state));
    }
    void showStatus(const std::string& text, colour::Colour) override { note(Kind::Status, text); }
    void openBox(const session::Box& opened) override {
        boxesOverlaid += box ? 1 : 0;
        box = opened;
        note(Kind::Box, opened.text);
    }
    void closeBox() override { box.reset(); }
    void wakeAfter(uint32_t milliseconds) override { wakeAt = platform::tickCount() + milliseconds; }
    void startPolling() override { pollAt = platform::tickCount() + 50; } // the window's timer as stored
    void pollAfter(uint32_t milliseconds) override {
        pollAt = platform::tickCount() + milliseconds;
        pollInterval = milliseconds;
    }
    void startProgressRun(uint32_t) override { note(Kind::Progress); }
    void endProgressRun() override {}
    void releaseControls() override {}
    void keysRead(uint8_t) override {}
    void commandTaken(int32_t, uint8_t) override {}
    void answered(session::RequestId id, const session::ScriptReply& reply) override {
        replies.push_back(reply);
        note(Kind::Answer, reply.text, id);
    }
    void checked(const doctor::CheckLine& line) override {
        note(Kind::Checked, std::string(line.name) + " " + doctor::statusName(line.result.status));
    }
    void checkEnded(doctor::Ending ending) override { note(Kind::CheckEnded, doctor::endingWords(ending)); }
    void ended() override { note(Kind::Ended); }
    void logged(const std::string& line) override { note(Kind::Log, line); }

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
    // The library as the kind says: whole (0), lacking an export (1), or none (2). The old file is removed
    // first: one that a port holds stays as it was loaded.
    void library(int kind) const {
        std::filesystem::remove(pathFromUtf8(directory.libraryPath()));
        if (kind < 2)
            std::filesystem::copy_file(
                FakeLibraryDirectory::builtLibrary(kind == 0 ? FakeLibraryDirectory::kWhole : 9),
                pathFromUtf8(directory.libraryPath()));
    }

    FakeLibraryDirectory directory;
};

// A session over the fake library with time standing still: it moves by the library's delays, the port's
// pauses, and when the test passes time; the session is woken as a window's timer would wake it, late
// when the test passes more time than the session asked for.
struct SessionBench {
    explicit SessionBench(uint32_t start = 1000) : clock(start) {
        fake.delayWith(clock);
        fake.answerKeyReads(0x00);
    }

    void passTime(uint32_t milliseconds) {
        clock.advance(milliseconds);
        wakeIfDue();
    }
    void wakeIfDue() {
        if (!view.wakeAt || static_cast<int32_t>(platform::tickCount() - *view.wakeAt) < 0)
            return;
        view.wakeAt.reset();
        session.advance();
    }
    // The user's answer to the box that is up: Yes or No where it asks, OK where it tells.
    void answer(bool yes) {
        if (!view.box)
            return;
        const bool question = view.box->question;
        view.box.reset();
        session.answer(!question ? session::Answer::Ok : yes ? session::Answer::Yes : session::Answer::No);
    }
    // The programming message, 1026, as any sender in the program would post it.
    void deliverPosts() { session.request(session::Action::Program); }

    FakeClock clock;
    FakeJtag fake;
    RecordingView view{fake.script()};
    // In the folder the test laid out; the fake library is the maker's: no virtual board to look at.
    session::Session session{view, programFolder(), {}};
    const bool listening = (session.listen(view), true);
};

} // namespace qbv::test
