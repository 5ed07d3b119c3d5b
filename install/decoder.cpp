// DEFLATE decoder (RFC 1951), resumable: it decodes into the 32 KiB circular window and stops when
// the window is full, wherever it is (between blocks, inside a stored or coded block, inside a
// match), continuing exactly there once the stream layer has handed the window out.
//
// Two paths produce the same bytes and the same messages. The careful path fetches one byte at a
// time and calls the progress hook and checks for the end of input and Cancel at every refill
// point. The fast path (DecodeFast) runs only while at least kFastInput bytes of input and more
// than a longest match of window remain, so that no refill can reach past inputEnd and no symbol
// can fill the window: there it reads whole words, checks Cancel once per refill, and calls the
// progress hook only when the input position crosses the byte where the percentage changes.
//
// Whether a byte after inputEnd is wanted does not depend on how far ahead bytes were fetched: a
// refill for n bits at a point where c bits have been consumed fails exactly when c + n exceeds the
// bits up to inputEnd. Both paths test that at the same refill points with the same n.
#include "payload.h"

namespace {

ExtractionState& e = extraction;

constexpr unsigned kLitWidth = 9;
constexpr unsigned kDistWidth = 6;
constexpr unsigned kMaxMatch = 258;
constexpr unsigned kWordBits = sizeof(BitWord) * 8;
// Input the fast path keeps in reserve: a refill loads one word at inputCursor and advances at
// most 7 bytes; one round of the fast loop refills at most four times.
constexpr unsigned kFastInput = 40;

const u8 kCodeLengthOrder[19] = {16, 17, 18, 0, 8, 7, 9, 6, 10, 5, 11, 4, 12, 3, 13, 2, 14, 1, 15};

typedef __UINTPTR_TYPE__ Address;

inline Address AddressOf(const u8* p) {
    return reinterpret_cast<Address>(p);
}

inline BitWord LowBits(BitWord word, unsigned n) {
    return word & ((static_cast<BitWord>(1) << n) - 1);
}

// The valid bits of a buffer holding count bits (count may be the whole word).
inline BitWord KeepBits(BitWord word, unsigned count) {
    return count >= kWordBits ? word : LowBits(word, count);
}

inline BitWord LoadWord(const u8* p) {
    BitWord word;
    __builtin_memcpy(&word, p, sizeof word); // little-endian targets only
    return word;
}

// The input byte up to which a one-byte-at-a-time reader would have fetched after a refill for n
// bits: the percentage is reported against it, so it does not depend on read-ahead.
void NoteRequest(unsigned n) {
    Address consumed = (AddressOf(e.inputCursor) - AddressOf(e.inputStart)) * 8 - e.bitCount;
    Address wanted = AddressOf(e.inputStart) + (consumed + n + 7) / 8;
    Address limit = AddressOf(e.inputEnd) + 1;
    if (limit < AddressOf(e.inputStart))
        limit = AddressOf(e.inputStart);
    if (wanted > limit)
        wanted = limit;
    if (wanted > AddressOf(e.progressCursor))
        e.progressCursor = reinterpret_cast<const u8*>(wanted);
}

// Calls the hook when the percentage may have changed: the reported position passed the threshold,
// or someone reset lastPercent since the threshold was computed.
void UpdateProgress() {
    if (AddressOf(e.progressCursor) < AddressOf(e.progressThreshold) &&
        e.lastPercent == e.thresholdPercent)
        return;
    ProgressHook(e.inputStart, e.inputEnd, e.progressCursor);
    u32 percent = e.lastPercent;
    e.thresholdPercent = percent;
    if (AddressOf(e.inputEnd) <= AddressOf(e.inputStart)) {
        e.progressThreshold = reinterpret_cast<const u8*>(~static_cast<Address>(0));
        return;
    }
    u64 span = AddressOf(e.inputEnd) - AddressOf(e.inputStart);
    u64 next = ((static_cast<u64>(percent) + 1) * span + 99) / 100;
    e.progressThreshold = reinterpret_cast<const u8*>(AddressOf(e.inputStart) + next);
}

unsigned RefillBits(unsigned n) {
    while (e.bitCount < n) {
        if (AddressOf(e.inputCursor) > AddressOf(e.inputEnd))
            e.prematureEnd = 1;
        else
            e.bitBuffer |= static_cast<BitWord>(*e.inputCursor++) << e.bitCount;
        e.bitCount += 8;
    }
    NoteRequest(n);
    UpdateProgress();
    if (e.prematureEnd)
        return ReportError(IDS_CAPTION_EXTRACT, IDS_PREMATURE_END, 0);
    if (e.cancelRequested)
        return ReportError(IDS_CAPTION_EXTRACT, IDS_CANCELLED, 0);
    return 0;
}

inline unsigned PeekBits(unsigned n) {
    return static_cast<unsigned>(LowBits(e.bitBuffer, n));
}

inline void DropBits(unsigned n) {
    e.bitBuffer >>= n;
    e.bitCount -= n;
}

unsigned InvalidData() {
    return ReportError(IDS_CAPTION_EXTRACT, IDS_INVALID_DATA, 0);
}

// Looks up one symbol after the caller's refill for width bits. A code whose lengths are all zero
// has no table: any symbol read from it is invalid data.
unsigned ResolveSymbol(const DecodeEntry* table, unsigned width, DecodeEntry* result) {
    if (!table)
        return InvalidData();
    DecodeEntry entry = table[PeekBits(width)];
    while (entry.op > 16) {
        if (entry.op == kOpInvalid)
            return InvalidData();
        DropBits(entry.bits);
        unsigned j = entry.op - 16u;
        if (RefillBits(j))
            return 1;
        entry = table[entry.value + PeekBits(j)];
    }
    DropBits(entry.bits);
    *result = entry;
    return 0;
}

// Copies the rest of the current match from window position source, in runs that stop at the
// window's end on either side; a source ahead of windowFill is a byte of the previous window-full.
void CopyMatch(unsigned source) {
    while (e.copyLength > 0 && e.windowFill < kWindowSize) {
        source %= kWindowSize;
        e.copySource = source;
        unsigned run = kWindowSize - (source > e.windowFill ? source : e.windowFill);
        if (run > e.copyLength)
            run = e.copyLength;
        e.copyLength -= run;
        CopyBytes(e.window + e.windowFill, e.window + source, run);
        e.windowFill += run;
        source += run;
        e.copySource = source;
    }
}

// A match may not reach before the first byte ever written: the window is not cleared, so such a
// distance would copy stale memory.
inline bool DistanceValid(unsigned distance, unsigned fill) {
    return distance <= fill || e.windowWrapped;
}

enum FastResult { kFastBlockEnd = 0, kFastFailed = 1, kFastLeft = 2 };

// Entry: at least kFastInput bytes of input after inputCursor and more than 258 bytes of window
// free. Leaves with kFastLeft as soon as either no longer holds, with the state written back.
#if defined(__GNUC__) && !defined(__clang__)
__attribute__((optimize("no-tree-vectorize")))
#endif
int DecodeFast(const DecodeEntry* lt, const DecodeEntry* dt, unsigned lw, unsigned dw) {
    const u8* cursor = e.inputCursor;
    BitWord buffer = KeepBits(e.bitBuffer, e.bitCount);
    unsigned count = e.bitCount;
    unsigned fill = e.windowFill;
    u8* window = e.window;
    const Address fastEnd = AddressOf(e.inputEnd) + 1 - kFastInput;
    const u8* threshold = e.progressThreshold;
    const BitWord litMask = (static_cast<BitWord>(1) << lw) - 1;
    const bool wrapped = e.windowWrapped; // window writes may alias e: keep it in a register
    const BitWord distMask = (static_cast<BitWord>(1) << dw) - 1;

    auto refill = [&]() {
        if (kWordBits == 64) {
            buffer |= LoadWord(cursor) << count;
            cursor += (63 - count) >> 3;
            count |= 56;
        } else {
            while (count <= kWordBits - 8) {
                buffer |= static_cast<BitWord>(*cursor++) << count;
                count += 8;
            }
        }
    };
    auto sync = [&]() {
        e.inputCursor = cursor;
        e.bitBuffer = KeepBits(buffer, count);
        e.bitCount = count;
        e.windowFill = fill;
    };

    if (e.lastPercent != e.thresholdPercent)
        threshold = nullptr;
    while (fill < kWindowSize - kMaxMatch && AddressOf(cursor) <= fastEnd) {
        if (AddressOf(cursor) >= AddressOf(threshold)) {
            sync();
            NoteRequest(lw);
            UpdateProgress();
            threshold = e.progressThreshold;
        }
        if (e.cancelRequested) {
            sync();
            return static_cast<int>(ReportError(IDS_CAPTION_EXTRACT, IDS_CANCELLED, 0));
        }
        refill();
        DecodeEntry entry;
        // Literals run on without the checks above while the buffer holds a whole code (15 bits)
        // and the window has room for a longest match.
        for (;;) {
            entry = lt[buffer & litMask];
            while (entry.op > 16) {
                if (entry.op == kOpInvalid) {
                    sync();
                    return static_cast<int>(InvalidData());
                }
                buffer >>= entry.bits;
                count -= entry.bits;
                entry = lt[entry.value + LowBits(buffer, entry.op - 16u)];
            }
            if (entry.op != kOpLiteral)
                break;
            buffer >>= entry.bits;
            count -= entry.bits;
            window[fill++] = static_cast<u8>(entry.value);
            if (count < 15 || fill >= kWindowSize - kMaxMatch)
                break;
        }
        if (entry.op == kOpLiteral)
            continue;
        if (entry.op == kOpEndOfBlock) {
            sync();
            NoteRequest(lw);
            UpdateProgress();
            e.bitBuffer >>= entry.bits;
            e.bitCount -= entry.bits;
            return kFastBlockEnd;
        }
        buffer >>= entry.bits;
        count -= entry.bits;
        if (count < 5)
            refill();
        unsigned length = entry.value + static_cast<unsigned>(LowBits(buffer, entry.op));
        buffer >>= entry.op;
        count -= entry.op;

        if (count < 15)
            refill();
        if (!dt) {
            sync();
            return static_cast<int>(InvalidData());
        }
        entry = dt[buffer & distMask];
        while (entry.op > 16) {
            if (entry.op == kOpInvalid) {
                sync();
                return static_cast<int>(InvalidData());
            }
            buffer >>= entry.bits;
            count -= entry.bits;
            entry = dt[entry.value + LowBits(buffer, entry.op - 16u)];
        }
        buffer >>= entry.bits;
        count -= entry.bits;
        if (count < 13)
            refill();
        unsigned distance = entry.value + static_cast<unsigned>(LowBits(buffer, entry.op));
        buffer >>= entry.op;
        count -= entry.op;
        if (__builtin_expect(distance > fill && !wrapped, 0)) {
            sync();
            return static_cast<int>(InvalidData());
        }

        u8* out = window + fill;
        if (distance <= fill) {
            const u8* from = out - distance;
            if (distance >= 8 && length >= 8) {
                // Words never read a byte this match has yet to write; the last word may overlap
                // the one before, rewriting bytes with the values they already hold.
                u8* stop = out + length;
                do {
                    __builtin_memcpy(out, from, 8);
                    out += 8;
                    from += 8;
                } while (out + 8 <= stop);
                if (out < stop)
                    __builtin_memcpy(stop - 8, stop - 8 - distance, 8);
            } else if (distance >= 8) {
                for (unsigned i = 0; i < length; ++i)
                    out[i] = from[i];
            } else if (distance == 1) {
                __builtin_memset(out, *from, length);
            } else {
                for (unsigned i = 0; i < length; ++i)
                    out[i] = from[i];
            }
        } else {
            unsigned source = fill + kWindowSize - distance;
            unsigned first = kWindowSize - source;
            if (first > length)
                first = length;
            CopyBytes(out, window + source, first);
            CopyBytes(out + first, window, length - first);
        }
        fill += length;
    }
    sync();
    return kFastLeft;
}

} // namespace

