// The folder --save writes, on Windows: a new folder beside the target, every entry in it
// created new (CREATE_NEW, no reparse point followed), the finished folder renamed into place;
// and a file saved whole the same way: written beside its name, then moved over it.
#include <windows.h>

#include <algorithm>
#include <random>
#include <span>
#include <utility>
#include <vector>

#include "platform/file_io.h"
#include "platform/windows/file_io_win32.h"
#include "text/wide_text.h"

namespace platform {
namespace {

using namespace file_io;

bool PlainName(const std::wstring& name) {
    return !name.empty() && name != L"." && name != L".." &&
           name.find_first_of(L"\\/:") == std::wstring::npos;
}

// Writes all of `bytes` to `file`: ERROR_SUCCESS, or the code of the write that failed.
DWORD WriteAll(HANDLE file, std::span<const std::uint8_t> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1u << 20));
        DWORD wrote = 0;
        if (!::WriteFile(file, bytes.data() + done, want, &wrote, nullptr)) return GetLastError();
        if (wrote == 0) return ERROR_WRITE_FAULT;
        done += wrote;
    }
    return ERROR_SUCCESS;
}

// `target` split into the folder it is in (".", "C:.", "C:\" or a folder's path without its
// trailing separator) and its own name. False when it names no entry.
bool SplitTarget(const std::string& target, std::wstring* parent, std::wstring* leaf) {
    std::wstring path;
    if (target.empty() || !Utf8ToWide(target, path) || IsDevicePath(path)) return false;
    while (path.size() > 1 && IsSeparator(path.back())) path.pop_back();
    std::size_t cut = path.size();
    while (cut > 0 && !IsSeparator(path[cut - 1]) && path[cut - 1] != L':') --cut;
    *leaf = path.substr(cut);
    *parent = path.substr(0, cut);
    if (parent->empty()) *parent = L".";
    // "C:\x" keeps its root; "C:x" is in the drive's current folder.
    if (parent->back() == L':') *parent += L'.';
    while (parent->size() > 1 && IsSeparator(parent->back()) &&
           (*parent)[parent->size() - 2] != L':')
        parent->pop_back();
    return PlainName(*leaf);
}

class CWindowsSaveFolder final : public ISaveFolder {
public:
    CWindowsSaveFolder(std::string target, std::wstring parent, std::wstring leaf)
        : m_strTarget(std::move(target)), m_parent(std::move(parent)), m_leaf(std::move(leaf)) {}

    ~CWindowsSaveFolder() override {
        if (m_bFinished || m_temp.empty()) return;
        for (auto it = m_created.rbegin(); it != m_created.rend(); ++it) {
            const std::wstring path = m_temp + L"\\" + it->first;
            if (it->second)
                RemoveDirectoryW(path.c_str());
            else
                DeleteFileW(path.c_str());
        }
        RemoveDirectoryW(m_temp.c_str());
    }

    bool Start(std::string* err) {
        std::random_device random;
        DWORD code = ERROR_ALREADY_EXISTS;
        for (int attempt = 0; attempt < 8 && code == ERROR_ALREADY_EXISTS; ++attempt) {
            const std::wstring name =
                m_parent + L"\\." + m_leaf + L".partial-" + std::to_wstring(random());
            if (CreateDirectoryW(name.c_str(), nullptr)) {
                m_temp = name;
                return true;
            }
            code = GetLastError();
        }
        *err = ErrorText(m_strTarget + ": no temporary folder beside it", code);
        return false;
    }

    bool MakeFolder(const std::string& relative, std::string* err) override {
        std::wstring path;
        if (!Below(relative, &path, err)) return false;
        if (!CreateDirectoryW(path.c_str(), nullptr)) return Fail(relative, GetLastError(), err);
        m_created.emplace_back(Relative(relative), true);
        return true;
    }

    bool WriteFile(const std::string& relative, std::span<const std::uint8_t> bytes,
                   std::string* err) override {
        std::wstring path;
        if (!Below(relative, &path, err)) return false;
        const HANDLE file =
            CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                        FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (file == INVALID_HANDLE_VALUE) return Fail(relative, GetLastError(), err);
        m_created.emplace_back(Relative(relative), false);
        DWORD code = WriteAll(file, bytes);
        if (!CloseHandle(file) && code == ERROR_SUCCESS) code = GetLastError();
        if (code != ERROR_SUCCESS) return Fail(relative, code, err);
        return true;
    }

