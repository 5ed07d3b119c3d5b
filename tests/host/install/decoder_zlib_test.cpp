// Differential tests: streams made by zlib at every level, strategy and window size, over text,
// binary, random and repetitive inputs, must come out of the core byte for byte, with the trailer
// accepted; read in pieces of several sizes so that window-fulls end everywhere.
#include <gtest/gtest.h>

#include <cstdio>

#include "support.h"

namespace {

struct Input {
    const char* name;
    Bytes data;
};

std::vector<Input> Inputs() {
    std::vector<Input> inputs;
    inputs.push_back({"empty", {}});
    inputs.push_back({"text", MakeText(150000, 1)});
    inputs.push_back({"binary", MakeBinary(90000, 2)});
    inputs.push_back({"random", MakeRandom(70000, 3)});
    inputs.push_back({"zeros", Bytes(100000, 0)});
    Bytes pattern;
    for (int i = 0; i < 40000; ++i)
        pattern.push_back("abcab"[i % 5]);
    inputs.push_back({"period5", pattern});
    // Exactly two and three window-fulls: the window fills before the final end-of-block code.
    inputs.push_back({"text65536", MakeText(65536, 4)});
    inputs.push_back({"zeros98304", Bytes(98304, 0)});
    inputs.push_back({"text32769", MakeText(32769, 5)});
    Bytes mixed = MakeText(40000, 6);
    Bytes random = MakeRandom(30000, 7);
    mixed.insert(mixed.end(), random.begin(), random.end());
    mixed.insert(mixed.end(), 33000, 'x');
    Bytes tail = MakeBinary(20000, 8);
    mixed.insert(mixed.end(), tail.begin(), tail.end());
    inputs.push_back({"mixed", mixed});
    return inputs;
}

unsigned differentialCases = 0;

TEST(DecoderZlib, EveryLevelStrategyAndWindowGivesTheSameBytes) {
    const int strategies[] = {Z_DEFAULT_STRATEGY, Z_FILTERED, Z_HUFFMAN_ONLY, Z_RLE, Z_FIXED};
    const int windows[] = {9, 12, 15};
    const unsigned readSizes[] = {512, 51200, 1, 32768, 4099};
    unsigned variant = 0;
    for (const Input& input : Inputs()) {
        for (int level = 0; level <= 9; ++level) {
            for (int strategy : strategies) {
                for (int window : windows) {
                    if (level == 0 && (strategy != Z_DEFAULT_STRATEGY || window != 15))
                        continue; // level 0 writes stored blocks whatever else is asked
                    Bytes member = ZlibCompress(input.data, level, window, strategy, true);
                    unsigned readSize = readSizes[variant++ % 5];
                    if (readSize == 1 && input.data.size() > 40000)
                        readSize = 3;
                    StreamRun run = RunStream(member, readSize, true, true);
                    SCOPED_TRACE(std::string(input.name) + " level " + std::to_string(level) +
                                 " strategy " + std::to_string(strategy) + " window " +
                                 std::to_string(window));
                    ASSERT_TRUE(run.Succeeded()) << run.Message();
                    ASSERT_EQ(run.output, input.data);
                    ++differentialCases;
                }
            }
        }
    }
    printf("differential zlib cases: %u\n", differentialCases);
}

TEST(DecoderZlib, MemoryLevelsAndBlockSplits) {
    // Small memLevel makes many short blocks: block headers land at every bit position.
    Bytes input = MakeText(120000, 9);
    Bytes random = MakeRandom(5000, 10);
    input.insert(input.begin() + 60000, random.begin(), random.end());
    for (int memLevel = 1; memLevel <= 9; ++memLevel) {
        Bytes member = ZlibCompress(input, 6, 15, Z_DEFAULT_STRATEGY, true, memLevel);
        StreamRun run = RunStream(member, 512, true, true);
        ASSERT_TRUE(run.Succeeded()) << memLevel;
        ASSERT_EQ(run.output, input);
        ++differentialCases;
    }
}

TEST(DecoderZlib, FastAndCarefulPathsAgreeOnOutputAndProgress) {
    // The careful path is the byte-at-a-time reader; the fast one must give the same bytes, the
    // same final percentage and the same number of progress posts.
    for (const Input& input : Inputs()) {
        for (int level : {1, 9}) {
            Bytes member = ZlibCompress(input.data, level, 15, Z_DEFAULT_STRATEGY, true);
            StreamRun fast = RunStream(member, 512, true, true);
            StreamRun careful = RunStream(member, 512, false, true);
            SCOPED_TRACE(std::string(input.name) + " level " + std::to_string(level));
            ASSERT_TRUE(fast.Succeeded());
            ASSERT_TRUE(careful.Succeeded());
            EXPECT_EQ(fast.output, careful.output);
            EXPECT_EQ(fast.lastPercent, careful.lastPercent);
            if (member.size() > 2000) {
                EXPECT_EQ(fast.progressPosts, careful.progressPosts);
            }
        }
    }
}

TEST(DecoderZlib, TrailerVerdictsMatchZlib) {
    Bytes input = MakeText(50000, 11);
    Bytes member = ZlibCompress(input, 9, 15, Z_DEFAULT_STRATEGY, true);
    struct Case {
        const char* name;
        size_t offsetFromEnd; // byte changed, counted from the member's end
        unsigned expected;
    } cases[] = {{"crc", 8, IDS_CRC_ERROR},
                 {"crc high", 5, IDS_CRC_ERROR},
                 {"isize", 4, IDS_BAD_LENGTH},
                 {"isize high", 1, IDS_BAD_LENGTH}};
    for (const Case& c : cases) {
        Bytes damaged = member;
        damaged[damaged.size() - c.offsetFromEnd] ^= 0x40;
        StreamRun run = RunStream(damaged, 512, true, true);
        EXPECT_EQ(run.Message(), c.expected) << c.name;
        EXPECT_EQ(run.finishResult, 1u) << c.name;
        EXPECT_EQ(run.output, input) << c.name;

        z_stream stream{};
        inflateInit2(&stream, 16 + 15);
        Bytes out(input.size() + 10);
        stream.next_in = damaged.data();
        stream.avail_in = static_cast<uInt>(damaged.size());
        stream.next_out = out.data();
        stream.avail_out = static_cast<uInt>(out.size());
        int zresult = inflate(&stream, Z_FINISH);
        EXPECT_EQ(zresult, Z_DATA_ERROR) << c.name;
        inflateEnd(&stream);
    }
}

} // namespace