bool decoderFastPath = true;

void CopyBytes(u8* destination, const u8* source, unsigned count) {
    // Separate regions (the stream handing a window-full to its reader): the platform's own copy.
    if (AddressOf(destination) - AddressOf(source) >= count &&
        AddressOf(source) - AddressOf(destination) >= count) {
        __builtin_memcpy(destination, source, count);
        return;
    }
    // Whole words are safe whenever no word reads a byte this copy has yet to write: the source is
    // ahead of the destination, or at least a word behind it.
    if (AddressOf(source) > AddressOf(destination) ||
        AddressOf(destination) - AddressOf(source) >= 8) {
        while (count >= 8) {
            u64 word;
            __builtin_memcpy(&word, source, 8);
            __builtin_memcpy(destination, &word, 8);
            destination += 8;
            source += 8;
            count -= 8;
        }
    }
    while (count-- > 0)
        *destination++ = *source++;
}

unsigned ReadStoredHeader() {
    DropBits(e.bitCount % 8);
    if (RefillBits(16))
        return 1;
    unsigned length = PeekBits(16);
    DropBits(16);
    if (RefillBits(16))
        return 1;
    if (length != (~PeekBits(16) & 0xFFFFu))
        return InvalidData();
    DropBits(16);
    e.storedRemaining = length;
    return 0;
}

