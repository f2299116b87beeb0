#include "platform/windows/file_io_win32.h"
#include "platform/file_io.h"
#include "text/wide_text.h"

#include <windows.h>

#include <algorithm>
#include <limits>
#include <utility>

namespace platform {
namespace {

// Closes the handle when it goes out of scope.
class CFileHandle {
public:
    explicit CFileHandle(HANDLE h) : m_hFile(h) {}
    ~CFileHandle() {
        if (Valid()) CloseHandle(m_hFile);
    }
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;

    bool Valid() const { return m_hFile != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_hFile; }

private:
    HANDLE m_hFile;
};

}  // namespace

namespace file_io {

// "context: the system's text for `code` (error N)", in English where the system has it.
std::string ErrorText(const std::string& context, DWORD code) {
    wchar_t* message = nullptr;
    const DWORD flags =
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
    DWORD length = 0;
    const DWORD kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
    for (const DWORD language : {kEnglish, DWORD{0}}) {
        length = FormatMessageW(flags, nullptr, code, language,
                                reinterpret_cast<wchar_t*>(&message), 0, nullptr);
        if (length > 0) break;
    }
    std::string text;
    if (length > 0 && message != nullptr) {
        text = ::text::WideToUtf8(std::wstring_view(message, length));
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ' ||
                                 text.back() == '.'))
            text.pop_back();
    }
    if (message != nullptr) LocalFree(message);
    if (text.empty()) text = "system error";
    return context + ": " + text + " (error " + std::to_string(code) + ")";
}

// `utf8` as UTF-16; false when it is not UTF-8.
bool Utf8ToWide(const std::string& utf8, std::wstring& wide) {
    auto converted = text::CodePageToWide(utf8, CP_UTF8, true);
    if (!converted || converted->empty()) return false;
    wide = std::move(*converted);
    return true;
}

bool IsSeparator(wchar_t c) {
    return c == L'\\' || c == L'/';
}

bool IsDevicePath(const std::wstring& path) {
    // \\.\PhysicalDrive0 and \\.\pipe\name name devices, not files, and so may
    // \\?\ paths (\\?\GLOBALROOT\Device\..., \\?\Volume{...}): a disk there would even pass
    // for a file. Saved data is named by ordinary paths.
    return path.size() >= 4 && IsSeparator(path[0]) && IsSeparator(path[1]) &&
           (path[2] == L'.' || path[2] == L'?') && IsSeparator(path[3]);
}

}  // namespace file_io

using namespace file_io;

namespace {

std::optional<std::vector<std::uint8_t>> ReadRegularFile(const std::string& path,
                                                         std::size_t maxBytes, bool followLink,
                                                         std::string* err) {
    auto fail = [&](const std::string& why) -> std::optional<std::vector<std::uint8_t>> {
        if (err) *err = why;
        return std::nullopt;
    };
    std::wstring widePath;
    if (path.empty() || !Utf8ToWide(path, widePath))
        return fail(path + ": no file name (empty, or not UTF-8)");

    if (IsDevicePath(widePath)) return fail(path + ": is a device, not a file");

    // FILE_FLAG_BACKUP_SEMANTICS lets a folder open too, so that it is refused by name below
    // rather than as "access denied".
    CFileHandle file(CreateFileW(
        widePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING,
        FILE_FLAG_BACKUP_SEMANTICS | (followLink ? 0 : FILE_FLAG_OPEN_REPARSE_POINT), nullptr));
    if (!file.Valid()) return fail(ErrorText(path, GetLastError()));
    // Devices (NUL, CON, COM1) and pipes are refused before a byte is read: reading them
    // could wait for ever.
    const DWORD type = GetFileType(file.Get());
    if (type == FILE_TYPE_CHAR) return fail(path + ": is a device, not a file");
    if (type == FILE_TYPE_PIPE) return fail(path + ": is a pipe, not a file");
    if (type != FILE_TYPE_DISK) return fail(path + ": is no regular file");
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(file.Get(), &info))
        return fail(ErrorText(path, GetLastError()));
    if (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        return fail(path + ": is a folder, not a file");
    if (!followLink && (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return fail(path + ": is a link, not a file");

    std::vector<std::uint8_t> bytes;
    // One byte more tells the caller "too long" (none more when no limit is meant).
    const std::size_t limit =
        maxBytes == std::numeric_limits<std::size_t>::max() ? maxBytes : maxBytes + 1;
    std::uint8_t chunk[4096];
    while (bytes.size() < limit) {
        const DWORD want = static_cast<DWORD>(std::min(sizeof chunk, limit - bytes.size()));
        DWORD got = 0;
        if (!ReadFile(file.Get(), chunk, want, &got, nullptr))
            return fail(ErrorText(path, GetLastError()));
        if (got == 0) break;
        bytes.insert(bytes.end(), chunk, chunk + got);
    }
    return bytes;
}

}  // namespace

std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path,
                                                       std::size_t maxBytes, std::string* err) {
    return ReadRegularFile(path, maxBytes, true, err);
}

std::optional<std::vector<std::uint8_t>> ReadSavedFileBytes(const std::string& path,
                                                            std::size_t maxBytes, std::string* err,
                                                            SavedFile where) {
    return ReadRegularFile(path, maxBytes, where == SavedFile::kNamed, err);
}

std::optional<std::vector<std::pair<std::string, EntryKind>>> ListFolder(const std::string& path,
                                                                         bool followLinks,
                                                                         std::string* err) {
    std::wstring pattern;
    if (path.empty() || !Utf8ToWide(path + "\\*", pattern) || IsDevicePath(pattern)) {
        if (err) *err = path + ": no folder name";
        return std::nullopt;
    }
    WIN32_FIND_DATAW found{};
    const HANDLE find = FindFirstFileW(pattern.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) {
        if (err) *err = ErrorText(path, GetLastError());
        return std::nullopt;
    }
    std::vector<std::pair<std::string, EntryKind>> entries;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        DWORD attributes = found.dwFileAttributes;
        EntryKind kind = EntryKind::kOther;
        if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) && followLinks) {
            std::wstring whole;
            Utf8ToWide(path + "\\", whole);
            attributes = GetFileAttributesW((whole + name).c_str());
        }
        if (attributes == INVALID_FILE_ATTRIBUTES) {
            kind = EntryKind::kOther;
        } else if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            kind = followLinks ? EntryKind::kOther : EntryKind::kLink;
        } else if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            kind = EntryKind::kFolder;
        } else if (!(attributes & FILE_ATTRIBUTE_DEVICE)) {
            kind = EntryKind::kFile;
        }
        entries.emplace_back(text::WideToUtf8(name), kind);
    } while (FindNextFileW(find, &found));
    FindClose(find);
    return entries;
}

bool TakeOnInvokingUser(std::string* /*err*/) {
    // An elevated process on Windows runs for the same account that asked: nothing to give up.
    return true;
}

}  // namespace platform
