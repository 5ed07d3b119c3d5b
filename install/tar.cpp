// Tar extractor for the archives GNU tar writes in its old format: 512-byte headers with octal
// text fields, regular files, directories and GNU long-name entries. Everything else is refused.
//
// Header record (only these fields are used):
//   0    100  name, NUL-terminated (byte 99 always treated as NUL)
//   100  8    mode (octal; only owner-write 0o200 matters)
//   124  12   size (octal)
//   136  12   mtime (octal Unix seconds)
//   148  8    chksum (octal; counted as eight spaces)
//   156  1    typeflag: NUL or '0' file, '5' directory, 'L' long name of the next entry
//   500  12   not part of the checksum
#include "payload.h"

namespace {

constexpr unsigned kRecord = 512;
constexpr unsigned kCopyBufferSize = 51200; // 100 records per read and per write
constexpr u32 kMaxLongName = 65536;
constexpr unsigned kOwnerWrite = 0200;

unsigned BadData() {
    return ReportError(IDS_CAPTION_EXTRACT, IDS_TAR_BAD_DATA, 0);
}

unsigned PrematureEnd() {
    return ReportError(IDS_CAPTION_EXTRACT, IDS_PREMATURE_END, 0);
}

unsigned FileSystemFailure(unsigned textId, SystemError error) {
    if (IsDiskFullError(error))
        return ReportError(IDS_CAPTION_EXTRACT, IDS_DISK_FULL, 0);
    return ReportError(IDS_CAPTION_EXTRACT, textId, error);
}

inline char Upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// The names Windows opens as devices in any directory, whatever extension follows.
bool IsDeviceName(const char* component, unsigned length) {
    unsigned base = 0;
    while (base < length && component[base] != '.')
        ++base;
    while (base > 0 && component[base - 1] == ' ')
        --base;
    char name[5];
    if (base != 3 && base != 4)
        return false;
    for (unsigned i = 0; i < base; ++i)
        name[i] = Upper(component[i]);
    if (base == 3) {
        static const char kThree[4][4] = {"CON", "PRN", "AUX", "NUL"};
        for (const char* device : kThree) {
            if (name[0] == device[0] && name[1] == device[1] && name[2] == device[2])
                return true;
        }
        return false;
    }
    bool com = name[0] == 'C' && name[1] == 'O' && name[2] == 'M';
    bool lpt = name[0] == 'L' && name[1] == 'P' && name[2] == 'T';
    return (com || lpt) && name[3] >= '1' && name[3] <= '9';
}

// "..", and any other run of dots and spaces holding two dots: Windows drops trailing dots and
// spaces from a path component, so ".. " and "..." may name the parent too.
bool IsParentReference(const char* component, unsigned length) {
    unsigned dots = 0;
    for (unsigned i = 0; i < length; ++i) {
        if (component[i] == '.')
            ++dots;
        else if (component[i] != ' ')
            return false;
    }
    return dots >= 2;
}

// An entry must land inside the extraction directory: no empty name, no root, drive, stream or
// device prefix, no ".." component and no device name, with "/" and "\" both separators.
bool SafeEntryName(const char* name) {
    if (name[0] == 0 || name[0] == '\\')
        return false;
    const char* component = name;
    for (const char* p = name;; ++p) {
        char c = *p;
        if (c == ':')
            return false;
        if (c == '/' || c == '\\' || c == 0) {
            unsigned length = static_cast<unsigned>(p - component);
            if (IsParentReference(component, length))
                return false;
            if (IsDeviceName(component, length))
                return false;
            if (c == 0)
                return true;
            component = p + 1;
        }
    }
}

} // namespace

u32 ParseOctalField(unsigned width, const char* field) {
    unsigned i = 0;
    while (i < width && field[i] == ' ')
        ++i;
    if (i == width)
        return kOctalInvalid;
    u32 value = 0;
    while (i < width && field[i] >= '0' && field[i] <= '7') {
        value = value * 8 + static_cast<u32>(field[i] - '0');
        ++i;
    }
    if (i < width && field[i] != 0 && field[i] != ' ')
        return kOctalInvalid;
    return value;
}

void UnixTimeToFileTime(u32 mtime, u32* low, u32* high) {
    u64 time = static_cast<u64>(mtime) * 10000000u + 116444736000000000ull;
    *low = static_cast<u32>(time);
    *high = static_cast<u32>(time >> 32);
}