int CopyStoredData() {
    while (e.storedRemaining > 0 && e.windowFill < kWindowSize) {
        // Whole bytes straight from the input, as many as lie before inputEnd: a byte-wise reader
        // would fetch exactly these, one refill each, without reaching past the end.
        if (decoderFastPath && e.bitCount == 0 &&
            AddressOf(e.inputCursor) <= AddressOf(e.inputEnd)) {
            unsigned run = e.storedRemaining;
            if (run > kWindowSize - e.windowFill)
                run = kWindowSize - e.windowFill;
            Address available = AddressOf(e.inputEnd) + 1 - AddressOf(e.inputCursor);
            if (run > available)
                run = static_cast<unsigned>(available);
            // Stop where the percentage changes, so that every percentage is posted on its own.
            if (AddressOf(e.progressThreshold) > AddressOf(e.inputCursor) &&
                AddressOf(e.progressThreshold) - AddressOf(e.inputCursor) < run)
                run = static_cast<unsigned>(AddressOf(e.progressThreshold) -
                                            AddressOf(e.inputCursor));
            CopyBytes(e.window + e.windowFill, e.inputCursor, run);
            e.inputCursor += run;
            e.windowFill += run;
            e.storedRemaining -= run;
            NoteRequest(0);
            UpdateProgress();
            if (e.cancelRequested)
                return static_cast<int>(ReportError(IDS_CAPTION_EXTRACT, IDS_CANCELLED, 0));
            continue;
        }
        --e.storedRemaining;
        if (RefillBits(8))
            return 1;
        e.window[e.windowFill++] = static_cast<u8>(PeekBits(8));
        DropBits(8);
    }
    return e.storedRemaining > 0 ? -1 : 0;
}

