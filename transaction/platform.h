#pragma once

// The few things that differ between Windows and the other systems.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

namespace karumenio::transaction::platform {

inline constexpr bool kIsWindows =
#ifdef _WIN32
    true;
#else
    false;
#endif

// The folder the outputs go to unless the user names another: $KARUMENIO_DRIVE_C when set and
// not empty; else drive C on Windows and the home folder elsewhere.
std::filesystem::path defaultOutputFolder();

// The path that UTF-8 text names. On Windows a path made from a plain string would read it in
// the ANSI code page, which cannot hold most names; bytes that are not UTF-8 become U+FFFD
// there. Elsewhere the bytes are the path.
std::filesystem::path pathFromUtf8(std::string_view text);

// The path held by an environment variable; empty when it is unset or empty. Windows keeps
// the environment in UTF-16 and hands it out in the ANSI code page unless asked for that.
std::filesystem::path environmentPath(const char* name);

// True when an existing file must not be replaced: marked read-only, or not writable by us.
bool isReadOnlyFile(const std::filesystem::path& file);

// True when the folder is known not to take new files. On Windows the read-only mark of a
// folder means nothing, so only creating a file tells.
bool folderDeniesWriting(const std::filesystem::path& folder);

// The path as UTF-8, as messages and the text inside files hold it.
std::string displayPath(const std::filesystem::path& path);

// Creates a new file holding exactly these bytes, on the disk itself before it returns when
// flush is set. The file is created exclusively: anything already at that name, a link
// included, makes it fail instead of being followed or replaced. A file left half written is
// removed. False on any failure.
bool createFileExclusive(const std::filesystem::path& file, std::string_view bytes,
                         bool flush = false);

// Appends to an existing regular file of at most limit bytes, never through a link, what
// `what` returns for the content it holds (read through the same handle, so that a file put
// in its place meanwhile is not the one changed); nothing when that is empty. On the disk
// before it returns when flush is set. False when the file is no such file or a step fails.
bool appendToFile(const std::filesystem::path& file, std::size_t limit,
                  const std::function<std::string(std::string_view)>& what, bool flush = false);

// Puts a folder's list of names on the disk: the files created and renamed in it survive a
// power loss from then on. Windows keeps the names in its own journal, so it has nothing to do.
bool flushFolder(const std::filesystem::path& folder);

enum class SmallFileRead { Read, Missing, Link, NotAFile, TooLarge, Failed };

// Reads a regular file of at most limit bytes into bytes. Anything else at the name is only
// looked at, never opened in a way that could wait (a FIFO) or act (a device): a link is Link,
// a folder, FIFO or device NotAFile, a longer file TooLarge.
SmallFileRead readSmallFile(const std::filesystem::path& file, std::size_t limit,
                            std::string& bytes);

// Reads a regular file of any size piece by piece, looked at as readSmallFile does (never
// TooLarge). A read that fails half-way is Failed.
SmallFileRead readFileInPieces(const std::filesystem::path& file,
                               const std::function<void(std::string_view)>& piece);

// Sixteen hex digits from the system's source of unpredictable numbers.
std::string randomToken();

// An exclusive lock on a folder, held by this process until released; kNoLock when none.
using LockHandle = std::intptr_t;
inline constexpr LockHandle kNoLock = -1;

enum class LockAttempt { Locked, Busy, Failed };

// Tries once to lock the folder against other writers. On Windows a hidden lock file in the
// folder holds the lock and disappears when it is released or the process ends; elsewhere
// the folder itself is locked, so nothing is left in it.
LockAttempt tryLockFolder(const std::filesystem::path& folder, LockHandle& handle);
void unlockFolder(LockHandle handle);

} // namespace karumenio::transaction::platform
