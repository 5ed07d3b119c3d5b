// DEFLATE decoder and stream edge cases on streams built bit by bit.
#include <gtest/gtest.h>

#include "support.h"

namespace {

// Length and distance codes of RFC 1951 3.2.5.
void PutLength(BitWriter& w, unsigned length) {
    unsigned symbol = 0;
    while (symbol < 28 && kLengthBases[symbol + 1] <= length)
        ++symbol;
    w.PutFixedSymbol(257 + symbol);
    w.Put(length - kLengthBases[symbol], kLengthExtras[symbol]);
}

void PutDistanceSymbol(BitWriter& w, unsigned distance) {
    unsigned symbol = 0;
    while (symbol < 29 && kDistanceBases[symbol + 1] <= distance)
        ++symbol;
    w.PutCode(symbol, 5);
    w.Put(distance - kDistanceBases[symbol], kDistanceExtras[symbol]);
}

void PutMatch(BitWriter& w, unsigned length, unsigned distance) {
    PutLength(w, length);
    PutDistanceSymbol(w, distance);
}

void FixedHeader(BitWriter& w, bool last = true) {
    w.Put(last, 1);
    w.Put(1, 2);
}

// Canonical codes for lengths (RFC 1951 3.2.2).
std::vector<uint32_t> CanonicalCodes(const std::vector<unsigned>& lengths) {
    unsigned count[16] = {0};
    for (unsigned l : lengths)
        ++count[l];
    count[0] = 0;
    unsigned next[16] = {0};
    unsigned code = 0;
    for (unsigned bits = 1; bits < 16; ++bits) {
        code = (code + count[bits - 1]) << 1;
        next[bits] = code;
    }
    std::vector<uint32_t> codes(lengths.size());
    for (size_t i = 0; i < lengths.size(); ++i)
        if (lengths[i])
            codes[i] = next[lengths[i]]++;
    return codes;
}

// A dynamic header whose code-length code gives symbols 0..9 four bits and 16, 17, 18 three bits.
struct Dynamic {
    std::vector<unsigned> clLengths = std::vector<unsigned>(19, 0);
    std::vector<uint32_t> clCodes;
    Dynamic() {
        for (unsigned i = 0; i < 10; ++i)
            clLengths[i] = 4;
        clLengths[16] = clLengths[17] = clLengths[18] = 3;
        clCodes = CanonicalCodes(clLengths);
    }
    void Header(BitWriter& w, unsigned hlitField, unsigned hdistField, bool last = true) {
        static const unsigned order[19] = {16, 17, 18, 0, 8,  7, 9,  6, 10, 5,
                                           11, 4,  12, 3, 13, 2, 14, 1, 15};
        w.Put(last, 1);
        w.Put(2, 2);
        w.Put(hlitField, 5);
        w.Put(hdistField, 5);
        w.Put(15, 4);
        for (unsigned i = 0; i < 19; ++i)
            w.Put(clLengths[order[i]], 3);
    }
    void Symbol(BitWriter& w, unsigned symbol) { w.PutCode(clCodes[symbol], clLengths[symbol]); }
    void Lengths(BitWriter& w, const std::vector<unsigned>& lengths) {
        for (unsigned l : lengths)
            Symbol(w, l);
    }
};

// Literal/length lengths: 'a', 'b', 256 and 257 (length 3) get two bits.
std::vector<unsigned> SmallLitLengths() {
    std::vector<unsigned> lit(258, 0);
    lit['a'] = lit['b'] = lit[256] = lit[257] = 2;
    return lit;
}

Bytes Member(const BitWriter& w, const Bytes& output) {
    return WithTrailer(w.bytes, output);
}

TEST(Decoder, FixedBlockMatches) {
    struct Case {
        const char* name;
        Bytes prefix;
        unsigned length, distance;
    } cases[] = {
        {"distance 1 length 258", {'x'}, 258, 1},
        {"distance 2", {'a', 'b'}, 11, 2},
        {"distance 3", {'a', 'b', 'c'}, 10, 3},
        {"distance 8 length 30", {'0', '1', '2', '3', '4', '5', '6', '7'}, 30, 8},
    };
    for (const Case& c : cases) {
        BitWriter w;
        FixedHeader(w);
        for (uint8_t byte : c.prefix)
            w.PutFixedSymbol(byte);
        PutMatch(w, c.length, c.distance);
        w.PutFixedSymbol(256);
        Bytes expected = c.prefix;
        for (unsigned i = 0; i < c.length; ++i)
            expected.push_back(static_cast<uint8_t>(expected[expected.size() - c.distance]));
        StreamRun run = RunStream(Member(w, expected));
        EXPECT_TRUE(run.Succeeded()) << c.name << " " << run.Message();
        EXPECT_EQ(run.output, expected) << c.name;
    }
}

TEST(Decoder, InvalidDataIsReportedOnce) {
    Dynamic d;
    struct Case {
        const char* name;
        std::function<void(BitWriter&)> write;
        unsigned message;
    } cases[] = {
        {"fixed symbol 286", [](BitWriter& w) { FixedHeader(w), w.PutFixedSymbol(286); },
         IDS_INVALID_DATA},
        {"fixed symbol 287", [](BitWriter& w) { FixedHeader(w), w.PutFixedSymbol(287); },
         IDS_INVALID_DATA},
        {"fixed distance 30",
         [](BitWriter& w) {
             FixedHeader(w), w.PutFixedSymbol('a'), PutLength(w, 3), w.PutCode(30, 5);
         },
         IDS_INVALID_DATA},
        {"fixed distance 31",
         [](BitWriter& w) {
             FixedHeader(w), w.PutFixedSymbol('a'), PutLength(w, 3), w.PutCode(31, 5);
         },
         IDS_INVALID_DATA},
        {"distance before the first byte",
         [](BitWriter& w) { FixedHeader(w), w.PutFixedSymbol('a'), PutMatch(w, 3, 2); },
         IDS_INVALID_DATA},
        {"distance with no output at all", [](BitWriter& w) { FixedHeader(w), PutMatch(w, 3, 1); },
         IDS_INVALID_DATA},
        {"block type 3", [](BitWriter& w) { w.Put(1, 1), w.Put(3, 2); }, IDS_BAD_BLOCK},
        {"stored NLEN not the complement",
         [](BitWriter& w) { w.Put(1, 1), w.Put(0, 2), w.AlignByte(), w.Put(5, 16), w.Put(5, 16); },
         IDS_INVALID_DATA},
        {"HLIT field 30", [&](BitWriter& w) { d.Header(w, 30, 0); }, IDS_INVALID_DATA},
        {"HLIT field 31", [&](BitWriter& w) { d.Header(w, 31, 0); }, IDS_INVALID_DATA},
        {"HDIST field 30", [&](BitWriter& w) { d.Header(w, 1, 30); }, IDS_INVALID_DATA},
        {"HDIST field 31", [&](BitWriter& w) { d.Header(w, 1, 31); }, IDS_INVALID_DATA},
        {"repeat past HLIT + HDIST",
         [&](BitWriter& w) {
             d.Header(w, 0, 0);
             d.Symbol(w, 18), w.Put(127, 7); // 138 zeros
             d.Symbol(w, 18), w.Put(127, 7); // 276 > 258
         },
         IDS_INVALID_DATA},
        {"incomplete code-length code",
         [](BitWriter& w) {
             w.Put(1, 1), w.Put(2, 2), w.Put(0, 5), w.Put(0, 5), w.Put(0, 4);
             w.Put(2, 3), w.Put(2, 3), w.Put(2, 3), w.Put(0, 3); // three codes of length 2
         },
         IDS_INVALID_DATA},
        {"all literal/length lengths zero",
         [&](BitWriter& w) {
             d.Header(w, 0, 0);
             d.Symbol(w, 18), w.Put(127, 7); // 138
             d.Symbol(w, 18), w.Put(109, 7); // 120: 258 in all
             w.Put(0, 16);
         },
         IDS_INVALID_DATA},
        {"match with all distance lengths zero",
         [&](BitWriter& w) {
             d.Header(w, 0, 0);
             auto lit = SmallLitLengths();
             lit.push_back(0);
             d.Lengths(w, lit);
             auto codes = CanonicalCodes(SmallLitLengths());
             w.PutCode(codes['a'], 2), w.PutCode(codes[257], 2), w.Put(0, 8);
         },
         IDS_INVALID_DATA},
        {"incomplete literal/length code",
         [&](BitWriter& w) {
             d.Header(w, 0, 0);
             std::vector<unsigned> lit(258, 0);
             lit['a'] = lit['b'] = lit[256] = 2;
             lit.push_back(1);
             d.Lengths(w, lit);
         },
         IDS_INVALID_DATA},
        {"data stops inside a block",
         [](BitWriter& w) {
             FixedHeader(w);
             for (int i = 0; i < 40; ++i)
                 w.PutFixedSymbol('a' + i % 3);
         },
         IDS_PREMATURE_END},
    };
    for (const auto& c : cases) {
        BitWriter w;
        c.write(w);
        // Only a partial trailer: the streams stop before their data end, as damaged ones do.
        Bytes data = w.bytes;
        if (c.message != IDS_PREMATURE_END)
            data.resize(data.size() + 64, 0);
        StreamRun run = RunStream(data);
        EXPECT_EQ(run.reports.size(), 1u) << c.name;
        EXPECT_EQ(run.Message(), c.message) << c.name;
        if (!run.reports.empty()) {
            EXPECT_EQ(run.reports[0].captionId, IDS_CAPTION_EXTRACT) << c.name;
        }
        EXPECT_EQ(hostSeam.liveAllocations, 0) << c.name;
    }
}

TEST(Decoder, DynamicBlocks) {
    Dynamic d;
    // A single one-bit distance code decodes; the other bit pattern is invalid.
    for (unsigned pattern : {0u, 1u}) {
        BitWriter w;
        d.Header(w, 1, 0); // 258 literal/length codes, one distance code
        auto lit = SmallLitLengths();
        lit.push_back(1); // distance symbol 0 (distance 1), one bit
        d.Lengths(w, lit);
        auto codes = CanonicalCodes(SmallLitLengths());
        w.PutCode(codes['a'], 2);
        w.PutCode(codes[257], 2); // length 3
        w.Put(pattern, 1);
        w.PutCode(codes['b'], 2);
        w.PutCode(codes[256], 2);
        StreamRun run = RunStream(Member(w, Bytes{'a', 'a', 'a', 'a', 'b'}));
        if (pattern == 0) {
            EXPECT_TRUE(run.Succeeded()) << run.Message();
            EXPECT_EQ(run.output, (Bytes{'a', 'a', 'a', 'a', 'b'}));
        } else {
            EXPECT_EQ(run.Message(), IDS_INVALID_DATA);
        }
    }
    // Code 16 first repeats length 0; repeats run on from literal into distance lengths.
    {
        BitWriter w;
        d.Header(w, 1, 1);
        d.Symbol(w, 16), w.Put(0, 2);   // lengths 0..2 = 0 (no length read yet)
        d.Symbol(w, 18), w.Put(83, 7);  // 94 zeros: up to 96
        d.Symbol(w, 2);                 // 'a'
        d.Symbol(w, 2);                 // 'b'
        d.Symbol(w, 18), w.Put(127, 7); // 138 zeros
        d.Symbol(w, 18), w.Put(8, 7);   // 19 zeros: up to 255
        d.Symbol(w, 2);                 // 256
        d.Symbol(w, 16), w.Put(0, 2);   // 257, then distance symbols 0 and 1 get length 2
        auto codes = CanonicalCodes(SmallLitLengths());
        w.PutCode(codes['b'], 2);
        w.PutCode(codes[257], 2);
        w.PutCode(0, 2); // distance symbol 0: distance 1
        w.PutCode(codes[256], 2);
        Bytes expected = {'b', 'b', 'b', 'b'};
        StreamRun run = RunStream(Member(w, expected));
        // Distance lengths 2, 2 form an incomplete code: rejected like any other.
        EXPECT_EQ(run.Message(), IDS_INVALID_DATA);
    }
}

TEST(Decoder, StoredBlocksAcrossWindows) {
    // A stored block longer than the window, then an empty stored block, then a fixed block whose
    // match reaches back across the window's end.
    Bytes data = MakeRandom(40000, 21);
    BitWriter w;
    w.Put(0, 1), w.Put(0, 2), w.AlignByte();
    w.Put(40000, 16), w.Put(~40000u & 0xFFFF, 16);
    w.bytes.insert(w.bytes.end(), data.begin(), data.end());
    w.AlignByte();
    w.Put(0, 1), w.Put(0, 2), w.AlignByte(), w.Put(0, 16), w.Put(0xFFFF, 16);
    FixedHeader(w);
    PutMatch(w, 258, 32768);
    w.PutFixedSymbol(256);
    Bytes expected = data;
    for (unsigned i = 0; i < 258; ++i)
        expected.push_back(static_cast<uint8_t>(expected[expected.size() - 32768]));
    for (unsigned readSize : {512u, 1u, 32768u, 40000u}) {
        for (bool fast : {true, false}) {
            StreamRun run = RunStream(Member(w, expected), readSize, fast);
            EXPECT_TRUE(run.Succeeded()) << readSize << " " << run.Message();
            EXPECT_EQ(run.output, expected) << readSize;
        }
    }
}

TEST(Decoder, MatchesAcrossTheWindowEnd) {
    // 32767 literals (as matches of a seed) then matches that end exactly at, or cross, the end
    // of the window: the rest lands at the start of the emptied window.
    for (unsigned before : {32767u - 258u, 32768u - 258u, 32768u - 100u}) {
        BitWriter w;
        FixedHeader(w);
        Bytes expected;
        for (unsigned i = 0; i < 7; ++i) {
            w.PutFixedSymbol('a' + i);
            expected.push_back(static_cast<uint8_t>('a' + i));
        }
        while (expected.size() < before) {
            unsigned length = std::min(258u, static_cast<unsigned>(before - expected.size()));
            if (length < 3) {
                w.PutFixedSymbol('z');
                expected.push_back('z');
                continue;
            }
            PutMatch(w, length, 7);
            for (unsigned i = 0; i < length; ++i)
                expected.push_back(static_cast<uint8_t>(expected[expected.size() - 7]));
        }
        PutMatch(w, 258, 5000);
        for (unsigned i = 0; i < 258; ++i)
            expected.push_back(static_cast<uint8_t>(expected[expected.size() - 5000]));
        unsigned far = static_cast<unsigned>(std::min<size_t>(32768, expected.size()));
        PutMatch(w, 100, far);
        for (unsigned i = 0; i < 100; ++i)
            expected.push_back(static_cast<uint8_t>(expected[expected.size() - far]));
        w.PutFixedSymbol(256);
        for (bool fast : {true, false}) {
            StreamRun run = RunStream(Member(w, expected), 512, fast);
            EXPECT_TRUE(run.Succeeded()) << before << " " << run.Message();
            EXPECT_EQ(run.output, expected) << before;
        }
    }
}

TEST(Decoder, CancelAndPrematureEnd) {
    BitWriter w;
    FixedHeader(w);
    for (int i = 0; i < 100; ++i)
        w.PutFixedSymbol('a' + i % 20);
    w.PutFixedSymbol(256);
    Bytes member = WithTrailer(w.bytes, Bytes());

    HostResetAll();
    extraction.cancelRequested = 1;
    EXPECT_EQ(OpenStream(member.data(), static_cast<u32>(member.size())), 1u);
    ASSERT_EQ(hostSeam.reports.size(), 1u);
    EXPECT_EQ(hostSeam.reports[0].textId, IDS_CANCELLED);
    EXPECT_EQ(extraction.window, nullptr);

    // No byte may be fetched at all and Cancel is set: both at the first refill, the premature
    // end wins.
    HostResetAll();
    extraction.cancelRequested = 1;
    EXPECT_EQ(OpenStream(member.data(), 7), 1u);
    ASSERT_EQ(hostSeam.reports.size(), 1u);
    EXPECT_EQ(hostSeam.reports[0].textId, IDS_PREMATURE_END);
    EXPECT_EQ(hostSeam.liveAllocations, 0);
}

TEST(Decoder, StreamEndsAndTrailer) {
    // Empty member: the first read ends the stream; CRC 0 and ISIZE 0 are accepted.
    BitWriter empty;
    FixedHeader(empty);
    empty.PutFixedSymbol(256);
    StreamRun run = RunStream(Member(empty, {}));
    EXPECT_TRUE(run.Succeeded());
    EXPECT_TRUE(run.output.empty());

    // Bytes after the trailer do not disturb it.
    Bytes text = MakeText(3000, 3);
    Bytes member = ZlibCompress(text, 6, 15, Z_DEFAULT_STRATEGY, false);
    Bytes withGarbage = WithTrailer(member, text);
    withGarbage.insert(withGarbage.end(), 100, 0x5A);
    run = RunStream(withGarbage);
    EXPECT_TRUE(run.Succeeded()) << run.Message();
    EXPECT_EQ(run.output, text);

    // One byte short: the trailer cannot be read whole (2062), or the last code already wanted
    // the byte after inputEnd (2059). Either way exactly one message.
    Bytes full = WithTrailer(member, text);
    Bytes shortMember(full.begin(), full.end() - 1);
    run = RunStream(shortMember);
    EXPECT_EQ(run.reports.size(), 1u);
    EXPECT_TRUE(run.Message() == IDS_BAD_LENGTH || run.Message() == IDS_PREMATURE_END);

    // Fewer than eight bytes in all.
    for (size_t n = 0; n <= 8; ++n) {
        run = RunStream(Bytes(n, 0x03));
        EXPECT_EQ(run.reports.size(), 1u) << n;
    }
}

TEST(Decoder, ReadStreamServesTheWindowExactly) {
    Bytes text = MakeText(70000, 5);
    Bytes member = WithTrailer(ZlibCompress(text, 9, 15, Z_DEFAULT_STRATEGY, false), text);
    HostResetAll();
    ASSERT_EQ(OpenStream(member.data(), static_cast<u32>(member.size())), 0u);
    EXPECT_EQ(extraction.totalOut, 32768u);
    Bytes buffer(32768);
    EXPECT_EQ(ReadStream(32768, buffer.data()), 0u);
    EXPECT_EQ(extraction.totalOut, 32768u); // nothing decoded ahead of need
    EXPECT_EQ(ReadStream(0, buffer.data()), 0u);
    EXPECT_EQ(ReadStream(30000, nullptr), 0u); // a skip that needs the next window-full
    EXPECT_EQ(extraction.totalOut, 65536u);
    EXPECT_EQ(ReadStream(10000, buffer.data()), kStreamEnded);
    EXPECT_EQ(extraction.totalOut, 70000u);
    EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + 7232, text.begin() + 62768));
    EXPECT_EQ(ReadStream(1, buffer.data()), kStreamEnded);
    EXPECT_EQ(ReadStream(0, buffer.data()), 0u);
    EXPECT_EQ(FinishStream(), 0u);
    EXPECT_TRUE(hostSeam.reports.empty());
    EXPECT_EQ(hostSeam.liveAllocations, 0);
}

