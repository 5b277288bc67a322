#pragma once

#include "platform/JtagLibrary.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

// What went wrong when the port was made; the text is what the user is shown, in an error box.
enum class JtagPortError {
    NoError,
    LibraryNotLoaded, // "fail to load dll - <full path>"
    FunctionMissing,  // "fail to find some API"; the library has been freed again
};

// The only way to the board: loads the JTAG access library from the program's directory, opens a link
// to the board's controller and moves bytes over it with a timed write and a timed read. It shows
// nothing itself: a failed load is left in error() and errorString() for the owner to show.
class TJtagPort {
public:
    // Loads the library from the program's folder (with its trailing separator): the executable's, or the
    // one a test lays out as it.
    explicit TJtagPort(const std::string& folder);
    ~TJtagPort();

    TJtagPort(const TJtagPort&) = delete;
    TJtagPort& operator=(const TJtagPort&) = delete;

    bool IsLoaded() const { return FLibrary != nullptr; }
    bool IsOpen() const { return FOpened; }

    // One board command at a time over a port: the exchange holds this from its first byte to its reply
    // (board::SendCommand), and one started while another is on its way stops the program.
    class CommandInFlight {
    public:
        explicit CommandInFlight(TJtagPort& port);
        ~CommandInFlight();
        CommandInFlight(const CommandInFlight&) = delete;
        CommandInFlight& operator=(const CommandInFlight&) = delete;

    private:
        TJtagPort& port_;
    };
    bool IsCommandInFlight() const { return FCommandInFlight; }

    bool Open();
    void Close();

    // True when all count bytes were accepted before the time-out.
    bool Write(const uint8_t* data, int32_t count, uint32_t timeoutMs, bool pump);
    // Receives up to count bytes; returns how many arrived before the time-out.
    int32_t Read(uint8_t* buffer, int32_t count, uint32_t timeoutMs, bool pump);

    // The full path the port tried to load the library from.
    const std::string& LibraryPath() const { return FLibraryPath; }

    JtagPortError error() const { return FError; }
    const std::string& errorString() const { return FErrorString; }
    // Why, in more words than errorString: the system's reason a load failed, or that a function lacked.
    const std::string& errorDetail() const { return FErrorDetail; }

    // Why the last Open failed, in the library's own words, when it is an edition of ours that says so
    // (the maker's library does not): None and "" otherwise.
    qbv::jtag::LinkError linkError() const { return FLinkError; }
    // Which edition of the library was loaded: the maker's, or one of ours; none when none was.
    std::optional<qbv::jtag::Edition> libraryEdition() const;
    // The same in words, as About, the log and the checks show it; empty when none was loaded. When the
    // library runs outside this program (a 32-bit library on 64-bit Windows), it says how.
    std::string edition() const;
    const std::string& linkErrorString() const { return FLinkErrorString; }

private:
    void LoadJtagLibrary();
    void FreeJtagLibrary();
    template <typename Call> int32_t Transfer(int32_t asked, Call call);
    void setError(JtagPortError error, std::string text);
    bool openFailed();

    // The library with its ten functions; none when loading failed or the library was freed.
    std::unique_ptr<qbv::platform::JtagLibrary> FLibrary;
    // Set up and used by the library only; the port just hands out its address.
    alignas(8) unsigned char FContext[qbv::jtag::kLinkContextSize];
    bool FOpened = false;
    bool FCommandInFlight = false;

    std::string FLibraryPath;
    JtagPortError FError = JtagPortError::NoError;
    std::string FErrorString;
    std::string FErrorDetail;
    qbv::jtag::LinkError FLinkError = qbv::jtag::LinkError::None;
    std::string FLinkErrorString;
};
