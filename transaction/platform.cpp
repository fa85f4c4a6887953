#include "platform.h"

#include "filenames.h"
#include "numeric/conversion.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <random>
#include <system_error>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace karumenio::transaction::platform {

namespace {

bool hasNoWritePermission(const std::filesystem::path& path) {
    using std::filesystem::perms;
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error) {
        return false;
    }
    const perms anyWrite = perms::owner_write | perms::group_write | perms::others_write;
    return (status.permissions() & anyWrite) == perms::none;
}

} // namespace

std::filesystem::path defaultOutputFolder() {
    // A stand-in for drive C on systems that have none, and a test's folder on any system.
    if (std::filesystem::path drive = environmentPath("KARUMENIO_DRIVE_C"); !drive.empty()) {
        return drive;
    }
#ifdef _WIN32
    return std::filesystem::path(L"C:\\");
#else
    if (std::filesystem::path home = environmentPath("HOME"); !home.empty()) {
        return home;
    }
    std::error_code error;
    return std::filesystem::current_path(error);
#endif
}

#ifdef _WIN32

std::filesystem::path pathFromUtf8(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    const int size = static_cast<int>(text.size());
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    // UTF-8 never takes fewer bytes than UTF-16 takes units, so the buffer is large enough.
    const int length = ::MultiByteToWideChar(CP_UTF8, 0, text.data(), size, wide.data(), size);
    wide.resize(static_cast<std::size_t>(length));
    return std::filesystem::path(std::move(wide));
}

std::filesystem::path environmentPath(const char* name) {
    // Variable names are ASCII.
    const std::wstring wideName(name, name + std::char_traits<char>::length(name));
    std::wstring value(MAX_PATH, L'\0');
    for (;;) {
        const DWORD needed = ::GetEnvironmentVariableW(wideName.c_str(), value.data(),
                                                       static_cast<DWORD>(value.size()));
        if (needed < value.size()) {
            // Zero both for an unset variable and for an empty one.
            value.resize(needed);
            return std::filesystem::path(std::move(value));
        }
        value.resize(needed);
    }
}

#else

std::filesystem::path pathFromUtf8(std::string_view text) {
    return std::filesystem::path(std::string(text));
}

std::filesystem::path environmentPath(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? std::filesystem::path(value) : std::filesystem::path();
}

#endif

bool isReadOnlyFile(const std::filesystem::path& file) {
#ifdef _WIN32
    // The read-only attribute shows as missing write permissions.
    return hasNoWritePermission(file);
#else
    // Without any write bit the file counts as read-only even for the superuser, who could
    // otherwise replace it.
    return hasNoWritePermission(file) || ::access(file.c_str(), W_OK) != 0;
#endif
}

bool folderDeniesWriting(const std::filesystem::path& folder) {
#ifdef _WIN32
    (void)folder;
    return false;
#else
    return hasNoWritePermission(folder) || ::access(folder.c_str(), W_OK | X_OK) != 0;
#endif
}

std::string displayPath(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

#ifdef _WIN32

namespace {

bool writeAll(HANDLE file, std::string_view bytes) {
    while (!bytes.empty()) {
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), 1u << 30));
        DWORD written = 0;
        if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

// Reads from the handle's position to the end; false when a read fails.
bool readAll(HANDLE file, const std::function<void(std::string_view)>& piece) {
    char buffer[1 << 16];
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file, buffer, sizeof buffer, &read, nullptr)) {
            return false;
        }
        if (read == 0) {
            return true;
        }
        piece(std::string_view(buffer, read));
    }
}

// Opens an existing regular file for reading (and appending), never through a reparse point;
// what stands in the way is said in why.
HANDLE openRegular(const std::filesystem::path& file, DWORD access, SmallFileRead& why) {
    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        const DWORD error = ::GetLastError();
        why = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND
                  ? SmallFileRead::Missing
                  : SmallFileRead::Failed;
        return INVALID_HANDLE_VALUE;
    }
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
        why = SmallFileRead::Link;
        return INVALID_HANDLE_VALUE;
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        why = SmallFileRead::NotAFile;
        return INVALID_HANDLE_VALUE;
    }
    HANDLE handle = ::CreateFileW(file.c_str(), access, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        why = SmallFileRead::Failed;
        return handle;
    }
    if (::GetFileType(handle) != FILE_TYPE_DISK) {
        ::CloseHandle(handle);
        why = SmallFileRead::NotAFile;
        return INVALID_HANDLE_VALUE;
    }
    why = SmallFileRead::Read;
    return handle;
}

} // namespace

