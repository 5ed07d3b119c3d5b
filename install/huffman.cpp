// Huffman table builder. Canonical codes (RFC 1951 3.2.2) arrive first bit lowest, so tables are
// indexed by the next bits read least significant first. Codes longer than the first-level width
// continue in sub-tables reached through link entries; each sub-table is sized to the codes under
// its prefix, growing a bit at a time while the longer codes cannot fill it.
#include "payload.h"

const u16 kLengthBases[31] = {3,  4,  5,  6,  7,  8,  9,  10,  11,  13,  15,  17,  19,  23, 27, 31,
                              35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258, 0,  0};
// 286 and 287 exist only in the fixed code; 99 extra bits makes them decode as invalid.
const u16 kLengthExtras[31] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2,  2, 2,
                               3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0, 99, 99};
const u16 kDistanceBases[30] = {1,    2,    3,    4,    5,    7,    9,    13,    17,    25,
                                33,   49,   65,   97,   129,  193,  257,  385,   513,   769,
                                1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
const u16 kDistanceExtras[30] = {0, 0, 0, 0, 1, 1, 2, 2,  3,  3,  4,  4,  5,  5,  6,
                                 6, 7, 7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

namespace {

constexpr unsigned kMaxCodeLength = 16;

struct CodeShape {
    unsigned count[kMaxCodeLength + 1]; // codes of each length, fillers included at the longest
    u16 symbols[288];                   // used symbols in code order
    unsigned valueCount;
    unsigned kmin, g, l;
};

// Walks every code in canonical order, opening tables as the codes need them. With tables null it
// only measures how many entries all tables of the code take together; otherwise it fills them,
// laid out one behind the other from tables[0].
unsigned WalkCodes(const CodeShape& shape, unsigned s, const u16* bases, const u16* extras,
                   DecodeEntry* tables, unsigned* totalEntries) {
    const unsigned l = shape.l;
    const unsigned g = shape.g;
    int h = -1;
    int w = -static_cast<int>(l);
    unsigned i = 0;
    unsigned p = 0;
    unsigned used = 0;
    unsigned levelCode[kMaxCodeLength + 1] = {0};
    unsigned levelStart[kMaxCodeLength + 1] = {0}; // entry index of each open level's table
    unsigned levelSize[kMaxCodeLength + 1] = {0};
    DecodeEntry r = {0, 0, 0};
    for (unsigned k = shape.kmin; k <= g; ++k) {
        for (unsigned a = shape.count[k]; a-- > 0;) {
            while (static_cast<int>(k) > w + static_cast<int>(l)) {
                ++h;
                w += l;
                unsigned z = g - w < l ? g - w : l;
                unsigned j = k - w;
                unsigned f = 1u << j;
                if (f > a + 1) {
                    f -= a + 1;
                    while (++j < z) {
                        f <<= 1;
                        if (f <= shape.count[w + j])
                            break;
                        f -= shape.count[w + j];
                    }
                }
                levelStart[h] = used;
                levelSize[h] = 1u << j;
                used += 1u << j;
                if (h > 0) {
                    levelCode[h] = i;
                    r.op = static_cast<u8>(16 + j);
                    r.bits = static_cast<u8>(l);
                    r.value = static_cast<u16>(levelStart[h]);
                    if (tables)
                        tables[levelStart[h - 1] + (i >> (w - l))] = r;
                }
            }
            r.bits = static_cast<u8>(k - w);
            if (p >= shape.valueCount) {
                r.op = kOpInvalid;
            } else {
                unsigned symbol = shape.symbols[p++];
                if (symbol < s) {
                    r.op = symbol < 256 ? kOpLiteral : kOpEndOfBlock;
                    r.value = static_cast<u16>(symbol);
                } else {
                    if (!bases || !extras)
                        return kTableInvalid;
                    r.op = static_cast<u8>(extras[symbol - s] & 0xFF);
                    r.value = bases[symbol - s];
                }
            }
            if (tables) {
                DecodeEntry* table = tables + levelStart[h];
                for (unsigned j = i >> w; j < levelSize[h]; j += 1u << (k - w))
                    table[j] = r;
            }
            unsigned bit = 1u << (k - 1);
            while (i & bit) {
                i ^= bit;
                bit >>= 1;
            }
            i ^= bit;
            while ((i & ((1u << w) - 1)) != levelCode[h]) {
                --h;
                w -= l;
            }
        }
    }
    *totalEntries = used;
    return kTableComplete;
}

} // namespace

unsigned BuildHuffmanTable(const u32* lengths, unsigned n, unsigned s, const u16* bases,
                           const u16* extras, DecodeEntry** table, unsigned* width) {
    CodeShape shape;
    for (unsigned k = 0; k <= kMaxCodeLength; ++k)
        shape.count[k] = 0;
    *table = nullptr;
    for (unsigned i = 0; i < n; ++i) {
        if (lengths[i] > kMaxCodeLength)
            return kTableInvalid;
        ++shape.count[lengths[i]];
    }
    if (shape.count[0] == n) {
        *width = 0;
        return kTableComplete;
    }
    unsigned kmin = 1;
    while (shape.count[kmin] == 0)
        ++kmin;
    unsigned g = kMaxCodeLength;
    while (shape.count[g] == 0)
        --g;
    unsigned l = *width;
    if (l < kmin)
        l = kmin;
    if (l > g)
        l = g;
    *width = l;

    int free = 1 << kmin;
    for (unsigned j = kmin; j < g; ++j) {
        free -= static_cast<int>(shape.count[j]);
        if (free < 0)
            return kTableInvalid;
        free *= 2;
    }
    free -= static_cast<int>(shape.count[g]);
    if (free < 0)
        return kTableInvalid;

    unsigned offset[kMaxCodeLength + 2];
    offset[1] = 0;
    for (unsigned k = 1; k <= kMaxCodeLength; ++k)
        offset[k + 1] = offset[k] + shape.count[k];
    shape.valueCount = offset[kMaxCodeLength + 1];
    for (unsigned i = 0; i < n; ++i) {
        if (lengths[i] != 0)
            shape.symbols[offset[lengths[i]]++] = static_cast<u16>(i);
    }
    shape.count[g] += static_cast<unsigned>(free);
    shape.kmin = kmin;
    shape.g = g;
    shape.l = l;

    // A code no longer than the first level is one table; only longer codes need the measuring walk.
    unsigned total = 1u << l;
    if (g > l && WalkCodes(shape, s, bases, extras, nullptr, &total) != kTableComplete)
        return kTableInvalid;
    DecodeEntry* tables = static_cast<DecodeEntry*>(AllocateMemory(total * sizeof(DecodeEntry)));
    if (!tables) {
        ReportError(IDS_CAPTION_EXTRACT, IDS_NO_MEMORY, LastSystemError());
        return kTableNoMemory;
    }
    if (WalkCodes(shape, s, bases, extras, tables, &total) != kTableComplete) {
        FreeMemory(tables);
        return kTableInvalid;
    }
    *table = tables;
    return free != 0 && g != 1 ? kTableIncomplete : kTableComplete;
}

void FreeHuffmanTable(DecodeEntry* table) {
    if (table)
        FreeMemory(table);
}
