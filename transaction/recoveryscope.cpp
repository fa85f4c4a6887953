#include "recoveryscope.h"

#include "filenames.h"
#include "platform.h"

#include "spreadsheet/ascii.h"

#include <algorithm>

namespace karumenio::transaction {

namespace {

bool endsWithFolded(std::string_view name, std::string_view extension) {
    if (extension.empty() || name.size() <= extension.size()) {
        return false;
    }
    const std::string_view end = name.substr(name.size() - extension.size());
    return std::equal(end.begin(), end.end(), extension.begin(), extension.end(),
                      [](char a, char b) {
                          return spreadsheet::ascii::toLower(a) == spreadsheet::ascii::toLower(b);
                      });
}

} // namespace

bool RecoveryScope::admits(const std::filesystem::path& folder, std::string_view name) const {
    if (!isPlainFileName(name) || isTransactionName(name)) {
        return false;
    }
    const bool own =
        std::find(names.begin(), names.end(), name) != names.end() ||
        std::any_of(extensions.begin(), extensions.end(),
                    [&](const std::string& extension) { return endsWithFolded(name, extension); });
    if (!own) {
        return false;
    }
    const std::string key = pathKey(folder / platform::pathFromUtf8(name));
    return std::none_of(inputs.begin(), inputs.end(), [&](const std::filesystem::path& input) {
        return pathKey(input, true) == key || pathKey(input) == key;
    });
}

} // namespace karumenio::transaction
