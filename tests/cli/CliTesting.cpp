#include "CliTesting.h"

#include "cli/Qbv.h"

#include <cctype>
#include <cstdlib>
#include <memory>
#include <sstream>

namespace qbv::test {

CliRun runQbv(const std::vector<std::string>& arguments, const CliSetup& setup) {
    std::ostringstream out;
    std::ostringstream err;
    CliRun run;
    cli::Console console{out, err};
    console.outIsTerminal = console.errIsTerminal = setup.terminal;
    if (setup.interrupted)
        console.interrupted = setup.interrupted;
    console.leave = [&run](int code) { run.leftWith.push_back(code); };
    run.exitCode = cli::runQbv(arguments, console);
    run.out = out.str();
    run.err = err.str();
    return run;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        result.push_back(line);
    return result;
}

std::function<bool()> interruptOnPoll(int poll) {
    auto polls = std::make_shared<int>(0);
    return [polls, poll] { return ++*polls >= poll; };
}

namespace {

class JsonParser {
public:
    explicit JsonParser(const std::string& text) : text_(text) {}

    bool parseWhole(JsonValue& value) {
        if (!parseValue(value))
            return false;
        skipBlanks();
        return at_ == text_.size();
    }

private:
    bool parseValue(JsonValue& value) {
        skipBlanks();
        if (at_ >= text_.size())
            return false;
        const char c = text_[at_];
        if (c == '{')
            return parseObject(value);
        if (c == '[')
            return parseArray(value);
        if (c == '"') {
            value.kind = JsonValue::Kind::String;
            return parseString(value.text);
        }
        if (literal("true") || literal("false")) {
            value.kind = JsonValue::Kind::Bool;
            value.flag = c == 't';
            return true;
        }
        if (literal("null"))
            return true;
        return parseNumber(value);
    }

    bool parseObject(JsonValue& value) {
        value.kind = JsonValue::Kind::Object;
        ++at_;
        if (take('}'))
            return true;
        do {
            std::string name;
            skipBlanks();
            if (!parseString(name) || !take(':'))
                return false;
            JsonValue member;
            if (!parseValue(member))
                return false;
            value.members.emplace_back(name, member);
        } while (take(','));
        return take('}');
    }

    bool parseArray(JsonValue& value) {
        value.kind = JsonValue::Kind::Array;
        ++at_;
        if (take(']'))
            return true;
        do {
            JsonValue item;
            if (!parseValue(item))
                return false;
            value.items.push_back(item);
        } while (take(','));
        return take(']');
    }

    bool parseString(std::string& out) {
        if (at_ >= text_.size() || text_[at_] != '"')
            return false;
        for (++at_; at_ < text_.size(); ++at_) {
            const char c = text_[at_];
            if (c == '"') {
                ++at_;
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20)
                return false;
            if (c != '\\') {
                out += c;
                continue;
            }
            if (++at_ >= text_.size())
                return false;
            switch (text_[at_]) {
            case 'n':
                out += '\n';
                break;
            case 't':
                out += '\t';
                break;
            case 'r':
                out += '\r';
                break;
            case 'u':
                if (at_ + 4 >= text_.size())
                    return false;
                out += static_cast<char>(std::strtol(text_.substr(at_ + 1, 4).c_str(), nullptr, 16));
                at_ += 4;
                break;
            case '"':
            case '\\':
            case '/':
                out += text_[at_];
                break;
            default:
                return false;
            }
        }
        return false;
    }

    bool parseNumber(JsonValue& value) {
        const size_t start = at_;
        if (at_ < text_.size() && text_[at_] == '-')
            ++at_;
        while (at_ < text_.size() &&
               (std::isdigit(static_cast<unsigned char>(text_[at_])) || text_[at_] == '.'))
            ++at_;
        if (at_ == start)
            return false;
        value.kind = JsonValue::Kind::Number;
        value.number = std::strtod(text_.substr(start, at_ - start).c_str(), nullptr);
        return true;
    }

    bool literal(const char* word) {
        const std::string w(word);
        if (text_.compare(at_, w.size(), w) != 0)
            return false;
        at_ += w.size();
        return true;
    }

    bool take(char c) {
        skipBlanks();
        if (at_ < text_.size() && text_[at_] == c) {
            ++at_;
            return true;
        }
        return false;
    }

    void skipBlanks() {
        while (at_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[at_])))
            ++at_;
    }

    const std::string& text_;
    size_t at_ = 0;
};

} // namespace

const JsonValue& JsonValue::operator[](const std::string& name) const {
    static const JsonValue none;
    for (const auto& member : members)
        if (member.first == name)
            return member.second;
    return none;
}

bool JsonValue::has(const std::string& name) const {
    for (const auto& member : members)
        if (member.first == name)
            return true;
    return false;
}

std::vector<std::string> JsonValue::strings() const {
    std::vector<std::string> result;
    for (const JsonValue& item : items)
        result.push_back(item.text);
    return result;
}

std::vector<int> JsonValue::numbers() const {
    std::vector<int> result;
    for (const JsonValue& item : items)
        result.push_back(static_cast<int>(item.number));
    return result;
}

bool parseJson(const std::string& text, JsonValue& value) {
    return JsonParser(text).parseWhole(value);
}

} // namespace qbv::test
