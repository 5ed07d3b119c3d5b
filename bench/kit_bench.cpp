// Decode throughput of install's core against zlib and libdeflate on one generated corpus (mixed
// text and binary, gzip -9, at least 100 MB), in one run. Prints MB/s of output and the ratios of
// user time (core / other): at most 1.0 means the core is at least as fast.
//
// Notes from tuning the core's fast path (decoder.cpp), on this corpus, gcc -O3, x86-64:
// - One word-wide refill per symbol on 64-bit targets (56+ bits) covers literal/length, its extra
//   bits, the distance and its extra bits; the further refill checks before the distance and its
//   extra bits cost nothing measurable and keep 32-bit builds correct.
// - Calling the progress hook on every refill (a 64-bit division) cost more than a third of the
//   decode time; a precomputed byte threshold removes it without changing what is posted.
// - CRC-32 one byte per lookup was about 15% of the total; slicing by sixteen brings it to ~8%.
// - Literals decoded in an inner loop while 15 bits remain, without the per-symbol checks: -6%.
// - Lookup masks kept in locals rather than recomputed from the widths: -2%.
// - Eight-byte word copies for matches at distance 8 or more, the last word overlapping; a fill
//   for distance 1. GCC's vectoriser turned the word loop into a vector loop with run-time overlap
//   checks that cost more than they saved on matches of a few dozen bytes: disabled there (-2%).
// Tried and slower:
// - Three literals unrolled per refill (no count check between them): +3%, more code, worse
//   register allocation.
// - The output as a moving pointer instead of windowFill, with the progress threshold read from
//   the record: +10% (spills in the literal loop).
// - Letting the fast path run to the very end of the window (the careful path finishing the last
//   match): no gain measurable against the noise, more code.
#include <libdeflate.h>
#include <time.h>
#include <zlib.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "host_seam.h"

