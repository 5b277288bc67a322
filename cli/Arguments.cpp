#include "Arguments.h"

#include "board/BoardProtocol.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <optional>

namespace qbv::cli {

namespace {

// Each command's name, and the option it takes with a value or alone, in the order of Command.
struct CommandWords {
    const char* name;
    const char* valueOption = nullptr;
    const char* flag = nullptr;
};
constexpr CommandWords kCommands[] = {
    {""}, {"ping"}, {"led", "--on"}, {"pin"}, {"keys", nullptr, "--watch"}, {"program", "--timeout-ms"}};

const CommandWords& wordsOf(Command command) {
    return kCommands[static_cast<int>(command)];
}

// A NUL marks what did not come from the user, since no word of a command line can hold one. Alone, it is
// what CLI11 hands an option typed without a value (so a bare --on is told from --on ''); in front of a
// word, it hides that word from CLI11's own syntax.
constexpr char kNul = '\0';
const std::string kNoValue(1, kNul);

// Words CLI11 would read in ways qbv never has: "--" and "++" (its markers), "-hx" (-h -x), and a value
// given to a flag ("--json=1"). qbv reads them as words like any other, mostly to complain about them.
bool hiddenFromCli11(const std::string& word) {
    if (word == "--" || word == "++" || (word.size() > 2 && word.starts_with("-h")))
        return true;
    if (!word.starts_with("--") || word.find('=') == std::string::npos)
        return false;
    for (const CommandWords& command : kCommands)
        if (command.valueOption && word.starts_with(command.valueOption + std::string("=")))
            return false;
    return true;
}

std::string shown(const std::string& word) {
    return word.size() > 1 && word[0] == kNul ? word.substr(1) : word;
}

std::string inQuotes(const std::string& text) {
    return "'" + text + "'";
}

// Pin numbers such as -1 are values to complain about, not options.
bool isOption(const std::string& word) {
    return word.size() > 1 && word[0] == '-' && !std::isdigit(static_cast<unsigned char>(word[1]));
}

// A value of the command's option, and its place among the words CLI11 leaves over: after `after` of them.
struct Placed {
    size_t after = 0;
    std::string value;
};

// What CLI11 found on a line.
struct Scan {
    Command command = Command::None;
    size_t nameIndex = 0;       // of the command's name on the line
    size_t wordsBeforeName = 0; // left over before it
    size_t wordsBeforeJson = SIZE_MAX;
    bool help = false;
    bool version = false;
    bool flag = false;              // the command's own (--watch)
    std::vector<std::string> words; // left over, in the order typed
    std::vector<Placed> values;     // in the order typed
};

void addGlobalOptions(CLI::App& app, Scan& scan) {
    // qbv's own help texts; and --help wins even over bad values, so it is a plain flag.
    app.set_help_flag();
    // Where the first --json came matters to a line with an unknown command, which is not read past it.
    app.add_flag_callback(
           "--json", [&] { scan.wordsBeforeJson = std::min(scan.wordsBeforeJson, app.remaining_size()); })
        ->trigger_on_parse();
    app.add_flag_callback("-h,--help", [&] { scan.help = true; });
    app.add_flag_callback("--version", [&] { scan.version = true; });
}

void addValueOption(CLI::App& app, CLI::App& command, const std::string& name, Scan& scan) {
    command
        .add_option(name,
                    [&](const CLI::results_t& values) {
                        scan.values.push_back({app.remaining_size(), values.front()});
                        return true;
                    })
        // The value may be left out, so that a --help after the option is help and not its value.
        ->expected(0, 1)
        ->default_str(kNoValue)
        ->trigger_on_parse();
}

void addCommands(CLI::App& app, Scan& scan, size_t lineLength) {
    app.require_subcommand(0, 1); // a second command's name is an argument of the first
    for (int i = 1; i < static_cast<int>(std::size(kCommands)); ++i) {
        const CommandWords& words = kCommands[i];
        CLI::App* command = app.add_subcommand(words.name);
        // The global options after the command's name too; what it does not take joins the line's leftovers.
        command->fallthrough();
        command->preparse_callback([&, i, lineLength](size_t wordsAfterName) {
            scan.command = static_cast<Command>(i);
            scan.nameIndex = lineLength - 1 - wordsAfterName;
            scan.wordsBeforeName = app.remaining_size();
        });
        if (words.valueOption)
            addValueOption(app, *command, words.valueOption, scan);
        if (words.flag)
            command->add_flag_callback(words.flag, [&] { scan.flag = true; });
    }
}

Scan scanned(const std::vector<std::string>& line) {
    Scan scan;
    CLI::App app;
    app.allow_extras();
    addGlobalOptions(app, scan);
    addCommands(app, scan, line.size());
    std::vector<std::string> reversed; // CLI11 takes the words from the back
    for (auto word = line.rbegin(); word != line.rend(); ++word)
        reversed.push_back(hiddenFromCli11(*word) ? kNul + *word : *word);
    app.parse(reversed);
    for (const std::string& word : app.remaining())
        scan.words.push_back(shown(word));
    for (Placed& placed : scan.values)
        placed.value = shown(placed.value);
    return scan;
}

// The line as qbv has always read a command's arguments, for CLI11 to read again. CLI11 gives a command
// only the options after its name, and takes "--on=" as --on with its value still to come; qbv takes a
// command's options before its name too, and "--on=" as an empty value.
std::vector<std::string> commandLine(const std::vector<std::string>& arguments, const Scan& scan) {
    const char* option = wordsOf(scan.command).valueOption;
    const std::string emptyValue = option ? option + std::string("=") : std::string();
    std::vector<std::string> line = {arguments[scan.nameIndex]};
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (i == scan.nameIndex)
            continue;
        const bool apart = !emptyValue.empty() && arguments[i] == emptyValue;
        line.push_back(apart ? option : arguments[i]);
        if (apart)
            line.emplace_back();
    }
    return line;
}

// A word CLI11 left over, or a value of the command's option.
struct Item {
    bool value = false;
    std::string text;
};

// The leftover words and the option's values in the order typed.
std::vector<Item> inOrder(const Scan& scan) {
    std::vector<Item> items;
    size_t next = 0;
    for (size_t i = 0; i <= scan.words.size(); ++i) {
        for (; next < scan.values.size() && scan.values[next].after == i; ++next)
            items.push_back({true, scan.values[next].value});
        if (i < scan.words.size())
            items.push_back({false, scan.words[i]});
    }
    // CLI11 takes a word as an option's value only when it does not look like an option and no --json
    // comes between; qbv has always taken the next word (--on --x is a bad list, not a missing one).
    for (size_t i = 0; i + 1 < items.size(); ++i)
        if (items[i].value && items[i].text == kNoValue && !items[i + 1].value) {
            items[i].text = items[i + 1].text;
            items.erase(items.begin() + static_cast<std::ptrdiff_t>(i) + 1);
        }
    return items;
}

class Reader {
public:
    ParseResult read(const std::vector<std::string>& arguments) {
        const Scan found = scanned(arguments);
        Invocation& call = result_.invocation;
        call.command = found.command;
        call.json = found.wordsBeforeJson != SIZE_MAX;
        call.help = found.help;
        call.version = found.version;
        if (!readWordsBeforeName(found))
            return result_;
        if (call.help || call.version)
            return succeeded();
        if (call.command == Command::None)
            return failed(found.words.empty() ? "missing command" : strayWord(found.words[0]));
        const Scan command = scanned(commandLine(arguments, found));
        call.watch = command.flag;
        return readCommand(inOrder(command)) ? succeeded() : result_;
    }

private:
    // The words left over before the command's name, options aside: the first may be "help"; any other
    // names no command, since CLI11 would have taken a command's name as its subcommand.
    bool readWordsBeforeName(const Scan& scan) {
        const size_t end = scan.command == Command::None ? scan.words.size() : scan.wordsBeforeName;
        bool helpWord = false;
        for (size_t i = 0; i < end; ++i) {
            const std::string& word = scan.words[i];
            if (word.empty() || word[0] == '-')
                continue;
            if (!helpWord && word == "help") {
                helpWord = result_.invocation.help = true;
                continue;
            }
            // The line is not read past a name that is no command, not even for a --json after it.
            result_.invocation.command = Command::None;
            result_.invocation.json = scan.wordsBeforeJson <= i;
            return setError("unknown command " + inQuotes(word));
        }
        return true;
    }

