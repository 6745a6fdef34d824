// The screen font's DDS reader with GL stubbed: any file gives a texture with
// a consistent mip chain or none, and never reads past its data.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "FuzzCheck.h"
#include "GlStubs.h"
#include "effects/DdsTexture.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    silenceConsole();
    installGlStubs();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // fmemopen refuses an empty buffer; an empty file has nothing to read.
    if (size == 0) return 0;
    std::vector<uint8_t> bytes(data, data + size);
    FILE* file = fmemopen(bytes.data(), size, "rb");
    FUZZ_CHECK(file != nullptr);
    resetGlStubs();
    GLuint texture = loadDdsTexture(file, "fuzz.dds");
    if (texture == 0) FUZZ_CHECK(uploadedLevels() == 0);
    return 0;
}
