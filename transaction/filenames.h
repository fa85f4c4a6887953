#pragma once

// Names in an output folder: the ones a file set keeps for itself, and file names compared
// the way Windows compares them, since the folder is meant to be used from Windows.

#include <filesystem>
#include <string>
#include <string_view>

namespace karumenio::transaction {

// The journal of a file set, one per folder while the set replaces files there.
inline constexpr std::string_view kJournalName = "~karumenio.journal";
// The file that holds a folder's lock on Windows.
inline constexpr std::string_view kLockFileName = "~karumenio.lock";

// The suffixes of the names kept beside a target: its new file while it is written, its old
// file while it is replaced, and a journal that was not the set's own, put aside.
inline constexpr std::string_view kTemporarySuffix = "tmp";
inline constexpr std::string_view kBackupSuffix = "bak";
inline constexpr std::string_view kSetAsideSuffix = "old";

// "~NAME.<token>.SUFFIX" beside the target: the token is the run's own, sixteen hex digits
// nobody can guess (platform::randomToken), which the run's journal records.
std::filesystem::path siblingName(const std::filesystem::path& target, std::string_view token,
                                  std::string_view suffix);

// True when text is a run's token: sixteen lower-case hex digits.
bool isRunToken(std::string_view text);

// True for the journal, the lock, and any name of the sibling shape: names that no output may
// take, compared as Windows would.
bool isTransactionName(std::string_view name);

// A file name (UTF-8) as Windows compares it: letters without regard to case (ASCII, full-width,
// Latin-1, Greek and Cyrillic), trailing dots and blanks dropped.
std::string windowsFoldedName(std::string_view name);

// True when name is one plain file name that means the same on every system: no folder
// separator, drive or stream colon, control character, "." or "..", nor a trailing dot or blank.
bool isPlainFileName(std::string_view name);

// The UTF-8 file name of a path.
std::string fileNameOf(const std::filesystem::path& path);

// A key that is equal for two paths Windows would take for one file: made absolute, the links of
// its folder resolved, "." and ".." taken out, every part folded. With resolveLast the last part
// is resolved too, as reading a file follows a link where replacing one does not.
std::string pathKey(const std::filesystem::path& path, bool resolveLast = false);

} // namespace karumenio::transaction
