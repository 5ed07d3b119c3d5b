// The launcher's portable payload core: Huffman tables, DEFLATE decoder, decompressed stream with
// the gzip trailer, gzip header, the PE arithmetic that finds the payload, the tar reader, and the
// progress hooks. Every routine that can fail returns 0 on success and 1 after a failure has been
// reported through ReportError (seam.h), unless stated otherwise.
#pragma once

#include "extraction_state.h"
#include "messages.h"
#include "seam.h"

// ---- Huffman table builder -------------------------------------------------------------------
// op values of a DecodeEntry.
constexpr u8 kOpLiteral = 16;    // literal, or any symbol of the code-length code
constexpr u8 kOpEndOfBlock = 15; // symbol 256
constexpr u8 kOpInvalid = 99;    // no symbol has this code
// 0..13: base value followed by op extra bits; 17..32: link to a sub-table indexed by op-16 bits.

// Results of BuildHuffmanTable.
enum : unsigned {
    kTableComplete = 0,
    kTableIncomplete = 1, // built; the caller releases it if it rejects it
    kTableInvalid = 2,    // over-subscribed, or a list missing; nothing allocated
    kTableNoMemory = 3,   // reported (2024); nothing allocated
};

unsigned BuildHuffmanTable(const u32* lengths, unsigned n, unsigned s, const u16* bases,
                           const u16* extras, DecodeEntry** table, unsigned* width);
void FreeHuffmanTable(DecodeEntry* table);

// Base and extra-bit lists of RFC 1951 3.2.5 (lengths: 29 + two invalid symbols 286, 287).
extern const u16 kLengthBases[31];
extern const u16 kLengthExtras[31];
extern const u16 kDistanceBases[30];
extern const u16 kDistanceExtras[30];

// ---- DEFLATE decoder ---------------------------------------------------------------------------
// 0 when the window is full or the current block has ended; 1 after a reported failure.
unsigned DecodeBlock();
unsigned ReadStoredHeader();
unsigned SetupFixedCodes();
unsigned ReadDynamicHeader();
// -1 the window is full and the block goes on; 0 the block has ended; 1 failure reported.
int CopyStoredData();
int DecodeCompressedData(const DecodeEntry* lt, const DecodeEntry* dt, unsigned lw, unsigned dw);
// Cleared by tests to run every symbol through the careful byte-at-a-time path, the reference the
// fast path must agree with.
extern bool decoderFastPath;
// Forward copy: a match longer than its distance repeats the bytes it has just written.
void CopyBytes(u8* destination, const u8* source, unsigned count);

// ---- Decompressed stream and gzip trailer ------------------------------------------------------
constexpr unsigned kStreamEnded = 2059; // ReadStream: the stream ended first; not reported

unsigned OpenStream(const u8* data, u32 n);
// destination null: skip. 0 all delivered; 1 failed (reported); kStreamEnded.
unsigned ReadStream(unsigned count, u8* destination);
unsigned FinishStream();
// buffer null: reset the register (result 0). Otherwise the CRC-32 of all bytes since the reset.
u32 UpdateCrc(const u8* buffer, unsigned count);

// ---- Payload locator and gzip header -----------------------------------------------------------
// Finds the payload behind the executable image held in view[0 .. fileSize): checks "MZ" (2051) and
// "PE\0\0" (2052, also for headers cut off by the end of the file), and sets cursor/remaining to
// the bytes behind the image's last section (remaining 0 when that lies beyond the file). Caption
// 2000.
unsigned LocateImageEnd(const u8* view, u32 fileSize, const u8** cursor, u32* remaining);
// Checks and skips the gzip member header; caption 2010. A header cut off by the end of the file
// reports 2058.
unsigned ParseGzipHeader(const u8** cursor, u32* remaining);

// ---- Tar extractor -----------------------------------------------------------------------------
constexpr u32 kOctalInvalid = 0xFFFFFFFFu;
u32 ParseOctalField(unsigned width, const char* field);
// FILETIME of a Unix time, exact in 64 bits.
void UnixTimeToFileTime(u32 mtime, u32* low, u32* high);
unsigned ExtractTar();

// ---- Reporting hooks and string routines -------------------------------------------------------
void ProgressHook(const u8* start, const u8* end, const u8* current);
void FileNameHook(const char* name);

void StrCopy(char* destination, const char* source);
void StrCopyN(char* destination, const char* source, unsigned n); // no terminator if cut
void StrAppend(char* destination, const char* source);
unsigned StrLength(const char* text);
int StrCompare(const char* a, const char* b); // unsigned bytes; -1, 0 or 1
