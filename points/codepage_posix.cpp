// Code page 932 through iconv, for the systems we build and test on.
#include "codepage.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace karumenio::points {

namespace {

class Converter {
  public:
    Converter(const char* to, const char* from) : m_handle(iconv_open(to, from)) {}
    ~Converter() {
        if (valid()) {
            iconv_close(m_handle);
        }
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return m_handle != reinterpret_cast<iconv_t>(-1); }

    // Converts as much as it can; returns the number of input bytes consumed and appends the
    // output. Stops at the first sequence it cannot convert.
    std::size_t convert(std::string_view input, std::string& output) {
        iconv(m_handle, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        char buffer[4096];
        while (inLeft > 0) {
            char* out = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t result = iconv(m_handle, &in, &inLeft, &out, &outLeft);
            output.append(buffer, sizeof buffer - outLeft);
            if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
                break;
            }
        }
        return input.size() - inLeft;
    }

  private:
    iconv_t m_handle;
};

} // namespace

std::string toCp932(std::string_view utf8, std::vector<std::string>* unmappable) {
    Converter converter("CP932", "UTF-8");
    std::string out;
    out.reserve(utf8.size());
    std::size_t pos = 0;
    while (pos < utf8.size()) {
        pos += converter.valid() ? converter.convert(utf8.substr(pos), out) : 0;
        if (pos >= utf8.size()) {
            break;
        }
        const std::size_t length =
            std::min(utf8SequenceLength(static_cast<unsigned char>(utf8[pos])), utf8.size() - pos);
        if (unmappable != nullptr) {
            unmappable->emplace_back(utf8.substr(pos, length));
        }
        out += '?';
        pos += length;
    }
    return out;
}

std::optional<std::string> cp932ToUtf8(std::string_view bytes) {
    Converter converter("UTF-8", "CP932");
    if (!converter.valid()) {
        return std::nullopt;
    }
    std::string out;
    out.reserve(bytes.size() * 3 / 2);
    if (converter.convert(bytes, out) != bytes.size()) {
        return std::nullopt;
    }
    return out;
}

} // namespace karumenio::points
