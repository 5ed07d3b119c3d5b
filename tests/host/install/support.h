// Helpers for the install core's host tests: streams built bit by bit, zlib as the encoder and
// oracle, and runs of the core over exactly-sized buffers so that AddressSanitizer sees any read
// past the end.
#pragma once

#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host_seam.h"

using Bytes = std::vector<uint8_t>;

// DEFLATE bit order: values least significant bit first, Huffman codes most significant first.
struct BitWriter {
    Bytes bytes;
    unsigned bitPosition = 0;

    void Put(uint32_t value, unsigned n) {
        for (unsigned i = 0; i < n; ++i) {
            if (bitPosition % 8 == 0)
                bytes.push_back(0);
            if ((value >> i) & 1)
                bytes.back() |= static_cast<uint8_t>(1u << (bitPosition % 8));
            ++bitPosition;
        }
    }
    void PutCode(uint32_t code, unsigned length) {
        for (unsigned i = length; i-- > 0;)
            Put((code >> i) & 1, 1);
    }
    // Fixed literal/length code of RFC 1951 3.2.6.
    void PutFixedSymbol(unsigned symbol) {
        if (symbol < 144)
            PutCode(0x30 + symbol, 8);
        else if (symbol < 256)
            PutCode(0x190 + symbol - 144, 9);
        else if (symbol < 280)
            PutCode(symbol - 256, 7);
        else
            PutCode(0xC0 + symbol - 280, 8);
    }
    void AlignByte() { bitPosition = static_cast<unsigned>(bytes.size()) * 8; }
};

inline uint32_t Crc32(const Bytes& data) {
    return static_cast<uint32_t>(crc32(0, data.data(), static_cast<uInt>(data.size())));
}

inline void AppendLe32(Bytes& out, uint32_t value) {
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(value >> (8 * i)));
}

// DEFLATE data followed by the gzip trailer of output.
inline Bytes WithTrailer(Bytes deflate, const Bytes& output) {
    AppendLe32(deflate, Crc32(output));
    AppendLe32(deflate, static_cast<uint32_t>(output.size()));
    return deflate;
}

// zlib's deflate; windowBits 9..15, gzip true adds zlib's gzip wrapper.
inline Bytes ZlibCompress(const Bytes& input, int level, int windowBits, int strategy, bool gzip,
                          int memLevel = 8) {
    z_stream stream{};
    deflateInit2(&stream, level, Z_DEFLATED, gzip ? 16 + windowBits : -windowBits, memLevel,
                 strategy);
    Bytes out(deflateBound(&stream, static_cast<uLong>(input.size())) + 64);
    stream.next_in = const_cast<Bytef*>(input.data());
    stream.avail_in = static_cast<uInt>(input.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

struct StreamRun {
    Bytes output;
    bool opened = false;
    unsigned readResult = 0; // last ReadStream result
    unsigned finishResult = 99;
    std::vector<HostReport> reports;
    uint32_t lastPercent = 0;
    unsigned progressPosts = 0;

    // The one message of a failed run, or 0.
    unsigned Message() const {
        return reports.size() == 1 ? reports[0].textId : (reports.empty() ? 0 : 1);
    }
    bool Succeeded() const {
        return opened && readResult == kStreamEnded && finishResult == 0 && reports.empty();
    }
};

// Runs OpenStream, ReadStream in pieces of readSize until the stream ends or fails, and
// FinishStream, over a private copy of data that ends exactly where data ends.
inline StreamRun RunStream(const Bytes& data, unsigned readSize = 512, bool fastPath = true,
                           bool gzipHeader = false) {
    StreamRun run;
    HostResetAll();
    hostSeam.allocationsUntilFailure = -1;
    extraction.dialogWindow = reinterpret_cast<void*>(1);
    decoderFastPath = fastPath;
    std::unique_ptr<uint8_t[]> copy(new uint8_t[data.size() ? data.size() : 1]);
    std::copy(data.begin(), data.end(), copy.get());
    const u8* cursor = copy.get();
    u32 remaining = static_cast<u32>(data.size());
    if (gzipHeader && ParseGzipHeader(&cursor, &remaining)) {
        run.reports = hostSeam.reports;
        decoderFastPath = true;
        return run;
    }
    if (OpenStream(cursor, remaining) == 0) {
        run.opened = true;
        Bytes buffer(readSize);
        uint32_t delivered = 0;
        for (;;) {
            unsigned result = ReadStream(readSize, buffer.data());
            run.readResult = result;
            if (result == 0) {
                run.output.insert(run.output.end(), buffer.begin(), buffer.end());
                delivered += readSize;
                continue;
            }
            if (result == kStreamEnded) {
                uint32_t rest = extraction.totalOut - delivered;
                run.output.insert(run.output.end(), buffer.begin(), buffer.begin() + rest);
                run.finishResult = FinishStream();
            }
            break;
        }
    }
    run.reports = hostSeam.reports;
    run.lastPercent = extraction.lastPercent;
    run.progressPosts = hostSeam.progressPosts;
    FreeHuffmanTable(extraction.litTable);
    FreeHuffmanTable(extraction.distTable);
    FreeMemory(extraction.window);
    extraction.litTable = extraction.distTable = nullptr;
    extraction.window = nullptr;
    decoderFastPath = true;
    return run;
}

// Deterministic inputs of the kinds a payload holds.
inline Bytes MakeText(size_t size, uint32_t seed) {
    static const char* const kWords[] = {"the",   "setup", "window", "install", "file",
                                         "data",  "of",    "and",    "program", "directory",
                                         "error", "a",     "to",     "archive", "\r\n"};
    Bytes out;
    uint32_t x = seed;
    while (out.size() < size) {
        x = x * 1103515245 + 12345;
        const char* word = kWords[(x >> 16) % 15];
        out.insert(out.end(), word, word + strlen(word));
        out.push_back((x >> 8) % 7 == 0 ? '.' : ' ');
    }
    out.resize(size);
    return out;
}

inline Bytes MakeRandom(size_t size, uint32_t seed) {
    Bytes out(size);
    uint64_t x = seed * 0x9E3779B97F4A7C15ull + 1;
    for (auto& byte : out) {
        x ^= x << 13;
        x ^= x >> 7;
        x ^= x << 17;
        byte = static_cast<uint8_t>(x);
    }
    return out;
}

// Records of counters and small numbers: the kind of bytes executables and tables are made of.
inline Bytes MakeBinary(size_t size, uint32_t seed) {
    Bytes out;
    uint32_t x = seed;
    for (uint32_t i = 0; out.size() < size; ++i) {
        x = x * 1664525 + 1013904223;
        uint32_t fields[4] = {i, i * 4 + 0x401000, x >> 24, (x >> 28) ? 0u : x};
        for (uint32_t field : fields)
            AppendLe32(out, field);
    }
    out.resize(size);
    return out;
}