unsigned ExtractTar() {
    char header[kRecord];
    char* longName = nullptr;
    bool longNamePending = false;
    FileHandle file = nullptr;
    u8* copyBuffer = nullptr;
    unsigned result = 0;

    for (;;) {
        unsigned read = ReadStream(kRecord, reinterpret_cast<u8*>(header));
        if (read == kStreamEnded)
            break; // no end-of-archive record; FinishStream decides whether the data were whole
        if (read != 0) {
            result = 1;
            break;
        }
        u32 checksum = ParseOctalField(8, header + 148);
        if (checksum == kOctalInvalid) {
            result = BadData();
            break;
        }
        u32 unsignedSum = 0;
        i32 signedSum = 0;
        for (unsigned i = 0; i < 500; ++i) {
            if (i == 148)
                i = 156;
            unsignedSum += static_cast<u8>(header[i]);
            signedSum += static_cast<signed char>(header[i]);
        }
        if (unsignedSum == 0) {
            // End of archive: whatever follows is read, so that the CRC covers the whole stream.
            do {
                read = ReadStream(kWindowSize, nullptr);
            } while (read == 0);
            result = read == kStreamEnded ? 0 : 1;
            break;
        }
        if (checksum != unsignedSum + 256 && static_cast<i32>(checksum) != signedSum + 256) {
            result = ReportError(IDS_CAPTION_EXTRACT, IDS_TAR_CHECKSUM, 0);
            break;
        }
        u32 size = ParseOctalField(12, header + 124);
        u32 mode = ParseOctalField(8, header + 100);
        u32 mtime = ParseOctalField(12, header + 136);
        if (size == kOctalInvalid || mode == kOctalInvalid || mtime == kOctalInvalid) {
            result = BadData();
            break;
        }
        mode &= 07777;
        header[99] = 0;
        char type = header[156];

        if (type == 'L') {
            FreeMemory(longName);
            longName = nullptr;
            longNamePending = false;
            // A long name is a path, not a payload: a few bytes cannot make us allocate gigabytes.
            if (static_cast<i32>(size) <= 0 || size > kMaxLongName) {
                result = BadData();
                break;
            }
            longName = static_cast<char*>(AllocateMemory(size));
            if (!longName) {
                result = ReportError(IDS_CAPTION_EXTRACT, IDS_NO_MEMORY, LastSystemError());
                break;
            }
            read = ReadStream(size, reinterpret_cast<u8*>(longName));
            if (read == 0)
                read = ReadStream((kRecord - size % kRecord) % kRecord, nullptr);
            if (read != 0) {
                result = read == kStreamEnded ? PrematureEnd() : 1;
                break;
            }
            bool terminated = false;
            for (u32 i = 0; i < size && !terminated; ++i)
                terminated = longName[i] == 0;
            if (!terminated) {
                result = BadData();
                break;
            }
            longNamePending = true;
            continue;
        }

        char* name = header;
        if (longNamePending) {
            name = longName;
        } else if (longName) {
            FreeMemory(longName);
            longName = nullptr;
        }
        longNamePending = false;
        FileNameHook(name);
        while (*name == '/')
            ++name;

        bool directory;
        unsigned length = StrLength(name);
        if (type == 0 || type == '0') {
            directory = length > 0 && name[length - 1] == '/';
        } else if (type == '5') {
            directory = true;
        } else {
            result = BadData();
            break;
        }
        if (directory) {
            while (length > 1 && name[length - 1] == '/')
                name[--length] = 0;
        }
        if (!SafeEntryName(name)) {
            result = BadData();
            break;
        }

        if (extraction.tarObserver &&
            extraction.tarObserver(name, directory, directory ? 0 : size, mode, mtime)) {
            i32 skip = directory ? 0 : static_cast<i32>(size);
            while (skip > 0) {
                unsigned chunk = skip >= static_cast<i32>(kCopyBufferSize)
                                     ? kCopyBufferSize
                                     : (static_cast<unsigned>(skip) + kRecord - 1) & ~(kRecord - 1);
                read = ReadStream(chunk, nullptr);
                if (read != 0)
                    break;
                skip -= static_cast<i32>(chunk);
            }
            if (read != 0) {
                result = read == kStreamEnded ? PrematureEnd() : 1;
                break;
            }
            continue;
        }

        if (directory) {
            SystemError error = CreateDirectoryEntry(name);
            if (error) {
                result = FileSystemFailure(IDS_CREATE_DIR, error);
                break;
            }
            SetEntryAttributes(name, mode & kOwnerWrite ? 0 : kAttributeReadOnly);
            continue;
        }

        SystemError error = CreateFileEntry(name, &file);
        if (error) {
            file = nullptr;
            result = FileSystemFailure(IDS_OPEN_FILE, error);
            break;
        }
        copyBuffer = static_cast<u8*>(AllocateMemory(kCopyBufferSize));
        if (!copyBuffer) {
            result = ReportError(IDS_CAPTION_EXTRACT, IDS_NO_MEMORY, LastSystemError());
            break;
        }
        i32 remaining = static_cast<i32>(size);
        while (remaining > 0) {
            unsigned chunk =
                remaining >= static_cast<i32>(kCopyBufferSize)
                    ? kCopyBufferSize
                    : (static_cast<unsigned>(remaining) + kRecord - 1) & ~(kRecord - 1);
            read = ReadStream(chunk, copyBuffer);
            if (read != 0) {
                result = read == kStreamEnded ? PrematureEnd() : 1;
                break;
            }
            unsigned write =
                static_cast<unsigned>(remaining) < chunk ? static_cast<unsigned>(remaining) : chunk;
            error = WriteFileEntry(file, copyBuffer, write);
            if (error) {
                result = FileSystemFailure(IDS_WRITE_FILE, error);
                break;
            }
            remaining -= static_cast<i32>(write);
        }
        if (result)
            break;
        FreeMemory(copyBuffer);
        copyBuffer = nullptr;
        u32 timeLow, timeHigh;
        UnixTimeToFileTime(mtime, &timeLow, &timeHigh);
        SetFileEntryTime(file, timeLow, timeHigh);
        error = CloseFileEntry(file);
        file = nullptr;
        if (error) {
            result = FileSystemFailure(IDS_CLOSE_FILE, error);
            break;
        }
        SetEntryAttributes(name, kAttributeArchive | (mode & kOwnerWrite ? 0 : kAttributeReadOnly));
    }

    if (file)
        CloseFileEntry(file);
    FreeMemory(copyBuffer);
    FreeMemory(longName);
    return result;
}
