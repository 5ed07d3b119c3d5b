// A whole package file: PE arithmetic, gzip header, stream and tar reader (file operations are
// not carried out).
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::unique_ptr<uint8_t[]> file(new uint8_t[size ? size : 1]);
    memcpy(file.get(), data, size);
    StartRun();
    const u8* cursor = file.get();
    u32 remaining = static_cast<u32>(size);
    unsigned failed = 0;
    if (size >= 2 && data[0] == 'M' && data[1] == 'Z')
        failed = LocateImageEnd(file.get(), remaining, &cursor, &remaining);
    if (!failed)
        failed = ParseGzipHeader(&cursor, &remaining);
    if (!failed && (cursor < file.get() || cursor > file.get() + size ||
                    remaining != static_cast<u32>(file.get() + size - cursor)))
        abort();
    if (!failed)
        failed = OpenStream(cursor, remaining);
    if (!failed)
        failed = ExtractTar();
    if (!failed)
        failed = FinishStream();
    CheckOneMessage(failed);
    return 0;
}