    bool Finish(std::string* err) override {
        const std::wstring target = m_parent + L"\\" + m_leaf;
        // An empty folder at the target is taken (RemoveDirectoryW refuses any other); a
        // link or junction there is refused rather than followed.
        const DWORD attributes = GetFileAttributesW(target.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES) {
            if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
                !(attributes & FILE_ATTRIBUTE_DIRECTORY) || !RemoveDirectoryW(target.c_str())) {
                *err = m_strTarget + ": exists and is not an empty folder";
                return false;
            }
        }
        if (!MoveFileExW(m_temp.c_str(), target.c_str(), 0)) {
            *err = ErrorText(m_strTarget, GetLastError());
            return false;
        }
        m_bFinished = true;
        return true;
    }

private:
    static std::wstring Relative(const std::string& relative) {
        std::wstring wide;
        Utf8ToWide(relative, wide);
        for (wchar_t& c : wide) {
            if (c == L'/') c = L'\\';
        }
        return wide;
    }

    // The full path of `relative` below the temporary folder; each part a plain name.
    bool Below(const std::string& relative, std::wstring* path, std::string* err) const {
        std::wstring wide;
        if (!Utf8ToWide(relative, wide)) return Fail(relative, ERROR_INVALID_NAME, err);
        *path = m_temp;
        std::size_t start = 0;
        while (start <= wide.size()) {
            const std::size_t end = std::min(wide.find(L'/', start), wide.size());
            const std::wstring part = wide.substr(start, end - start);
            if (!PlainName(part)) return Fail(relative, ERROR_INVALID_NAME, err);
            *path += L"\\" + part;
            start = end + 1;
        }
        return true;
    }

    bool Fail(const std::string& relative, DWORD code, std::string* err) const {
        *err = ErrorText(m_strTarget + "/" + relative, code);
        return false;
    }

    std::string m_strTarget;
    std::wstring m_parent;
    std::wstring m_leaf;
    std::wstring m_temp;
    std::vector<std::pair<std::wstring, bool>> m_created;  // below m_temp, is a folder
    bool m_bFinished = false;
};

}  // namespace

std::unique_ptr<ISaveFolder> BeginSaveFolder(const std::string& target, std::string* err) {
    std::wstring parent;
    std::wstring leaf;
    if (!SplitTarget(target, &parent, &leaf)) {
        *err = target + ": names no folder to make";
        return nullptr;
    }
    // The folder it goes in must be a folder of its own, not a link or junction elsewhere.
    const DWORD attributes = GetFileAttributesW(parent.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        *err = ErrorText(text::WideToUtf8(parent), GetLastError());
        return nullptr;
    }
    if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || (attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        *err = text::WideToUtf8(parent) + ": is a link or no folder; save elsewhere";
        return nullptr;
    }
    if (!parent.empty() && IsSeparator(parent.back())) parent.pop_back();
    auto folder = std::make_unique<CWindowsSaveFolder>(target, parent, leaf);
    if (!folder->Start(err)) return nullptr;
    return folder;
}

bool ReplaceFileWhole(const std::string& path, std::span<const std::uint8_t> bytes,
                      std::string* err) {
    std::wstring parent;
    std::wstring leaf;
    // A trailing separator names a folder.
    if (path.ends_with('/') || path.ends_with('\\') || !SplitTarget(path, &parent, &leaf)) {
        *err = path + ": names no file";
        return false;
    }
    if (IsSeparator(parent.back())) parent.pop_back();
    // A name of our own beside the target: CREATE_NEW opens nothing that is already there, a
    // link planted at the name included.
    std::random_device random;
    std::wstring temp;
    HANDLE file = INVALID_HANDLE_VALUE;
    DWORD code = ERROR_ALREADY_EXISTS;
    for (int attempt = 0; attempt < 8 && code == ERROR_ALREADY_EXISTS; ++attempt) {
        temp = parent + L"\\.quorrix-" + std::to_wstring(random()) + L".partial";
        file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        code = file == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_SUCCESS;
    }
    if (file == INVALID_HANDLE_VALUE) {
        *err = ErrorText(path + ": no new file beside it", code);
        return false;
    }
    code = WriteAll(file, bytes);
    if (code == ERROR_SUCCESS && !FlushFileBuffers(file)) code = GetLastError();
    if (!CloseHandle(file) && code == ERROR_SUCCESS) code = GetLastError();
    const std::wstring target = parent + L"\\" + leaf;
    if (code == ERROR_SUCCESS && !MoveFileExW(temp.c_str(), target.c_str(),
                                              MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        code = GetLastError();
    if (code != ERROR_SUCCESS) {
        DeleteFileW(temp.c_str());
        *err = ErrorText(path, code);
        return false;
    }
    return true;
}

}  // namespace platform
