#include "Arguments.h"

#include "HelpText.h"
#include "common/Board.h"
#include "common/EnumTable.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cctype>
#include <utility>

namespace qbv::cli {

namespace {

constexpr EnumName<Command> kCommandNames[] = {
    {Command::None, ""},         {Command::Ping, "ping"}, {Command::Led, "led"},
    {Command::Pin, "pin"},       {Command::Keys, "keys"}, {Command::Program, "program"},
    {Command::Doctor, "doctor"},
};
constexpr int kCommandCount = static_cast<int>(Command::Doctor) + 1;
static_assert(namesInEnumOrder(kCommandNames, kCommandCount));

// The commands' names, as a help topic names them.
std::vector<std::string> commandWords() {
    std::vector<std::string> words;
    for (int i = 1; i < kCommandCount; ++i)
        words.emplace_back(kCommandNames[i].name);
    return words;
}

constexpr uint32_t kLongestWaitSeconds = 24 * 60 * 60;

// A refusal that names the value: "invalid pin number '88' (0-87)".
std::string refusal(const std::string& what, const std::string& value, const std::string& range) {
    return what + " '" + value + "' " + range;
}

// A number as scripts write it (decimal or 0x hex; see parseNumber), handed on to CLI11 in decimal, which
// it reads without a doubt (it would take a leading 0 for octal).
CLI::Validator number(uint32_t maximum, std::string what, std::string range) {
    return CLI::Validator(
        [=](std::string& text) {
            uint32_t value = 0;
            if (!parseNumber(text, maximum, value))
                return refusal(what, text, range);
            text = std::to_string(value);
            return std::string();
        },
        "");
}

// --on's list, LED numbers as printed (1-8) separated by commas, handed on as the mask it makes; an empty
// list switches all off.
CLI::Validator ledList() {
    return CLI::Validator(
        [](std::string& list) {
            uint8_t mask = 0;
            for (size_t start = 0; !list.empty() && start <= list.size();) {
                const size_t comma = std::min(list.find(',', start), list.size());
                const std::string item = list.substr(start, comma - start);
                uint32_t led = 0;
                if (!parseNumber(item, qbv::kLedCount, led) || led == 0)
                    return refusal("invalid LED number", item, "(1-8)");
                mask |= qbv::ledBit(static_cast<int>(led));
                start = comma + 1;
            }
            list = std::to_string(mask);
            return std::string();
        },
        "");
}

// on or off in any case: a user's caps lock is no mistake worth refusing.
CLI::Validator onOrOff() {
    return CLI::Validator(
        [](std::string& state) {
            std::string lower = state;
            std::transform(lower.begin(), lower.end(), lower.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            if (lower != "on" && lower != "off")
                return "expected on or off, not '" + state + "'";
            state = lower;
            return std::string();
        },
        "");
}

// CLI11's help, begun by the usage as qbv's help always was. An option without a description is a knob for
// tests and stays out of it.
class HelpFormatter : public CLI::Formatter {
public:
    HelpFormatter() {
        label("SUBCOMMAND", "COMMAND");
        column_width(20);
    }

    std::string make_help(const CLI::App* app, std::string name, CLI::AppFormatMode mode) const override {
        return make_usage(app, name) + "\n" + app->get_description() + "\n" + make_positionals(app) +
               make_groups(app, mode) + make_subcommands(app, mode) + "\n" + make_footer(app);
    }

    std::string make_group(std::string group, bool positional,
                           std::vector<const CLI::Option*> options) const override {
        std::erase_if(options, [](const CLI::Option* option) { return option->get_description().empty(); });
        return CLI::Formatter::make_group(std::move(group), positional, std::move(options));
    }
};

// CLI11 takes "--on=" as --on with its value still to come; qbv takes an option ending in "=" as one with
// an empty value, so that --on= is an empty list. The words are handed over last first, as CLI11 takes
// them from the back.
std::vector<std::string> wordsForCli11(const std::vector<std::string>& arguments) {
    std::vector<std::string> words;
    for (auto word = arguments.rbegin(); word != arguments.rend(); ++word) {
        const bool emptyValue =
            word->size() > 3 && word->starts_with("--") && word->find('=') == word->size() - 1;
        if (emptyValue)
            words.emplace_back();
        words.push_back(emptyValue ? word->substr(0, word->size() - 1) : *word);
    }
    return words;
}

// The command line as CLI11 reads it, and the values it fills in.
class CommandLine {
public:
    CommandLine() {
        declareGlobalOptions();
        declareCommands();
    }
    CommandLine(const CommandLine&) = delete;
    CommandLine& operator=(const CommandLine&) = delete;

    ParseResult parse(const std::vector<std::string>& arguments) {
        try {
            app_.parse(wordsForCli11(arguments));
        } catch (const CLI::CallForHelp&) {
            return help();
        } catch (const CLI::CallForVersion&) {
            result_.invocation.version = true;
        } catch (const CLI::ParseError& error) {
            // Help wins even over a bad value, which CLI11 checks first.
            if (helpAsked())
                return help();
            // A word that CLI11 could not place explains a refused line better than what follows from it
            // ("qbv blink" is no missing command), but CLI11 names such words last.
            const std::vector<std::string> unplaced =
                app_.remaining_for_passthrough(); // as ExtrasError lists them
            result_.error = unplaced.empty() ? error.what() : CLI::ExtrasError(unplaced).what();
        }
        return finished();
    }

private:
    void declareGlobalOptions() {
        app_.formatter(std::make_shared<HelpFormatter>());
        app_.footer(commandNotes(Command::None));
        app_.set_help_flag("-h,--help", "this help (after a command: that command's help)");
        json_ = app_.add_flag("--json")
                    ->description("one JSON object per result on standard output")
                    ->disable_flag_override();
        app_.add_option("--wait", result_.invocation.waitSeconds,
                        "while another program holds the link, try again for so long")
            ->type_name("SECONDS")
            ->transform(number(kLongestWaitSeconds, "invalid wait", "(seconds, up to 86400)"));
        app_.set_version_flag("--version", std::string(kVersion), "qbv's version");
        app_.require_subcommand(1);
    }

    void declareCommands() {
        for (int i = 1; i < kCommandCount; ++i) {
            commands_[i] =
                app_.add_subcommand(kCommandNames[i].name, commandSummary(static_cast<Command>(i)));
            commands_[i]->footer(commandNotes(static_cast<Command>(i)));
            commands_[i]->fallthrough(); // the global options after the command's name too
            commands_[i]->group("Commands");
        }
        CLI::App& led = command(Command::Led);
        CLI::Option* mask =
            led.add_option("MASK", ledMask_, "all eight LEDs, one bit each: LEDn is bit n-1")
                ->option_text("0x00-0xFF")
                ->transform(number(0xFF, "invalid LED mask", "(0x00-0xFF, decimal or 0x hex)"));
        led.add_option("--on", ledMask_, "these LEDs on (1-8), all others off; --on '' switches all off")
            ->type_name("N,M,...")
            ->option_text("N,M,...")
            ->transform(ledList())
            ->excludes(mask);
        led.require_option(1);
        command(Command::Pin)
            .add_option("N on|off", pins_, "a GPIO pin, 0-87, and its state, on or off in any case")
            ->option_text("...")
            ->required()
            ->transform(number(qbv::kPinCount - 1, "invalid pin number", "(0-87)").application_index(0))
            ->transform(onOrOff().application_index(1));
        command(Command::Keys)
            .add_flag("--watch", result_.invocation.watch, "print every change until Ctrl+C")
            ->disable_flag_override();
        command(Command::Program)
            .add_option("--timeout-ms", result_.invocation.timeoutMs)
            ->type_name("MILLISECONDS")
            ->transform(number(UINT32_MAX, "invalid time-out", "(milliseconds)"))
            ->description(""); // a knob for tests, kept out of the help
        help_ = app_.add_subcommand("help", "this text, or the help for one command")->group("Commands");
        help_->add_option("COMMAND", helpTopic_, "the command to help with")
            ->check(CLI::IsMember(commandWords()));
        help_->allow_extras(); // "help pin 5 up": the help for a line that failed
    }

    CLI::App& command(Command command) { return *commands_[static_cast<int>(command)]; }

    // The command the line names, also after a parse that ended early.
    Command namedCommand() const {
        for (int i = 1; i < kCommandCount; ++i)
            if (commands_[i]->parsed() || helpTopic_ == kCommandNames[i].name)
                return static_cast<Command>(i);
        return Command::None;
    }

    // On qbv's own line or after a command's name (commands_ has none in the place of Command::None).
    bool helpAsked() const {
        return std::any_of(std::begin(commands_), std::end(commands_), [this](const CLI::App* command) {
            return (command ? command : &app_)->get_help_ptr()->count() > 0;
        });
    }

    ParseResult help() {
        Invocation& call = result_.invocation;
        call.help = true;
        call.command = namedCommand();
        const CLI::App& topic = call.command == Command::None ? app_ : command(call.command);
        const std::string name =
            call.command == Command::None ? "qbv" : std::string("qbv ") + commandName(call.command);
        result_.helpText = topic.get_formatter()->make_help(&topic, name, CLI::AppFormatMode::Normal);
        result_.error.clear();
        result_.ok = true;
        return result_;
    }

    ParseResult finished() {
        Invocation& call = result_.invocation;
        call.command = namedCommand();
        call.json = json_->count() > 0; // also when the line was refused halfway
        call.ledMask = static_cast<uint8_t>(ledMask_);
        for (const auto& [pin, state] : pins_) {
            // CLI11 leaves the state of a pair cut short empty; a state given is on or off by now.
            if (state.empty() && result_.error.empty())
                result_.error = "N on|off: missing on or off after pin " + std::to_string(pin);
            call.pins.push_back({static_cast<int>(pin), state == "on"});
        }
        result_.ok = result_.error.empty();
        if (result_.ok && help_->parsed())
            return help();
        return result_;
    }

    CLI::App app_{commandSummary(Command::None), "qbv"};
    CLI::App* commands_[kCommandCount] = {}; // by Command; none for Command::None
    CLI::App* help_ = nullptr;
    CLI::Option* json_ = nullptr;
    ParseResult result_;
    uint32_t ledMask_ = 0;
    std::vector<std::pair<uint32_t, std::string>> pins_;
    std::string helpTopic_;
};

} // namespace

const char* commandName(Command command) {
    return rowOf(kCommandNames, command).name;
}

ParseResult parseArguments(const std::vector<std::string>& arguments) {
    return CommandLine().parse(arguments);
}

} // namespace qbv::cli