unsigned SetupFixedCodes() {
    u32 lengths[288];
    unsigned i = 0;
    for (; i < 144; ++i)
        lengths[i] = 8;
    for (; i < 256; ++i)
        lengths[i] = 9;
    for (; i < 280; ++i)
        lengths[i] = 7;
    for (; i < 288; ++i)
        lengths[i] = 8;
    e.litBits = 7;
    unsigned result =
        BuildHuffmanTable(lengths, 288, 257, kLengthBases, kLengthExtras, &e.litTable, &e.litBits);
    if (result != kTableComplete) {
        if (result == kTableIncomplete)
            FreeHuffmanTable(e.litTable);
        e.litTable = nullptr;
        return result == kTableNoMemory ? 1 : InvalidData();
    }
    for (i = 0; i < 30; ++i)
        lengths[i] = 5;
    e.distBits = 5;
    result = BuildHuffmanTable(lengths, 30, 0, kDistanceBases, kDistanceExtras, &e.distTable,
                               &e.distBits);
    if (result == kTableInvalid || result == kTableNoMemory) {
        FreeHuffmanTable(e.litTable);
        e.litTable = nullptr;
        return result == kTableNoMemory ? 1 : InvalidData();
    }
    return 0;
}

unsigned ReadDynamicHeader() {
    if (RefillBits(5))
        return 1;
    unsigned hlit = 257 + PeekBits(5);
    DropBits(5);
    if (RefillBits(5))
        return 1;
    unsigned hdist = 1 + PeekBits(5);
    DropBits(5);
    if (RefillBits(4))
        return 1;
    unsigned hclen = 4 + PeekBits(4);
    DropBits(4);
    if (hlit > 286 || hdist > 30)
        return InvalidData();

    u32 lengths[316];
    for (unsigned i = 0; i < 19; ++i)
        lengths[i] = 0;
    for (unsigned i = 0; i < hclen; ++i) {
        if (RefillBits(3))
            return 1;
        lengths[kCodeLengthOrder[i]] = PeekBits(3);
        DropBits(3);
    }
    DecodeEntry* codeLengthTable = nullptr;
    unsigned width = 7;
    unsigned result =
        BuildHuffmanTable(lengths, 19, 19, nullptr, nullptr, &codeLengthTable, &width);
    if (result != kTableComplete) {
        if (result == kTableIncomplete)
            FreeHuffmanTable(codeLengthTable);
        return result == kTableNoMemory ? 1 : InvalidData();
    }

    // Lengths of both codes in one run: a repeat may carry on from one into the other.
    unsigned total = hlit + hdist;
    unsigned stored = 0;
    unsigned last = 0;
    unsigned failed = 0;
    while (stored < total) {
        if (RefillBits(width) || !codeLengthTable) {
            failed = codeLengthTable ? 1 : InvalidData();
            break;
        }
        DecodeEntry entry = codeLengthTable[PeekBits(width)];
        DropBits(entry.bits);
        unsigned symbol = entry.value;
        if (symbol < 16) {
            lengths[stored++] = symbol;
            last = symbol;
            continue;
        }
        unsigned repeat;
        unsigned value = 0;
        if (symbol == 16) {
            if ((failed = RefillBits(2)) != 0)
                break;
            repeat = 3 + PeekBits(2);
            DropBits(2);
            value = last;
        } else if (symbol == 17) {
            if ((failed = RefillBits(3)) != 0)
                break;
            repeat = 3 + PeekBits(3);
            DropBits(3);
        } else {
            if ((failed = RefillBits(7)) != 0)
                break;
            repeat = 11 + PeekBits(7);
            DropBits(7);
        }
        if (stored + repeat > total) {
            failed = InvalidData();
            break;
        }
        while (repeat-- > 0)
            lengths[stored++] = value;
        last = value;
    }
    FreeHuffmanTable(codeLengthTable);
    if (failed)
        return 1;

    e.litBits = kLitWidth;
    result =
        BuildHuffmanTable(lengths, hlit, 257, kLengthBases, kLengthExtras, &e.litTable, &e.litBits);
    if (result != kTableComplete) {
        if (result == kTableIncomplete)
            FreeHuffmanTable(e.litTable);
        e.litTable = nullptr;
        return result == kTableNoMemory ? 1 : InvalidData();
    }
    e.distBits = kDistWidth;
    result = BuildHuffmanTable(lengths + hlit, hdist, 0, kDistanceBases, kDistanceExtras,
                               &e.distTable, &e.distBits);
    if (result != kTableComplete) {
        if (result == kTableIncomplete)
            FreeHuffmanTable(e.distTable);
        e.distTable = nullptr;
        FreeHuffmanTable(e.litTable);
        e.litTable = nullptr;
        return result == kTableNoMemory ? 1 : InvalidData();
    }
    return 0;
}