TEST(Decoder, CrcCheckValue) {
    HostResetAll();
    UpdateCrc(nullptr, 0);
    const u8 digits[] = {'1', '2', '3', '4', '5', '6', '7', '8', '9'};
    EXPECT_EQ(UpdateCrc(digits, 9), 0xCBF43926u);
    EXPECT_EQ(UpdateCrc(digits, 0), 0xCBF43926u);
    Bytes random = MakeRandom(1000, 1);
    UpdateCrc(nullptr, 0);
    for (size_t i = 0; i < random.size(); i += 37)
        UpdateCrc(random.data() + i,
                  static_cast<unsigned>(std::min<size_t>(37, random.size() - i)));
    EXPECT_EQ(UpdateCrc(random.data(), 0), Crc32(random));
}

TEST(Decoder, AllocationFailuresAreReportedOnce) {
    Bytes text = MakeText(5000, 7);
    Bytes member = WithTrailer(ZlibCompress(text, 9, 15, Z_DEFAULT_STRATEGY, false), text);
    for (long failAt = 0; failAt < 4; ++failAt) {
        HostResetAll();
        hostSeam.allocationsUntilFailure = failAt;
        unsigned result = OpenStream(member.data(), static_cast<u32>(member.size()));
        hostSeam.allocationsUntilFailure = -1;
        EXPECT_EQ(result, 1u) << failAt;
        ASSERT_EQ(hostSeam.reports.size(), 1u) << failAt;
        EXPECT_EQ(hostSeam.reports[0].textId, IDS_NO_MEMORY);
        EXPECT_EQ(hostSeam.liveAllocations, 0) << failAt;
    }
}

