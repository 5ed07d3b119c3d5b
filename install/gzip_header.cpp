// Finding the payload behind the executable image, and the gzip member header (RFC 1952 2.3).
//
// Package layout, all numbers little-endian:
//   0                 "MZ"
//   60                e_lfanew, file offset of "PE\0\0"
//   e_lfanew + 4      file header (20 bytes): NumberOfSections at +2
//   e_lfanew + 24     optional header: SizeOfHeaders at +60, NumberOfRvaAndSizes at +92, then
//                     8 bytes per data directory
//   e_lfanew + 120 + 8 * NumberOfRvaAndSizes    section headers, 40 bytes each, SizeOfRawData at
//   +16 P = SizeOfHeaders + sum of SizeOfRawData    gzip member: header, DEFLATE data, 8-byte
//   trailer
// Nothing records where the payload starts: the linker lays the sections one behind the other
// after the headers, so P is a sum of sizes. Every offset read from the file is compared with the
// file's size first: a damaged package must end with a message, not a read past the view.
#include "payload.h"

namespace {

inline u32 Read16(const u8* p) {
    return p[0] | p[1] << 8;
}

inline u32 Read32(const u8* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<u32>(p[3]) << 24;
}

// True when [offset, offset + length) lies inside a file of size bytes, in 64 bits.
inline bool Inside(u64 offset, u64 length, u32 size) {
    return offset <= size && length <= size - offset;
}

unsigned Fail(unsigned captionId, unsigned textId) {
    return ReportError(captionId, textId, 0);
}

// gzip flag bits.
constexpr unsigned kFlagText = 0x01;
constexpr unsigned kFlagContinuation = 0x02;
constexpr unsigned kFlagExtra = 0x04;
constexpr unsigned kFlagName = 0x08;
constexpr unsigned kFlagComment = 0x10;
constexpr unsigned kFlagEncrypted = 0x20;
constexpr unsigned kFlagReserved = 0xC0;

// Passes a zero-terminated field; false when the file ends before its zero byte.
bool SkipZeroTerminated(const u8** cursor, u32* remaining) {
    const u8* p = *cursor;
    for (u32 i = 0; i < *remaining; ++i) {
        if (p[i] == 0) {
            *cursor = p + i + 1;
            *remaining -= i + 1;
            return true;
        }
    }
    return false;
}

} // namespace

unsigned LocateImageEnd(const u8* view, u32 fileSize, const u8** cursor, u32* remaining) {
    if (fileSize < 2 || Read16(view) != 0x5A4D)
        return Fail(IDS_CAPTION, IDS_NO_MZ);
    if (!Inside(60, 4, fileSize))
        return Fail(IDS_CAPTION, IDS_NO_PE);
    u32 pe = Read32(view + 60);
    if (!Inside(pe, 4, fileSize) || Read32(view + pe) != 0x00004550)
        return Fail(IDS_CAPTION, IDS_NO_PE);
    // File header and the fixed part of the optional header up to NumberOfRvaAndSizes.
    if (!Inside(pe, 24 + 96, fileSize))
        return Fail(IDS_CAPTION, IDS_NO_PE);
    u32 sections = Read16(view + pe + 4 + 2);
    u32 sizeOfHeaders = Read32(view + pe + 24 + 60);
    u64 directories = Read32(view + pe + 24 + 92);
    u64 table = static_cast<u64>(pe) + 120 + 8 * directories;
    if (!Inside(table, 40 * static_cast<u64>(sections), fileSize))
        return Fail(IDS_CAPTION, IDS_NO_PE);
    u64 end = sizeOfHeaders;
    for (u32 i = 0; i < sections; ++i)
        end += Read32(view + table + 40 * i + 16);
    // A payload offset beyond the file means there is no payload: the gzip header check reports it.
    if (end > fileSize)
        end = fileSize;
    *cursor = view + end;
    *remaining = fileSize - static_cast<u32>(end);
    return 0;
}

unsigned ParseGzipHeader(const u8** cursor, u32* remaining) {
    const u8* p = *cursor;
    u32 left = *remaining;
    if (left < 10)
        return Fail(IDS_CAPTION_EXTRACT, IDS_NOT_GZIP);
    u32 magic = Read16(p);
    if (magic != 0x8B1F && magic != 0x9E1F)
        return Fail(IDS_CAPTION_EXTRACT, IDS_NOT_GZIP);
    if (p[2] != 8)
        return Fail(IDS_CAPTION_EXTRACT, IDS_BAD_METHOD);
    unsigned flags = p[3];
    if (flags & kFlagEncrypted)
        return Fail(IDS_CAPTION_EXTRACT, IDS_ENCRYPTED);
    if (flags & kFlagContinuation)
        return Fail(IDS_CAPTION_EXTRACT, IDS_MULTIPART);
    if (flags & kFlagReserved)
        return Fail(IDS_CAPTION_EXTRACT, IDS_UNKNOWN_FLAGS);
    (void)kFlagText;
    p += 10;
    left -= 10;
    if (flags & kFlagExtra) {
        if (left < 2 || Read16(p) > left - 2)
            return Fail(IDS_CAPTION_EXTRACT, IDS_NOT_GZIP);
        u32 n = Read16(p);
        p += 2 + n;
        left -= 2 + n;
    }
    if ((flags & kFlagName) && !SkipZeroTerminated(&p, &left))
        return Fail(IDS_CAPTION_EXTRACT, IDS_NOT_GZIP);
    if ((flags & kFlagComment) && !SkipZeroTerminated(&p, &left))
        return Fail(IDS_CAPTION_EXTRACT, IDS_NOT_GZIP);
    *cursor = p;
    *remaining = left;
    return 0;
}