bool createFileExclusive(const std::filesystem::path& file, std::string_view bytes, bool flush) {
    // CREATE_NEW fails on any existing name, a link included.
    HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    bool ok = writeAll(handle, bytes);
    ok = ok && (!flush || ::FlushFileBuffers(handle));
    ::CloseHandle(handle);
    if (!ok) {
        ::DeleteFileW(file.c_str());
    }
    return ok;
}

bool appendToFile(const std::filesystem::path& file, std::size_t limit,
                  const std::function<std::string(std::string_view)>& what, bool flush) {
    SmallFileRead why = SmallFileRead::Read;
    HANDLE handle = openRegular(file, GENERIC_READ | FILE_APPEND_DATA, why);
    if (handle == INVALID_HANDLE_VALUE) {
        return false;
    }
    LARGE_INTEGER size{};
    std::string bytes;
    bool ok = ::GetFileSizeEx(handle, &size) &&
              static_cast<unsigned long long>(size.QuadPart) <= limit &&
              readAll(handle, [&](std::string_view piece) { bytes += piece; });
    if (ok) {
        const std::string more = what(bytes);
        ok = more.empty() || (writeAll(handle, more) && (!flush || ::FlushFileBuffers(handle)));
    }
    ::CloseHandle(handle);
    return ok;
}

bool flushFolder(const std::filesystem::path&) {
    return true;
}

SmallFileRead readSmallFile(const std::filesystem::path& file, std::size_t limit,
                            std::string& bytes) {
    SmallFileRead result = SmallFileRead::Read;
    HANDLE handle = openRegular(file, GENERIC_READ, result);
    if (handle == INVALID_HANDLE_VALUE) {
        return result;
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(handle, &size)) {
        result = SmallFileRead::Failed;
    } else if (static_cast<unsigned long long>(size.QuadPart) > limit) {
        result = SmallFileRead::TooLarge;
    } else {
        bytes.resize(static_cast<std::size_t>(size.QuadPart));
        DWORD read = 0;
        if (!bytes.empty() &&
            (!::ReadFile(handle, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
             read != bytes.size())) {
            result = SmallFileRead::Failed;
        }
    }
    ::CloseHandle(handle);
    return result;
}

SmallFileRead readFileInPieces(const std::filesystem::path& file,
                               const std::function<void(std::string_view)>& piece) {
    SmallFileRead result = SmallFileRead::Read;
    HANDLE handle = openRegular(file, GENERIC_READ, result);
    if (handle == INVALID_HANDLE_VALUE) {
        return result;
    }
    if (!readAll(handle, piece)) {
        result = SmallFileRead::Failed;
    }
    ::CloseHandle(handle);
    return result;
}

LockAttempt tryLockFolder(const std::filesystem::path& folder, LockHandle& handle) {
    const std::filesystem::path file =
        folder / std::filesystem::path(std::u8string(kLockFileName.begin(), kLockFileName.end()));
    HANDLE lock = ::CreateFileW(
        file.c_str(), GENERIC_READ | GENERIC_WRITE,
        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
        FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (lock == INVALID_HANDLE_VALUE) {
        // A lock file being deleted by its last holder refuses new opens for a moment.
        const DWORD error = ::GetLastError();
        return error == ERROR_ACCESS_DENIED || error == ERROR_SHARING_VIOLATION
                   ? LockAttempt::Busy
                   : LockAttempt::Failed;
    }
    OVERLAPPED whole = {};
    if (!::LockFileEx(lock, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, 1, 0, &whole)) {
        ::CloseHandle(lock);
        return LockAttempt::Busy;
    }
    handle = reinterpret_cast<LockHandle>(lock);
    return LockAttempt::Locked;
}

void unlockFolder(LockHandle handle) {
    if (handle != kNoLock) {
        ::CloseHandle(reinterpret_cast<HANDLE>(handle));
    }
}

#else

namespace {

bool writeAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Reads from the descriptor's position to the end; false when a read fails.
bool readAll(int fd, const std::function<void(std::string_view)>& piece) {
    char buffer[1 << 16];
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            return false;
        }
        if (n == 0) {
            return true;
        }
        piece(std::string_view(buffer, static_cast<std::size_t>(n)));
    }
}

// Opens an existing regular file, never through a link and never waiting on a FIFO or acting
// on a device; what stands in the way is said in why. size gets the file's size.
int openRegular(const std::filesystem::path& file, int flags, SmallFileRead& why,
                std::uint64_t& size) {
    struct stat before {};
    if (::lstat(file.c_str(), &before) != 0) {
        why = errno == ENOENT || errno == ENOTDIR ? SmallFileRead::Missing : SmallFileRead::Failed;
        return -1;
    }
    if (S_ISLNK(before.st_mode)) {
        why = SmallFileRead::Link;
        return -1;
    }
    if (!S_ISREG(before.st_mode)) {
        why = SmallFileRead::NotAFile;
        return -1;
    }
    // Whatever took the name since is not followed and not waited for.
    const int fd = ::open(file.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        why = errno == ELOOP ? SmallFileRead::Link : SmallFileRead::Failed;
        return -1;
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !S_ISREG(opened.st_mode)) {
        why = SmallFileRead::NotAFile;
        ::close(fd);
        return -1;
    }
    why = SmallFileRead::Read;
    size = static_cast<std::uint64_t>(opened.st_size);
    return fd;
}

} // namespace