TEST(Hooks, ProgressAndFileName) {
    HostResetAll();
    static u8 span[1000];
    ProgressHook(span, span + 999, span + 500);
    EXPECT_EQ(extraction.lastPercent, 50u);
    EXPECT_EQ(hostSeam.progressPosts, 0u); // no dialog yet
    extraction.dialogWindow = reinterpret_cast<void*>(1);
    ProgressHook(span, span + 999, span + 500);
    EXPECT_EQ(hostSeam.progressPosts, 0u); // unchanged percentage
    ProgressHook(span, span + 999, span + 1000);
    EXPECT_EQ(extraction.lastPercent, 100u);
    EXPECT_EQ(hostSeam.progressPosts, 1u);
    ProgressHook(span + 10, span + 5, span + 10); // empty span: no failure
    ProgressHook(span, span, span);

    // Over 42,949,672 bytes the product current * 100 no longer fits 32 bits.
    const u8* start = reinterpret_cast<const u8*>(0x10000);
    const u8* end = start + 3000000000u;
    ProgressHook(start, end, start + 2990000000u);
    EXPECT_EQ(extraction.lastPercent, 99u);

    std::string name(150, 'n');
    name[99] = 'L';
    extraction.currentFileName[100] = 0;
    FileNameHook(name.c_str());
    EXPECT_EQ(std::string(extraction.currentFileName), name.substr(0, 100));
    FileNameHook("short");
    EXPECT_STREQ(extraction.currentFileName, "short");
    EXPECT_EQ(hostSeam.filePosts, 2u);

    EXPECT_EQ(StrCompare("..", "."), 1);
    EXPECT_EQ(StrCompare(".", ".."), -1);
    EXPECT_EQ(StrCompare("\xe9", "e"), 1); // unsigned bytes
    EXPECT_EQ(StrCompare("same", "same"), 0);
}

} // namespace

