// Huffman table builder: result codes, widths and the entry layout of the tables.
#include <gtest/gtest.h>

#include "support.h"

namespace {

struct Built {
    unsigned result;
    unsigned width;
    DecodeEntry* table;
};

Built Build(std::vector<u32> lengths, unsigned s, unsigned wanted, const u16* bases = nullptr,
            const u16* extras = nullptr) {
    HostResetAll();
    Built built{0, wanted, nullptr};
    built.result = BuildHuffmanTable(lengths.data(), static_cast<unsigned>(lengths.size()), s,
                                     bases, extras, &built.table, &built.width);
    return built;
}

TEST(Huffman, ResultCodesAndWidths) {
    struct Case {
        const char* name;
        std::vector<u32> lengths;
        unsigned wanted;
        unsigned result;
        unsigned width;
        bool table;
    } cases[] = {
        {"all zero", {0, 0, 0}, 7, kTableComplete, 0, false},
        {"three of length 1", {1, 1, 1}, 7, kTableInvalid, 1, false},
        {"over-subscribed at 3", {1, 2, 3, 3, 3}, 7, kTableInvalid, 3, false},
        {"complete, width lowered", {1, 2, 3, 3}, 7, kTableComplete, 3, true},
        {"incomplete 2,2,2", {2, 2, 2}, 7, kTableIncomplete, 2, true},
        {"single one-bit code", {0, 1, 0}, 6, kTableComplete, 1, true},
        {"single two-bit code", {0, 2}, 6, kTableIncomplete, 2, true},
        {"width raised to shortest", {3, 3, 3, 3, 3, 3, 3, 3}, 2, kTableComplete, 3, true},
        {"length above 16", {17, 1}, 7, kTableInvalid, 7, false},
    };
    for (const Case& c : cases) {
        Built built = Build(c.lengths, static_cast<unsigned>(c.lengths.size()), c.wanted);
        EXPECT_EQ(built.result, c.result) << c.name;
        if (c.result != kTableInvalid) {
            EXPECT_EQ(built.width, c.width) << c.name;
        }
        EXPECT_EQ(built.table != nullptr, c.table) << c.name;
        FreeHuffmanTable(built.table);
        EXPECT_EQ(hostSeam.liveAllocations, 0) << c.name;
        EXPECT_TRUE(hostSeam.reports.empty()) << c.name;
    }
}

TEST(Huffman, EntriesOfASmallCode) {
    // Lengths 1, 2, 3, 3: codes 0, 10, 110, 111, read first bit lowest.
    Built built = Build({1, 2, 3, 3}, 4, 7);
    ASSERT_EQ(built.width, 3u);
    const unsigned symbol[8] = {0, 1, 0, 2, 0, 1, 0, 3};
    const unsigned bits[4] = {1, 2, 3, 3};
    for (unsigned i = 0; i < 8; ++i) {
        EXPECT_EQ(built.table[i].op, kOpLiteral) << i;
        EXPECT_EQ(built.table[i].value, symbol[i]) << i;
        EXPECT_EQ(built.table[i].bits, bits[symbol[i]]) << i;
    }
    FreeHuffmanTable(built.table);

    built = Build({2, 2, 2}, 3, 7);
    EXPECT_EQ(built.result, kTableIncomplete);
    EXPECT_EQ(built.table[3].op, kOpInvalid);
    FreeHuffmanTable(built.table);
}

TEST(Huffman, SingleDistanceCodeHasAnInvalidTwin) {
    std::vector<u32> lengths(30, 0);
    lengths[4] = 1;
    Built built = Build(lengths, 0, 6, kDistanceBases, kDistanceExtras);
    ASSERT_EQ(built.result, kTableComplete);
    ASSERT_EQ(built.width, 1u);
    EXPECT_EQ(built.table[0].op, 1); // distance symbol 4: base 5, one extra bit
    EXPECT_EQ(built.table[0].value, 5);
    EXPECT_EQ(built.table[1].op, kOpInvalid);
    EXPECT_EQ(built.table[1].value, 5);
    FreeHuffmanTable(built.table);
}

TEST(Huffman, FixedCodes) {
    std::vector<u32> lit(288);
    for (unsigned i = 0; i < 288; ++i)
        lit[i] = i < 144 ? 8 : i < 256 ? 9 : i < 280 ? 7 : 8;
    Built built = Build(lit, 257, 7, kLengthBases, kLengthExtras);
    ASSERT_EQ(built.result, kTableComplete);
    ASSERT_EQ(built.width, 7u);
    // 128 first-level entries, 76 sub-tables of 2 and 28 of 4: links say so.
    unsigned two = 0, four = 0;
    for (unsigned i = 0; i < 128; ++i) {
        const DecodeEntry& entry = built.table[i];
        if (entry.op == 17)
            ++two;
        else if (entry.op == 18)
            ++four;
        else {
            EXPECT_TRUE(entry.op == kOpEndOfBlock || entry.op <= 5) << i;
        }
    }
    EXPECT_EQ(two, 76u);
    EXPECT_EQ(four, 28u);
    // Symbols 286 and 287 (codes 11000110, 11000111) are invalid.
    unsigned invalid = 0;
    for (unsigned i = 0; i < 128; ++i) {
        const DecodeEntry& link = built.table[i];
        if (link.op < 17 || link.op == kOpInvalid)
            continue;
        for (unsigned j = 0; j < (1u << (link.op - 16)); ++j)
            invalid += built.table[link.value + j].op == kOpInvalid;
    }
    EXPECT_EQ(invalid, 2u);
    FreeHuffmanTable(built.table);

    built = Build(std::vector<u32>(30, 5), 0, 5, kDistanceBases, kDistanceExtras);
    EXPECT_EQ(built.result, kTableIncomplete);
    EXPECT_EQ(built.width, 5u);
    EXPECT_EQ(built.table[0x0F].op, kOpInvalid); // code 11110 (symbol 30), bit-reversed
    EXPECT_EQ(built.table[0x1F].op, kOpInvalid); // code 11111 (symbol 31)
    FreeHuffmanTable(built.table);
}

TEST(Huffman, MissingListIsInvalidAndAllocationFailureIsReported) {
    Built built = Build({1, 1}, 1, 7);
    EXPECT_EQ(built.result, kTableInvalid);
    EXPECT_EQ(hostSeam.liveAllocations, 0);

    HostResetAll();
    hostSeam.allocationsUntilFailure = 0;
    std::vector<u32> lengths = {1, 2, 3, 3};
    DecodeEntry* table = nullptr;
    unsigned width = 7;
    EXPECT_EQ(BuildHuffmanTable(lengths.data(), 4, 4, nullptr, nullptr, &table, &width),
              kTableNoMemory);
    hostSeam.allocationsUntilFailure = -1;
    EXPECT_EQ(table, nullptr);
    ASSERT_EQ(hostSeam.reports.size(), 1u);
    EXPECT_EQ(hostSeam.reports[0].textId, IDS_NO_MEMORY);
    EXPECT_EQ(hostSeam.reports[0].captionId, IDS_CAPTION_EXTRACT);
    EXPECT_NE(hostSeam.reports[0].error, 0u);
}

} // namespace
