#include "sim/core/FrameDecoder.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <random>

using qbv::sim::encodeFrame;
using qbv::sim::Frame;
using qbv::sim::FrameDecoder;
namespace wire = qbv::sim::wire;

namespace {

void feed(FrameDecoder& decoder, const std::vector<uint8_t>& bytes) {
    decoder.feed(bytes.data(), bytes.size());
}

std::vector<Frame> drain(FrameDecoder& decoder) {
    std::vector<Frame> frames;
    while (std::optional<Frame> frame = decoder.next())
        frames.push_back(*frame);
    return frames;
}

} // namespace

TEST(FrameDecoderTest, FrameLayoutIsTypeSequenceLengthPayloadLittleEndian) {
    EXPECT_THAT(encodeFrame(Frame{'W', 0x1234, {0x05, 0xD7}}),
                testing::ElementsAre('W', 0x34, 0x12, 0x02, 0x00, 0x05, 0xD7));
}

TEST(FrameDecoderTest, FramesComeOutWholeHoweverTheStreamIsCut) {
    const Frame first{'H', 1, {1}};
    const Frame empty{'S', 2, {}};
    const Frame big{'W', 65535, std::vector<uint8_t>(wire::kMaxPayload, 0xAB)};
    std::vector<uint8_t> stream;
    for (const Frame& frame : {first, empty, big}) {
        const std::vector<uint8_t> bytes = encodeFrame(frame);
        stream.insert(stream.end(), bytes.begin(), bytes.end());
    }
    FrameDecoder together;
    feed(together, stream);
    EXPECT_EQ(drain(together), (std::vector<Frame>{first, empty, big}));

    FrameDecoder byteByByte;
    std::vector<Frame> frames;
    for (uint8_t byte : stream) {
        byteByByte.feed(&byte, 1);
        for (const Frame& frame : drain(byteByByte))
            frames.push_back(frame);
    }
    EXPECT_EQ(frames, (std::vector<Frame>{first, empty, big}));
    EXPECT_EQ(byteByByte.buffered(), 0u);
}

TEST(FrameDecoderTest, AnOversizedLengthStopsTheDecoderForGood) {
    FrameDecoder decoder;
    feed(decoder, {'W', 0, 0, 0x01, 0x10}); // 4097 bytes announced
    EXPECT_FALSE(decoder.next());
    EXPECT_TRUE(decoder.failed());
    feed(decoder, encodeFrame(Frame{'S', 1, {}}));
    EXPECT_FALSE(decoder.next());
    EXPECT_EQ(decoder.buffered(), 0u);
}

TEST(FrameDecoderTest, EncodingCutsAnOversizedPayloadToTheLimit) {
    const std::vector<uint8_t> bytes =
        encodeFrame(Frame{'W', 1, std::vector<uint8_t>(wire::kMaxPayload + 7)});
    EXPECT_EQ(bytes.size(), wire::kHeaderSize + wire::kMaxPayload);
}

// Random frames in random cuts come out as they went in; random noise never makes it misbehave.
TEST(FrameDecoderTest, RandomFramesSurviveRandomCutsAndNoiseIsHarmless) {
    std::mt19937 random(20240611u);
    for (int round = 0; round < 200; ++round) {
        std::vector<Frame> sent;
        std::vector<uint8_t> stream;
        const int count = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < count; ++i) {
            Frame frame{static_cast<uint8_t>(random()), static_cast<uint16_t>(random()), {}};
            frame.payload.resize(random() % 3 == 0 ? random() % (wire::kMaxPayload + 1) : random() % 8);
            for (uint8_t& byte : frame.payload)
                byte = static_cast<uint8_t>(random());
            const std::vector<uint8_t> bytes = encodeFrame(frame);
            stream.insert(stream.end(), bytes.begin(), bytes.end());
            sent.push_back(std::move(frame));
        }
        FrameDecoder decoder;
        std::vector<Frame> received;
        for (size_t at = 0; at < stream.size();) {
            const size_t piece = std::min<size_t>(stream.size() - at, 1 + random() % 700);
            decoder.feed(stream.data() + at, piece);
            at += piece;
            for (const Frame& frame : drain(decoder))
                received.push_back(frame);
        }
        ASSERT_EQ(received, sent) << "round " << round;
        ASSERT_FALSE(decoder.failed());

        FrameDecoder noisy;
        std::vector<uint8_t> noise(random() % 20000);
        for (uint8_t& byte : noise)
            byte = static_cast<uint8_t>(random());
        for (size_t at = 0; at < noise.size(); at += 100) {
            noisy.feed(noise.data() + at, std::min<size_t>(100, noise.size() - at));
            for (const Frame& frame : drain(noisy))
                ASSERT_LE(frame.payload.size(), wire::kMaxPayload);
            ASSERT_LE(noisy.buffered(), wire::kHeaderSize + wire::kMaxPayload + 100);
        }
    }
}