    // Only option-like words or blanks are left without a command: any other word would have been one.
    static std::string strayWord(const std::string& word) {
        return (word.empty() ? "unexpected argument " : "unknown option ") + inQuotes(word);
    }

    bool readCommand(const std::vector<Item>& items) {
        switch (result_.invocation.command) {
        case Command::Ping:
        case Command::Keys:
            return items.empty() || unexpected(items[0].text);
        case Command::Led:
            return readLed(items);
        case Command::Pin:
            return readPins(items);
        case Command::Program:
            return readProgram(items);
        case Command::None:
            break;
        }
        return false;
    }

    bool readLed(const std::vector<Item>& items) {
        std::optional<uint8_t> mask;
        for (const Item& item : items) {
            if (item.value && item.text == kNoValue)
                return setError("missing argument for --on (LED numbers 0-7, separated by commas)");
            if (item.value && mask)
                return setError("give either a MASK or --on, not both");
            if (!item.value && isOption(item.text))
                return setError("unknown option " + inQuotes(item.text));
            if (!item.value && mask)
                return setError("unexpected argument " + inQuotes(item.text));
            mask = item.value ? ledList(item.text) : ledMask(item.text);
            if (!mask)
                return false;
        }
        if (!mask)
            return setError("missing argument: MASK or --on I,J,...");
        result_.invocation.ledMask = *mask;
        return true;
    }

