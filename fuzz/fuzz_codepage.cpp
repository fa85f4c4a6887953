// Code page 932 both ways: what the code page holds is stable once encoded (some characters,
// such as U+00AC, share a code with their full-width form and come back as that), and bytes
// that decode encode back to text that decodes the same.
#include "spreadsheet/codepage.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

using namespace karumenio::spreadsheet;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (isValidUtf8(bytes)) {
        std::vector<std::string> unmappable;
        const std::string encoded = toCp932(bytes, &unmappable);
        const auto decoded = cp932ToUtf8(encoded);
        if (!decoded || toCp932(*decoded) != encoded) {
            std::fprintf(stderr, "encoded UTF-8 did not survive the round trip\n");
            std::abort();
        }
    }
    if (const auto decoded = cp932ToUtf8(bytes)) {
        if (!isValidUtf8(*decoded)) {
            std::fprintf(stderr, "decoding gave invalid UTF-8\n");
            std::abort();
        }
        std::vector<std::string> unmappable;
        const std::string again = toCp932(*decoded, &unmappable);
        if (unmappable.empty() && cp932ToUtf8(again) != decoded) {
            std::fprintf(stderr, "decoded text did not survive the round trip\n");
            std::abort();
        }
    }
    return 0;
}
