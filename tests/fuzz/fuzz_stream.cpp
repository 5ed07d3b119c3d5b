// DEFLATE data, stream and trailer: the input is the bytes after a gzip header; its first byte
// chooses the read size, so that window-fulls end at every position.
#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1)
        return 0;
    static const unsigned kReadSizes[] = {512, 1, 3, 51200, 32768, 4099, 65536, 7};
    unsigned readSize = kReadSizes[data[0] % 8];
    ++data;
    --size;
    std::unique_ptr<uint8_t[]> input(new uint8_t[size ? size : 1]);
    memcpy(input.get(), data, size);
    static uint8_t buffer[65536];
    StartRun();
    unsigned failed = OpenStream(input.get(), static_cast<u32>(size));
    if (!failed) {
        unsigned result;
        while ((result = ReadStream(readSize, buffer)) == 0) {
        }
        failed = result == kStreamEnded ? FinishStream() : 1;
    }
    CheckOneMessage(failed);
    return 0;
}