bool createFileExclusive(const std::filesystem::path& file, std::string_view bytes, bool flush) {
    const int fd = ::open(file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0) {
        return false;
    }
    bool ok = writeAll(fd, bytes);
    ok = ok && (!flush || ::fsync(fd) == 0);
    ok = ::close(fd) == 0 && ok;
    if (!ok) {
        ::unlink(file.c_str());
    }
    return ok;
}

bool appendToFile(const std::filesystem::path& file, std::size_t limit,
                  const std::function<std::string(std::string_view)>& what, bool flush) {
    SmallFileRead why = SmallFileRead::Read;
    std::uint64_t size = 0;
    const int fd = openRegular(file, O_RDWR | O_APPEND, why, size);
    if (fd < 0) {
        return false;
    }
    std::string bytes;
    bool ok = size <= limit && readAll(fd, [&](std::string_view piece) { bytes += piece; });
    if (ok) {
        const std::string more = what(bytes);
        ok = more.empty() || (writeAll(fd, more) && (!flush || ::fsync(fd) == 0));
    }
    return ::close(fd) == 0 && ok;
}

bool flushFolder(const std::filesystem::path& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool ok = ::fsync(fd) == 0;
    return ::close(fd) == 0 && ok;
}

SmallFileRead readSmallFile(const std::filesystem::path& file, std::size_t limit,
                            std::string& bytes) {
    SmallFileRead result = SmallFileRead::Read;
    std::uint64_t size = 0;
    const int fd = openRegular(file, O_RDONLY, result, size);
    if (fd < 0) {
        return result;
    }
    if (size > limit) {
        result = SmallFileRead::TooLarge;
    } else {
        bytes.clear();
        bytes.reserve(static_cast<std::size_t>(size));
        // A file that shrank while it was read is read as far as it goes.
        readAll(fd, [&](std::string_view piece) {
            bytes.append(piece.substr(0, limit - std::min(limit, bytes.size())));
        });
    }
    ::close(fd);
    return result;
}

SmallFileRead readFileInPieces(const std::filesystem::path& file,
                               const std::function<void(std::string_view)>& piece) {
    SmallFileRead result = SmallFileRead::Read;
    std::uint64_t size = 0;
    const int fd = openRegular(file, O_RDONLY, result, size);
    if (fd < 0) {
        return result;
    }
    if (!readAll(fd, piece)) {
        result = SmallFileRead::Failed;
    }
    ::close(fd);
    return result;
}

LockAttempt tryLockFolder(const std::filesystem::path& folder, LockHandle& handle) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return LockAttempt::Failed;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const bool busy = errno == EWOULDBLOCK;
        ::close(fd);
        return busy ? LockAttempt::Busy : LockAttempt::Failed;
    }
    handle = fd;
    return LockAttempt::Locked;
}

void unlockFolder(LockHandle handle) {
    if (handle != kNoLock) {
        // Closing the only descriptor releases the lock.
        ::close(static_cast<int>(handle));
    }
}

#endif

std::string randomToken() {
    std::random_device device;
    const unsigned long long value = (static_cast<unsigned long long>(device()) << 32) ^
                                     static_cast<unsigned long long>(device());
    char buffer[16];
    char* end = numeric::toChars(buffer, buffer + sizeof buffer, value, 16).ptr;
    // Sixteen digits whatever the value, so that every name has the same length.
    std::string token(sizeof buffer - static_cast<std::size_t>(end - buffer), '0');
    token.append(buffer, end);
    return token;
}

} // namespace karumenio::transaction::platform
