#include "process.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <algorithm>
#include <cwctype>
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace karumenio::test {

#ifdef _WIN32

namespace {

std::wstring widen(const std::string& utf8) {
    if (utf8.empty()) {
        return {};
    }
    const int size =
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(size), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(),
                          size);
    return wide;
}

// Quotes one argument so that the C runtime's parsing (and CommandLineToArgvW's) gives it back
// unchanged: backslashes count only when they stand before a quote.
void appendQuoted(std::wstring& line, const std::wstring& argument) {
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
        line += argument;
        return;
    }
    line += L'"';
    std::size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') {
            line.append(2 * backslashes + 1, L'\\');
        } else {
            line.append(backslashes, L'\\');
        }
        backslashes = 0;
        line += c;
    }
    // The closing quote must not be escaped by a trailing backslash.
    line.append(2 * backslashes, L'\\');
    line += L'"';
}

std::wstring upper(std::wstring_view text) {
    std::wstring result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](wchar_t c) { return static_cast<wchar_t>(std::towupper(c)); });
    return result;
}

std::wstring nameOf(std::wstring_view entry) {
    // Entries such as "=C:=C:\dir" start with the equals sign their name holds.
    return upper(entry.substr(0, entry.find(L'=', 1)));
}

// This process's environment with the changes, as the block CreateProcessW takes: entries
// sorted by name without regard to case, each ended by a zero, and one more zero at the end.
std::wstring environmentBlock(const std::vector<std::pair<std::string, std::string>>& changes) {
    std::vector<std::wstring> entries;
    if (wchar_t* strings = ::GetEnvironmentStringsW()) {
        for (const wchar_t* entry = strings; *entry != L'\0'; entry += wcslen(entry) + 1) {
            entries.emplace_back(entry);
        }
        ::FreeEnvironmentStringsW(strings);
    }
    for (const auto& [name, value] : changes) {
        const std::wstring key = upper(widen(name));
        std::erase_if(entries, [&](const std::wstring& entry) { return nameOf(entry) == key; });
        entries.push_back(widen(name) + L'=' + widen(value));
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const auto& a, const auto& b) { return nameOf(a) < nameOf(b); });
    std::wstring block;
    for (const auto& entry : entries) {
        block += entry;
        block += L'\0';
    }
    block += L'\0';
    return block;
}

HANDLE openInheritable(const wchar_t* path, DWORD access, DWORD disposition) {
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, nullptr, TRUE};
    return ::CreateFileW(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, disposition,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

int runProcess(const Process& process) {
    const std::filesystem::path program = std::filesystem::absolute(process.program);
    std::wstring line = L'"' + program.wstring() + L'"';
    for (const auto& argument : process.arguments) {
        line += L' ';
        appendQuoted(line, widen(argument));
    }
    std::wstring environment = environmentBlock(process.environment);

    HANDLE input = openInheritable(L"NUL", GENERIC_READ, OPEN_EXISTING);
    HANDLE output = openInheritable(process.stdoutFile.c_str(), GENERIC_WRITE, CREATE_ALWAYS);
    HANDLE error = openInheritable(process.stderrFile.c_str(), GENERIC_WRITE, CREATE_ALWAYS);
    int status = -1;
    if (input != INVALID_HANDLE_VALUE && output != INVALID_HANDLE_VALUE &&
        error != INVALID_HANDLE_VALUE) {
        STARTUPINFOW startup = {};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = input;
        startup.hStdOutput = output;
        startup.hStdError = error;
        PROCESS_INFORMATION started = {};
        const std::wstring folder = process.workingFolder.wstring();
        // No console of its own: the helper process that would serve it can keep the output
        // files open for a moment after the program has ended.
        if (::CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE,
                             CREATE_UNICODE_ENVIRONMENT | DETACHED_PROCESS, environment.data(),
                             folder.empty() ? nullptr : folder.c_str(), &startup, &started)) {
            ::WaitForSingleObject(started.hProcess, INFINITE);
            DWORD code = 0;
            if (::GetExitCodeProcess(started.hProcess, &code)) {
                status = static_cast<int>(code);
            }
            ::CloseHandle(started.hThread);
            ::CloseHandle(started.hProcess);
        }
    }
    for (HANDLE handle : {input, output, error}) {
        if (handle != INVALID_HANDLE_VALUE) {
            ::CloseHandle(handle);
        }
    }
    return status;
}

#else

namespace {

bool sameName(const char* entry, const std::string& name) {
    return std::string_view(entry).starts_with(name + '=');
}

} // namespace

int runProcess(const Process& process) {
    // Everything the child needs is made before fork: after it, only exec-safe calls.
    const std::string program = std::filesystem::absolute(process.program).string();
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& argument : process.arguments) {
        argv.push_back(const_cast<char*>(argument.c_str()));
    }
    argv.push_back(nullptr);

    std::vector<std::string> added;
    for (const auto& [name, value] : process.environment) {
        added.push_back(name + '=' + value);
    }
    std::vector<char*> envp;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        bool replaced = false;
        for (const auto& [name, value] : process.environment) {
            replaced = replaced || sameName(*entry, name);
        }
        if (!replaced) {
            envp.push_back(*entry);
        }
    }
    for (auto& entry : added) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);
    const std::string folder = process.workingFolder.string();

    const int input = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    const int output =
        ::open(process.stdoutFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    const int error =
        ::open(process.stderrFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    // A child that cannot start says so through this pipe, which a successful exec closes.
    int failure[2] = {-1, -1};
    pid_t child = -1;
    if (input >= 0 && output >= 0 && error >= 0 && ::pipe(failure) == 0 &&
        ::fcntl(failure[0], F_SETFD, FD_CLOEXEC) == 0 &&
        ::fcntl(failure[1], F_SETFD, FD_CLOEXEC) == 0) {
        child = ::fork();
        if (child == 0) {
            // dup2 clears close-on-exec on the copies, so only these three are passed on.
            if (::dup2(input, 0) >= 0 && ::dup2(output, 1) >= 0 && ::dup2(error, 2) >= 0 &&
                (folder.empty() || ::chdir(folder.c_str()) == 0)) {
                ::execve(argv[0], argv.data(), envp.data());
            }
            const char failed = 1;
            [[maybe_unused]] const auto ignored = ::write(failure[1], &failed, 1);
            ::_exit(127);
        }
    }
    for (const int fd : {input, output, error, failure[1]}) {
        if (fd >= 0) {
            ::close(fd);
        }
    }
    bool started = child > 0;
    if (failure[0] >= 0) {
        char failed = 0;
        ssize_t got = 0;
        while ((got = ::read(failure[0], &failed, 1)) < 0 && errno == EINTR) {
        }
        started = started && got == 0;
        ::close(failure[0]);
    }
    if (child <= 0) {
        return -1;
    }
    int raw = 0;
    while (::waitpid(child, &raw, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    return started && WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

#endif

} // namespace karumenio::test
