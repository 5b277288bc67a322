#include "Arguments.h"

#include "board/BoardProtocol.h"

#include <cctype>
#include <optional>
#include <string_view>

namespace qbv::cli {

namespace {

constexpr const char* kNames[] = {"", "ping", "led", "pin", "keys", "program"};

std::optional<Command> commandNamed(std::string_view name) {
    for (int i = 1; i < static_cast<int>(std::size(kNames)); ++i)
        if (name == kNames[i])
            return static_cast<Command>(i);
    return std::nullopt;
}

std::string quoted(const std::string& text) {
    return "'" + text + "'";
}

bool isHelpOption(std::string_view word) {
    return word == "--help" || word == "-h";
}

// "--on=0,7" and "--on" "0,7" alike. Returns false when the option is not this one.
struct OptionValue {
    bool matched = false;
    bool missing = false;
    std::string value;
};

OptionValue takeValue(const std::vector<std::string>& words, size_t& i, std::string_view option) {
    const std::string& word = words[i];
    OptionValue result;
    if (word == option) {
        result.matched = true;
        if (i + 1 < words.size())
            result.value = words[++i];
        else
            result.missing = true;
    } else if (word.size() > option.size() && word.compare(0, option.size(), option) == 0 &&
               word[option.size()] == '=') {
        result.matched = true;
        result.value = word.substr(option.size() + 1);
    }
    return result;
}

class Parser {
public:
    explicit Parser(const std::vector<std::string>& words) : words_(words) {}

    ParseResult run() {
        if (!scanCommand())
            return failed();
        if (result_.invocation.help || result_.invocation.version) {
            result_.ok = true;
            return result_;
        }
        if (result_.invocation.command == Command::None)
            return fail("missing command");
        if (!parseCommandArguments())
            return failed();
        result_.ok = true;
        return result_;
    }

private:
    // Finds the command word and the options that every command takes; the command's own arguments are
    // left in rest_.
    bool scanCommand() {
        Invocation& call = result_.invocation;
        bool helpWord = false;
        for (size_t i = 0; i < words_.size(); ++i) {
            const std::string& word = words_[i];
            const bool beforeCommand = call.command == Command::None;
            if (word == "--json") {
                call.json = true;
            } else if (isHelpOption(word)) {
                call.help = true;
            } else if (word == "--version") {
                call.version = true;
            } else if (beforeCommand && !helpWord && word == "help") {
                helpWord = call.help = true;
            } else if (beforeCommand && !word.empty() && word[0] != '-') {
                const auto command = commandNamed(word);
                if (!command)
                    return setError("unknown command " + quoted(word));
                call.command = *command;
            } else {
                rest_.push_back(word);
            }
        }
        // With --help, whatever else is on the line is not looked at: the user asked for words, not work.
        if (call.command == Command::None && !rest_.empty() && !call.help && !call.version)
            return setError(rest_[0][0] == '-' ? "unknown option " + quoted(rest_[0])
                                               : "unexpected argument " + quoted(rest_[0]));
        return true;
    }

    bool parseCommandArguments() {
        switch (result_.invocation.command) {
        case Command::Ping:
            return noMoreArguments(0);
        case Command::Led:
            return parseLed();
        case Command::Pin:
            return parsePins();
        case Command::Keys:
            return parseKeys();
        case Command::Program:
            return parseProgram();
        case Command::None:
            break;
        }
        return false;
    }

