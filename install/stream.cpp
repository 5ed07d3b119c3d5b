// Decompressed stream: the tar reader's byte-stream view of the payload. One window-full of decoded
// bytes waits ahead of the reader; the CRC-32 and length of everything decoded are kept for the
// gzip trailer (RFC 1952 2.3.1).
#include "payload.h"

namespace {

ExtractionState& e = extraction;

// Reflected CRC-32, polynomial 0xEDB88320, sixteen tables so that sixteen bytes take sixteen
// independent lookups per step (slicing by sixteen). Built on the first reset rather than stored,
// to keep 16 KiB of constants out of install.exe; the first reset happens in OpenStream, before any
// other thread runs.
constexpr int kSlices = 16;
u32 crcTables[kSlices][256];
bool crcTablesReady;

void BuildCrcTables() {
    for (u32 n = 0; n < 256; ++n) {
        u32 c = n;
        for (int k = 0; k < 8; ++k)
            c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        crcTables[0][n] = c;
    }
    for (u32 n = 0; n < 256; ++n) {
        for (int t = 1; t < kSlices; ++t)
            crcTables[t][n] = crcTables[0][crcTables[t - 1][n] & 0xFF] ^ (crcTables[t - 1][n] >> 8);
    }
    crcTablesReady = true;
}

inline u32 Load32(const u8* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<u32>(p[3]) << 24;
}

bool StreamEnded() {
    return e.lastBlock && !e.inBlock;
}

// Decodes up to a window-full and counts it into the length and the CRC before any of it is read.
unsigned Refill() {
    while (e.windowFill < kWindowSize && !StreamEnded()) {
        if (DecodeBlock()) {
            FreeMemory(e.window);
            e.window = nullptr;
            return 1;
        }
    }
    e.totalOut += e.windowFill;
    UpdateCrc(e.window, e.windowFill);
    return 0;
}

} // namespace

u32 UpdateCrc(const u8* buffer, unsigned count) {
    if (!crcTablesReady)
        BuildCrcTables();
    if (!buffer) {
        e.crcRegister = 0xFFFFFFFFu;
        return 0;
    }
    u32 c = e.crcRegister;
    while (count >= 16) {
        u32 w0 = c ^ Load32(buffer);
        u32 w1 = Load32(buffer + 4);
        u32 w2 = Load32(buffer + 8);
        u32 w3 = Load32(buffer + 12);
        c = crcTables[15][w0 & 0xFF] ^ crcTables[14][(w0 >> 8) & 0xFF] ^
            crcTables[13][(w0 >> 16) & 0xFF] ^ crcTables[12][w0 >> 24] ^ crcTables[11][w1 & 0xFF] ^
            crcTables[10][(w1 >> 8) & 0xFF] ^ crcTables[9][(w1 >> 16) & 0xFF] ^
            crcTables[8][w1 >> 24] ^ crcTables[7][w2 & 0xFF] ^ crcTables[6][(w2 >> 8) & 0xFF] ^
            crcTables[5][(w2 >> 16) & 0xFF] ^ crcTables[4][w2 >> 24] ^ crcTables[3][w3 & 0xFF] ^
            crcTables[2][(w3 >> 8) & 0xFF] ^ crcTables[1][(w3 >> 16) & 0xFF] ^
            crcTables[0][w3 >> 24];
        buffer += 16;
        count -= 16;
    }
    while (count-- > 0)
        c = crcTables[0][(c ^ *buffer++) & 0xFF] ^ (c >> 8);
    e.crcRegister = c;
    return c ^ 0xFFFFFFFFu;
}

unsigned OpenStream(const u8* data, u32 n) {
    e.window = static_cast<u8*>(AllocateMemory(kWindowSize));
    if (!e.window)
        return ReportError(IDS_CAPTION_EXTRACT, IDS_NO_MEMORY, LastSystemError());
    UpdateCrc(nullptr, 0);
    // inputEnd lies before data when 8 bytes or fewer follow the header; form it without pointer
    // arithmetic that leaves the buffer.
    typedef __UINTPTR_TYPE__ Address;
    e.inputStart = e.inputCursor = data;
    e.inputEnd = reinterpret_cast<const u8*>(reinterpret_cast<Address>(data) + n - 8);
    e.bitBuffer = 0;
    e.bitCount = 0;
    e.prematureEnd = 0;
    e.windowFill = 0;
    e.readPos = 0;
    e.lastBlock = 0;
    e.inBlock = 0;
    e.copyPending = 0;
    e.windowWrapped = 0;
    e.totalOut = 0;
    e.progressCursor = data;
    e.progressThreshold = nullptr;
    e.thresholdPercent = e.lastPercent;
    return Refill();
}

unsigned ReadStream(unsigned count, u8* destination) {
    if (!e.window)
        return 1; // the stream failed earlier and was reported then
    for (;;) {
        unsigned take = e.windowFill - e.readPos;
        if (take > count)
            take = count;
        if (take > 0) {
            if (destination) {
                CopyBytes(destination, e.window + e.readPos, take);
                destination += take;
            }
            e.readPos += take;
            count -= take;
        }
        if (count == 0)
            return 0;
        if (StreamEnded())
            return kStreamEnded;
        if (e.windowFill == kWindowSize)
            e.windowWrapped = 1;
        e.readPos = 0;
        e.windowFill = 0;
        if (Refill())
            return 1;
    }
}

unsigned FinishStream() {
    if (!e.window)
        return 1; // the stream failed earlier and was reported then
    FreeMemory(e.window);
    e.window = nullptr;
    // Whole bytes fetched ahead of the last code belong to the trailer.
    e.inputCursor -= e.bitCount / 8;
    e.bitCount %= 8;
    if (e.inputCursor > e.inputEnd)
        return ReportError(IDS_CAPTION_EXTRACT, IDS_BAD_LENGTH, 0);
    const u8* p = e.inputCursor;
    u32 crc = p[0] | p[1] << 8 | p[2] << 16 | static_cast<u32>(p[3]) << 24;
    u32 size = p[4] | p[5] << 8 | p[6] << 16 | static_cast<u32>(p[7]) << 24;
    e.inputCursor += 8;
    if (crc != UpdateCrc(p, 0))
        return ReportError(IDS_CAPTION_EXTRACT, IDS_CRC_ERROR, 0);
    if (size != e.totalOut)
        return ReportError(IDS_CAPTION_EXTRACT, IDS_BAD_LENGTH, 0);
    return 0;
}