namespace {

TEST(Hooks, PercentageResetByTheDriverIsPostedAgain) {
    // OpenStream decodes the first window on the main thread; the driver then resets lastPercent
    // to 0 before the worker starts. The worker's first refill must post the real percentage.
    Bytes random = MakeRandom(200000, 17);
    Bytes member = WithTrailer(ZlibCompress(random, 1, 15, Z_DEFAULT_STRATEGY, false), random);
    unsigned posts[2] = {0, 0};
    for (bool fast : {true, false}) {
        HostResetAll();
        decoderFastPath = fast;
        ASSERT_EQ(OpenStream(member.data(), static_cast<u32>(member.size())), 0u);
        EXPECT_GT(extraction.lastPercent, 0u);
        EXPECT_EQ(hostSeam.progressPosts, 0u);
        extraction.lastPercent = 0;
        extraction.dialogWindow = reinterpret_cast<void*>(1);
        Bytes buffer(32768);
        ASSERT_EQ(ReadStream(32768, buffer.data()), 0u);
        ASSERT_EQ(ReadStream(1, buffer.data()), 0u);
        EXPECT_GE(hostSeam.progressPosts, 1u) << fast;
        while (ReadStream(32768, buffer.data()) == 0) {
        }
        EXPECT_EQ(FinishStream(), 0u);
        EXPECT_EQ(extraction.lastPercent, 100u);
        posts[fast] = hostSeam.progressPosts;
        decoderFastPath = true;
    }
    EXPECT_EQ(posts[0], posts[1]);
}

} // namespace