    bool parseLed() {
        std::optional<uint8_t> mask;
        for (size_t i = 0; i < rest_.size(); ++i) {
            const OptionValue on = takeValue(rest_, i, "--on");
            if (on.matched) {
                if (on.missing)
                    return setError("missing argument for --on (LED numbers 0-7, separated by commas)");
                if (mask)
                    return setError("give either a MASK or --on, not both");
                uint8_t fromList = 0;
                if (!parseLedList(on.value, fromList))
                    return false;
                mask = fromList;
            } else if (isOption(rest_[i])) {
                return setError("unknown option " + quoted(rest_[i]));
            } else if (mask) {
                return setError("unexpected argument " + quoted(rest_[i]));
            } else {
                uint32_t value = 0;
                if (!parseNumber(rest_[i], 0xFF, value))
                    return setError("invalid LED mask " + quoted(rest_[i]) +
                                    " (0x00-0xFF, decimal or 0x hex)");
                mask = static_cast<uint8_t>(value);
            }
        }
        if (!mask)
            return setError("missing argument: MASK or --on I,J,...");
        result_.invocation.ledMask = *mask;
        return true;
    }

    bool parseLedList(const std::string& list, uint8_t& mask) {
        if (list.empty())
            return true; // all off
        size_t start = 0;
        for (;;) {
            const size_t comma = list.find(',', start);
            const std::string item =
                list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
            uint32_t led = 0;
            if (!parseNumber(item, qbv::kLedCount - 1, led))
                return setError("invalid LED number " + quoted(item) + " in --on (0-7)");
            mask |= board::ledBit(static_cast<int>(led));
            if (comma == std::string::npos)
                return true;
            start = comma + 1;
        }
    }

    bool parsePins() {
        std::vector<PinSetting>& pins = result_.invocation.pins;
        for (size_t i = 0; i < rest_.size(); i += 2) {
            uint32_t pin = 0;
            if (isOption(rest_[i]))
                return setError("unknown option " + quoted(rest_[i]));
            if (!parseNumber(rest_[i], qbv::kPinCount - 1, pin))
                return setError("invalid pin number " + quoted(rest_[i]) + " (0-87)");
            if (i + 1 == rest_.size())
                return setError("missing on or off after pin " + rest_[i]);
            const std::string& state = rest_[i + 1];
            if (state != "on" && state != "off")
                return setError("expected on or off after pin " + rest_[i] + ", not " + quoted(state));
            pins.push_back({static_cast<int>(pin), state == "on"});
        }
        if (pins.empty())
            return setError("missing argument: N on|off");
        return true;
    }

    bool parseKeys() {
        for (const std::string& word : rest_) {
            if (word != "--watch")
                return unexpected(word);
            result_.invocation.watch = true;
        }
        return true;
    }

    bool parseProgram() {
        for (size_t i = 0; i < rest_.size(); ++i) {
            const OptionValue timeout = takeValue(rest_, i, "--timeout-ms");
            if (!timeout.matched)
                return unexpected(rest_[i]);
            uint32_t value = 0;
            if (timeout.missing || !parseNumber(timeout.value, UINT32_MAX, value))
                return setError("invalid time-out " + quoted(timeout.value) + " (milliseconds)");
            result_.invocation.timeoutMs = value;
        }
        return true;
    }

    // Pin numbers such as -1 are values to complain about, not options.
    static bool isOption(const std::string& word) {
        return word.size() > 1 && word[0] == '-' && !std::isdigit(static_cast<unsigned char>(word[1]));
    }

    bool unexpected(const std::string& word) {
        return setError((isOption(word) ? "unknown option " : "unexpected argument ") + quoted(word));
    }

    bool noMoreArguments(size_t allowed) { return rest_.size() <= allowed || unexpected(rest_[allowed]); }

    bool setError(std::string error) {
        result_.error = std::move(error);
        return false;
    }
    ParseResult fail(std::string error) {
        setError(std::move(error));
        return failed();
    }
    ParseResult failed() {
        result_.ok = false;
        return result_;
    }

    const std::vector<std::string>& words_;
    std::vector<std::string> rest_;
    ParseResult result_;
};

} // namespace

const char* commandName(Command command) {
    return kNames[static_cast<int>(command)];
}

ParseResult parseArguments(const std::vector<std::string>& arguments) {
    return Parser(arguments).run();
}

} // namespace qbv::cli
