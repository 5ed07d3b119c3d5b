// The tar reader over any archive: the input is wrapped in stored DEFLATE blocks with a correct
// trailer, so that every byte reaches the tar reader unchanged.
#include <zlib.h>

#include <vector>

#include "fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> member;
    size_t offset = 0;
    do {
        size_t block = size - offset < 65535 ? size - offset : 65535;
        bool last = offset + block == size;
        member.push_back(last ? 1 : 0);
        member.push_back(static_cast<uint8_t>(block));
        member.push_back(static_cast<uint8_t>(block >> 8));
        member.push_back(static_cast<uint8_t>(~block));
        member.push_back(static_cast<uint8_t>(~block >> 8));
        member.insert(member.end(), data + offset, data + offset + block);
        offset += block;
    } while (offset < size);
    uint32_t crc = static_cast<uint32_t>(crc32(0, data, static_cast<uInt>(size)));
    for (int i = 0; i < 4; ++i)
        member.push_back(static_cast<uint8_t>(crc >> (8 * i)));
    for (int i = 0; i < 4; ++i)
        member.push_back(static_cast<uint8_t>(size >> (8 * i)));
    std::unique_ptr<uint8_t[]> input(new uint8_t[member.size()]);
    memcpy(input.get(), member.data(), member.size());
    StartRun();
    unsigned failed = OpenStream(input.get(), static_cast<u32>(member.size()));
    if (!failed)
        failed = ExtractTar();
    if (!failed)
        failed = FinishStream();
    CheckOneMessage(failed);
    return 0;
}
