// ExtractionState: the launcher's one global record. The decoder and the stream keep all of their
// state here so that decoding can stop when the output window is full and resume exactly there.
#pragma once

#include "payload_types.h"

// One entry of a decoding table (see payload.h for the meaning of op). All tables of one code live
// in one allocation: a header entry, the first-level table, then the sub-tables. A link's value is
// the index of its sub-table counted from the first entry of the first-level table, so an entry
// stays four bytes and a whole 9-bit first level fits in 2 KiB.
struct DecodeEntry {
    u8 op;
    u8 bits;
    u16 value;
};
static_assert(sizeof(DecodeEntry) == 4, "decode entries are packed in four bytes");

// The bit buffer is a machine word: the core reads ahead as many whole bytes as fit while the input
// is far from its end, and one byte at a time near the end.
#if defined(KIT_BITWORD_32)
typedef unsigned int BitWord; // what i686 builds get, for host tests of that path
#else
typedef unsigned long BitWord;
#endif

// Optional observer of tar entries for host tools (mkinstall list): called for every file and
// directory entry before it is created; a non-zero result skips creating it (its data are read and
// dropped). install.exe leaves it null.
typedef int (*TarEntryObserver)(const char* name, int directory, u32 size, u32 mode, u32 mtime);

constexpr unsigned kWindowSize = 32768;

struct ExtractionState {
    // Package file (opened, mapped and released by the Win32 shell).
    void* packageFile;
    void* packageMapping;
    const u8* packageView;
    const u8* payloadCursor; // start of the payload, then the first DEFLATE byte
    u32 payloadRemaining;    // bytes from payloadCursor to the end of the file

    // Decoder input.
    const u8* inputStart;  // first byte of the DEFLATE data
    const u8* inputCursor; // next byte to fetch
    const u8* inputEnd;    // last byte that may be fetched: inputStart + n - 8
    BitWord bitBuffer;     // fetched bits not yet consumed, next bit in bit 0
    unsigned bitCount;
    u32 prematureEnd; // a byte after inputEnd was wanted; never cleared

    // Output window and block state.
    u8* window; // kWindowSize bytes (plus slack for word copies), owned by the stream
    unsigned windowFill;
    u32 lastBlock;
    u32 inBlock;
    unsigned blockType;
    unsigned storedRemaining;
    DecodeEntry* litTable;
    unsigned litBits;
    DecodeEntry* distTable;
    unsigned distBits;
    unsigned copyLength;
    unsigned copySource;
    u32 copyPending;
    u32 windowWrapped; // a whole window-full was handed out: any distance up to 32768 is valid

    // Stream.
    unsigned readPos;
    u32 totalOut;
    u32 crcRegister;

    // Progress: the byte a one-byte-at-a-time reader would have fetched up to, and the input
    // position at which the percentage next changes.
    const u8* progressCursor;
    const u8* progressThreshold;
    u32 thresholdPercent; // lastPercent for which progressThreshold was computed

    TarEntryObserver tarObserver;

    // Driver.
    char tempDir[260];

    // Shared by the worker and the progress dialog; no locks.
    void* volatile dialogWindow;
    volatile u32 cancelRequested;
    volatile u32 lastPercent;
    char currentFileName[101];
};

extern ExtractionState extraction;

// Puts the record into its process-start state (host tests call it between cases).
void ResetExtractionState();