    std::optional<uint8_t> ledMask(const std::string& word) {
        uint32_t value = 0;
        if (parseNumber(word, 0xFF, value))
            return static_cast<uint8_t>(value);
        setError("invalid LED mask " + inQuotes(word) + " (0x00-0xFF, decimal or 0x hex)");
        return std::nullopt;
    }

    std::optional<uint8_t> ledList(const std::string& list) {
        uint8_t mask = 0;
        if (list.empty())
            return mask; // all off
        size_t start = 0;
        for (;;) {
            const size_t comma = list.find(',', start);
            const std::string item =
                list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
            uint32_t led = 0;
            if (!parseNumber(item, qbv::kLedCount - 1, led)) {
                setError("invalid LED number " + inQuotes(item) + " in --on (0-7)");
                return std::nullopt;
            }
            mask |= board::ledBit(static_cast<int>(led));
            if (comma == std::string::npos)
                return mask;
            start = comma + 1;
        }
    }

    bool readPins(const std::vector<Item>& items) {
        std::vector<PinSetting>& pins = result_.invocation.pins;
        for (size_t i = 0; i < items.size(); i += 2) {
            const std::string& number = items[i].text;
            uint32_t pin = 0;
            if (isOption(number))
                return setError("unknown option " + inQuotes(number));
            if (!parseNumber(number, qbv::kPinCount - 1, pin))
                return setError("invalid pin number " + inQuotes(number) + " (0-87)");
            if (i + 1 == items.size())
                return setError("missing on or off after pin " + number);
            // ON and Off as well as on and off: a user's caps lock is no mistake worth refusing.
            std::string state = items[i + 1].text;
            std::transform(state.begin(), state.end(), state.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            if (state != "on" && state != "off")
                return setError("expected on or off after pin " + number + ", not " +
                                inQuotes(items[i + 1].text));
            pins.push_back({static_cast<int>(pin), state == "on"});
        }
        if (pins.empty())
            return setError("missing argument: N on|off");
        return true;
    }

    bool readProgram(const std::vector<Item>& items) {
        for (const Item& item : items) {
            if (!item.value)
                return unexpected(item.text);
            const std::string timeout = item.text == kNoValue ? "" : item.text;
            uint32_t value = 0;
            if (!parseNumber(timeout, UINT32_MAX, value))
                return setError("invalid time-out " + inQuotes(timeout) + " (milliseconds)");
            result_.invocation.timeoutMs = value;
        }
        return true;
    }

    bool unexpected(const std::string& word) {
        return setError((isOption(word) ? "unknown option " : "unexpected argument ") + inQuotes(word));
    }

    bool setError(std::string error) {
        result_.error = std::move(error);
        return false;
    }
    ParseResult failed(std::string error) {
        setError(std::move(error));
        return result_;
    }
    ParseResult succeeded() {
        result_.ok = true;
        return result_;
    }

    ParseResult result_;
};

} // namespace

const char* commandName(Command command) {
    return wordsOf(command).name;
}

namespace {

constexpr uint32_t kLongestWaitSeconds = 24 * 60 * 60;

// --wait SECONDS (or --wait=SECONDS), anywhere on the line, for every command that opens the link: taken
// out before the rest is read. False, with the reason, for a value that is missing or not a number.
bool takeWait(std::vector<std::string>& words, uint32_t& seconds, std::string& error) {
    for (size_t i = 0; i < words.size(); ++i) {
        const bool joined = words[i].starts_with("--wait=");
        if (words[i] != "--wait" && !joined)
            continue;
        const bool missing = !joined && i + 1 == words.size();
        const std::string value = joined ? words[i].substr(7) : missing ? "" : words[i + 1];
        if (missing || !parseNumber(value, kLongestWaitSeconds, seconds)) {
            error = "invalid wait " + inQuotes(value) + " (seconds, up to 86400)";
            return false;
        }
        words.erase(words.begin() + static_cast<std::ptrdiff_t>(i),
                    words.begin() + static_cast<std::ptrdiff_t>(i) + (joined ? 1 : 2));
        --i;
    }
    return true;
}

} // namespace

ParseResult parseArguments(const std::vector<std::string>& arguments) {
    try {
        std::vector<std::string> words = arguments;
        uint32_t waitSeconds = 0;
        std::string waitError;
        const bool waitRead = takeWait(words, waitSeconds, waitError);
        ParseResult result = Reader().read(words);
        result.invocation.waitSeconds = waitSeconds;
        if (!waitRead && !(result.ok && result.invocation.help)) { // help still wins
            result.ok = false;
            result.error = waitError;
        }
        return result;
    } catch (const CLI::ParseError&) {
        // Not expected with these options, which take any word; but no exception leaves qbv's parser.
        return {false, {}, "unreadable command line"};
    }
}

} // namespace qbv::cli
