#include "outputset.h"

#include "filenames.h"
#include "platform.h"
#include "writereport.h"

#include <filesystem>

namespace karumenio::transaction {

namespace {

std::string named(const RunFile& file) {
    return "「" + platform::displayPath(file.path) + "」（" + file.role + "）";
}

[[noreturn]] void clash(const RunFile& first, const RunFile& second, const std::string& why) {
    throw OutputClash(named(first) + "と" + named(second) + why + "別の名前を指定して下さい。" +
                      std::string(kNothingChanged));
}

} // namespace

OutputClash::OutputClash(const std::string& message)
    : spreadsheet::RunTimeError(spreadsheet::RunError::PathFileAccess, message) {}

void checkOutputSet(const std::vector<RunFile>& outputs, const std::vector<RunFile>& inputs) {
    std::vector<std::string> keys;
    keys.reserve(outputs.size());
    for (const RunFile& output : outputs) {
        const std::string name = fileNameOf(output.path);
        if (isTransactionName(name)) {
            throw OutputClash(named(output) + "の名前「" + name +
                              "」は、出力中の記録や一時ファイルに使う名前です。別の名前を指定して"
                              "下さい。" +
                              std::string(kNothingChanged));
        }
        keys.push_back(pathKey(output.path));
    }
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        for (std::size_t j = 0; j < i; ++j) {
            if (keys[i] == keys[j]) {
                clash(outputs[j], outputs[i], "は同じファイルです。");
            }
        }
        for (const RunFile& input : inputs) {
            // Reading follows a link; replacing one does not.
            if (keys[i] == pathKey(input.path, true) || keys[i] == pathKey(input.path)) {
                clash(input, outputs[i],
                      "は同じファイルです。読み込んだファイルに書き込むと、元の"
                      "内容が失われます。");
            }
        }
    }
}

} // namespace karumenio::transaction