int DecodeCompressedData(const DecodeEntry* lt, const DecodeEntry* dt, unsigned lw, unsigned dw) {
    if (e.copyPending) {
        CopyMatch(e.copySource);
        e.copyPending = 0;
    }
    while (e.windowFill < kWindowSize) {
        if (decoderFastPath && e.windowFill < kWindowSize - kMaxMatch && lt &&
            AddressOf(e.inputEnd) >= AddressOf(e.inputStart) + kFastInput &&
            AddressOf(e.inputCursor) <= AddressOf(e.inputEnd) + 1 - kFastInput) {
            int result = DecodeFast(lt, dt, lw, dw);
            if (result != kFastLeft)
                return result;
            if (e.windowFill >= kWindowSize)
                break;
        }
        DecodeEntry entry;
        if (RefillBits(lw) || ResolveSymbol(lt, lw, &entry))
            return 1;
        if (entry.op == kOpLiteral) {
            e.window[e.windowFill++] = static_cast<u8>(entry.value);
            continue;
        }
        if (entry.op == kOpEndOfBlock)
            return 0;
        if (RefillBits(entry.op))
            return 1;
        e.copyLength = entry.value + PeekBits(entry.op);
        DropBits(entry.op);
        if (RefillBits(dw) || ResolveSymbol(dt, dw, &entry) || RefillBits(entry.op))
            return 1;
        unsigned distance = entry.value + PeekBits(entry.op);
        DropBits(entry.op);
        if (!DistanceValid(distance, e.windowFill))
            return static_cast<int>(InvalidData());
        CopyMatch(e.windowFill + kWindowSize - distance);
        if (e.windowFill == kWindowSize)
            e.copyPending = 1;
    }
    return -1;
}

unsigned DecodeBlock() {
    if (!e.inBlock) {
        if (RefillBits(1))
            return 1;
        e.lastBlock = PeekBits(1);
        DropBits(1);
        if (RefillBits(2))
            return 1;
        e.blockType = PeekBits(2);
        DropBits(2);
        unsigned failed;
        switch (e.blockType) {
        case 0:
            failed = ReadStoredHeader();
            break;
        case 1:
            failed = SetupFixedCodes();
            break;
        case 2:
            failed = ReadDynamicHeader();
            break;
        default:
            failed = ReportError(IDS_CAPTION_EXTRACT, IDS_BAD_BLOCK, 0);
            break;
        }
        if (failed)
            return 1;
        e.inBlock = 1;
    }
    int result = e.blockType == 0
                     ? CopyStoredData()
                     : DecodeCompressedData(e.litTable, e.distTable, e.litBits, e.distBits);
    if (result == -1)
        return 0;
    // The tables go with the block, also when it failed: nothing stays allocated after a failure.
    FreeHuffmanTable(e.litTable);
    FreeHuffmanTable(e.distTable);
    e.litTable = nullptr;
    e.distTable = nullptr;
    if (result == 1)
        return 1;
    e.inBlock = 0;
    return 0;
}