namespace {

using Bytes = std::vector<unsigned char>;

// CPU time of this thread. getrusage's split into user and system time is sampled at the tick and
// too coarse for runs of a third of a second; the decoders make no system calls while they run (all
// buffers are touched beforehand), so the thread's CPU time is their user time.
double UserSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

// Text with a skewed vocabulary and numbers, interleaved with structured binary records and a
// little incompressible data: roughly what an installer carries.
Bytes MakeCorpus(size_t size) {
    std::vector<std::string> words;
    unsigned x = 12345;
    auto next = [&x]() { return x = x * 1103515245u + 12345u, x >> 8; };
    for (int i = 0; i < 4000; ++i) {
        std::string word;
        int length = 2 + next() % 9;
        for (int j = 0; j < length; ++j)
            word.push_back(static_cast<char>('a' + next() % 26));
        words.push_back(word);
    }
    Bytes out;
    out.reserve(size + 70000);
    while (out.size() < size) {
        unsigned kind = next() % 10;
        if (kind < 6) {
            for (int i = 0; i < 6000; ++i) {
                unsigned r = next();
                // Zipf-like: small indices far more often.
                const std::string& word = words[(r % 4000) * (r % 4000) / 4000 * (r % 7 + 1) / 7];
                out.insert(out.end(), word.begin(), word.end());
                out.push_back(r % 13 == 0 ? '\n' : ' ');
                if (r % 29 == 0) {
                    std::string number = std::to_string(next() % 100000);
                    out.insert(out.end(), number.begin(), number.end());
                    out.push_back(' ');
                }
            }
        } else if (kind < 9) {
            for (unsigned i = 0; i < 4000; ++i) {
                unsigned r = next();
                unsigned record[4] = {static_cast<unsigned>(out.size()), 0x401000 + i * 16, r % 256,
                                      r % 5 == 0 ? r : 0};
                const unsigned char* p = reinterpret_cast<const unsigned char*>(record);
                out.insert(out.end(), p, p + sizeof record);
            }
        } else {
            for (int i = 0; i < 8000; ++i)
                out.push_back(static_cast<unsigned char>(next() >> 4));
        }
    }
    return out;
}

Bytes GzipNine(const Bytes& input) {
    z_stream stream{};
    deflateInit2(&stream, 9, Z_DEFLATED, 16 + 15, 8, Z_DEFAULT_STRATEGY);
    Bytes out(deflateBound(&stream, input.size()));
    stream.next_in = const_cast<Bytef*>(input.data());
    stream.avail_in = static_cast<uInt>(input.size());
    stream.next_out = out.data();
    stream.avail_out = static_cast<uInt>(out.size());
    deflate(&stream, Z_FINISH);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

// The core as the tar reader drives it: 51200-byte reads into one buffer.
bool DecodeCore(const Bytes& member, size_t expected) {
    HostResetAll();
    const u8* cursor = member.data();
    u32 remaining = static_cast<u32>(member.size());
    if (ParseGzipHeader(&cursor, &remaining) || OpenStream(cursor, remaining))
        return false;
    static unsigned char buffer[51200];
    unsigned result;
    while ((result = ReadStream(sizeof buffer, buffer)) == 0) {
    }
    return result == kStreamEnded && FinishStream() == 0 && extraction.totalOut == expected;
}

bool DecodeZlib(const Bytes& member, size_t expected) {
    z_stream stream{};
    inflateInit2(&stream, 16 + 15);
    static unsigned char buffer[51200];
    stream.next_in = const_cast<Bytef*>(member.data());
    stream.avail_in = static_cast<uInt>(member.size());
    int result;
    do {
        stream.next_out = buffer;
        stream.avail_out = sizeof buffer;
        result = inflate(&stream, Z_NO_FLUSH);
    } while (result == Z_OK);
    bool ok = result == Z_STREAM_END && stream.total_out == expected;
    inflateEnd(&stream);
    return ok;
}

bool DecodeLibdeflate(const Bytes& member, Bytes& output) {
    libdeflate_decompressor* decompressor = libdeflate_alloc_decompressor();
    size_t actual = 0;
    bool ok = libdeflate_gzip_decompress(decompressor, member.data(), member.size(), output.data(),
                                         output.size(), &actual) == LIBDEFLATE_SUCCESS &&
              actual == output.size();
    libdeflate_free_decompressor(decompressor);
    return ok;
}

struct Timing {
    double user = 1e9;
    double wall = 1e9;
};

void Keep(Timing& best, const Timing& t) {
    if (t.user < best.user)
        best.user = t.user;
    if (t.wall < best.wall)
        best.wall = t.wall;
}

template <typename F> Timing Measure(int rounds, F decode) {
    Timing best;
    for (int i = 0; i < rounds; ++i) {
        double user = UserSeconds();
        auto start = std::chrono::steady_clock::now();
        if (!decode()) {
            fprintf(stderr, "kit_bench: decode failed\n");
            exit(1);
        }
        double wall =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        user = UserSeconds() - user;
        if (user < best.user)
            best.user = user;
        if (wall < best.wall)
            best.wall = wall;
    }
    return best;
}

} // namespace

int main(int argc, char** argv) {
    size_t size = static_cast<size_t>(argc > 1 ? atof(argv[1]) : 104.0) * 1000 * 1000;
    int rounds = argc > 2 ? atoi(argv[2]) : 15;
    Bytes corpus = MakeCorpus(size);
    corpus.resize(size);
    printf("corpus: %.1f MB, compressing with zlib level 9 (gzip -9)...\n", size / 1e6);
    fflush(stdout);
    // The compressed corpus is kept beside the program: compressing 100 MB at level 9 takes longer
    // than all the decoding.
    std::string cachePath = std::string(argv[0]) + ".corpus.gz";
    Bytes member;
    {
        std::ifstream cache(cachePath, std::ios::binary);
        if (cache)
            member.assign(std::istreambuf_iterator<char>(cache), std::istreambuf_iterator<char>());
        if (member.size() < 18 || member[member.size() - 4] != (size & 0xFF) ||
            !DecodeZlib(member, size)) {
            member = GzipNine(corpus);
            std::ofstream(cachePath, std::ios::binary)
                .write(reinterpret_cast<const char*>(member.data()),
                       static_cast<std::streamsize>(member.size()));
        }
    }
    const char* only = getenv("KIT_BENCH_ONLY"); // core, zlib or libdeflate: profile one decoder
    printf("compressed: %.1f MB (%.1f%%)\n", member.size() / 1e6, 100.0 * member.size() / size);

    // Rounds interleave the three decoders so that a busy machine slows all of them alike; the
    // best round of each counts.
    Bytes output(size, 0);
    Timing core, zlib, libdeflate;
    for (int round = 0; round < rounds; ++round) {
        if (!only || !strcmp(only, "core"))
            Keep(core, Measure(1, [&] { return DecodeCore(member, size); }));
        if (!only || !strcmp(only, "zlib"))
            Keep(zlib, Measure(1, [&] { return DecodeZlib(member, size); }));
        if (!only || !strcmp(only, "libdeflate"))
            Keep(libdeflate, Measure(1, [&] { return DecodeLibdeflate(member, output); }));
    }
    if (only)
        return 0;
    if (output != corpus) {
        fprintf(stderr, "kit_bench: libdeflate output differs\n");
        return 1;
    }

    auto line = [&](const char* name, const Timing& t) {
        printf("%-12s user %7.3f s  wall %7.3f s  %8.1f MB/s\n", name, t.user, t.wall,
               size / 1e6 / t.user);
    };
    line("core", core);
    line("zlib", zlib);
    line("libdeflate", libdeflate);
    printf("user-time ratio core/zlib:       %.3f  (target <= 1.0)\n", core.user / zlib.user);
    printf("user-time ratio core/libdeflate: %.3f\n", core.user / libdeflate.user);
    return 0;
}
