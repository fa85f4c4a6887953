// Code page 932 through the system's own conversion on Windows.
#include "codepage.h"

#include <windows.h>

#include <algorithm>

namespace karumenio::points {

namespace {

std::wstring widen(std::string_view utf8) {
    const int length =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                        length);
    return wide;
}

} // namespace

std::string toCp932(std::string_view utf8, std::vector<std::string>* unmappable) {
    std::string out;
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        const std::size_t length =
            std::min(utf8SequenceLength(static_cast<unsigned char>(utf8[pos])), utf8.size() - pos);
        const std::string_view character = utf8.substr(pos, length);
        const std::wstring wide = widen(character);
        BOOL lost = FALSE;
        char buffer[8];
        const int written = wide.empty()
                                ? 0
                                : WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.data(),
                                                      static_cast<int>(wide.size()), buffer,
                                                      sizeof buffer, nullptr, &lost);
        if (written <= 0 || lost) {
            if (unmappable != nullptr) {
                unmappable->emplace_back(character);
            }
            out += '?';
        } else {
            out.append(buffer, static_cast<std::size_t>(written));
        }
        pos += length;
    }
    return out;
}

std::optional<std::string> cp932ToUtf8(std::string_view bytes) {
    if (bytes.empty()) {
        return std::string();
    }
    const int length = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(),
                                           static_cast<int>(bytes.size()), nullptr, 0);
    if (length <= 0) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, bytes.data(), static_cast<int>(bytes.size()),
                        wide.data(), length);
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, out.data(), size, nullptr, nullptr);
    return out;
}

} // namespace karumenio::points
