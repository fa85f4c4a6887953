#include "scripttext.h"

#include "spreadsheet/messagetext.h"

#include <array>
#include <utility>

namespace karumenio::scripts {

namespace {

// The characters a line may not begin with, and their full-width forms (code page 932 holds
// them all).
constexpr std::array<std::pair<char, std::string_view>, 3> kReplaced{{
    {';', "；"},
    {'(', "（"},
    {'!', "！"},
}};

} // namespace

ScriptText scriptText(std::string_view text) {
    if (!text.empty()) {
        for (const auto& [first, fullWidth] : kReplaced) {
            if (text.front() == first) {
                return {std::string(fullWidth).append(text.substr(1)), first};
            }
        }
    }
    return {std::string(text)};
}

std::string scriptTextWarning(std::string_view what, std::string_view original,
                              const ScriptText& written) {
    const std::string typed(1, written.replaced);
    const std::string fullWidth = written.text.substr(0, written.text.size() - original.size() + 1);
    return std::string(what) + "「" + spreadsheet::quotedInMessage(original) + "」は「" + typed +
           "」で始まり、作図ソフトがそのままでは文字として読まないため、スクリプトには先頭を「" +
           fullWidth + "」にして書き出しました。";
}

} // namespace karumenio::scripts
