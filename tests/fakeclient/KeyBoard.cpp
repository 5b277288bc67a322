#include "tests/fakeclient/LinkBoard.h"

#include "board/BoardProtocol.h"

#include <algorithm>
#include <deque>

namespace qbv::fakeclient {

namespace {

class KeyBoard final : public LinkBoard {
public:
    explicit KeyBoard(std::vector<uint8_t> keys) : keys_(std::move(keys)) {}

    int write(const uint8_t* bytes, int count) override {
        std::for_each(bytes, bytes + count, [this](uint8_t byte) { take(byte); });
        return count;
    }

    int read(uint8_t* space, int room) override {
        const int given = std::min(room, available());
        std::copy_n(answers_.begin(), given, space);
        answers_.erase(answers_.begin(), answers_.begin() + given);
        return given;
    }

    int available() override { return static_cast<int>(answers_.size()); }

private:
    // The byte after an LED or pin command is that command's data, so a mask of 0x06 asks for nothing.
    void take(uint8_t byte) {
        if (dataExpected_)
            dataExpected_ = false;
        else if (byte == board::kSetLeds || byte == board::kSetGpioPin)
            dataExpected_ = true;
        else if (byte == board::kReadKeys)
            answers_.push_back(nextKeys());
    }

    uint8_t nextKeys() {
        const uint8_t keys = keys_[keysTaken_];
        keysTaken_ = std::min(keysTaken_ + 1, keys_.size() - 1);
        return keys;
    }

    std::vector<uint8_t> keys_;
    size_t keysTaken_ = 0;
    bool dataExpected_ = false;
    std::deque<uint8_t> answers_;
};

} // namespace

std::unique_ptr<LinkBoard> makeKeyBoard(std::vector<uint8_t> keys) {
    if (keys.empty())
        keys.push_back(0x00);
    return std::make_unique<KeyBoard>(std::move(keys));
}

} // namespace qbv::fakeclient
