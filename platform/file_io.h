// Reading whole small files (sysfs attributes, saved dumps) and writing a folder of saved
// data, the same calls on every system.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// The bytes of the regular file at `path` (UTF-8), at most `maxBytes` of them: a longer file
// yields its first maxBytes + 1 bytes, so the caller can tell that it was too long. nullopt
// when the file cannot be opened or read; then `*err` (if given) says why, with the path.
// Anything but a regular file (a folder, a device, a pipe, a socket) is refused at once,
// without waiting for it or reading from it.
[[nodiscard]] std::optional<std::vector<std::uint8_t>> ReadFileBytes(const std::string& path,
                                                                     std::size_t maxBytes,
                                                                     std::string* err = nullptr);

// As ReadFileBytes, for a file inside a folder of saved data: a link in the file's own place
// is refused, not followed, and where the process runs as root, a file that root does not
// own is refused too (another user could have planted it). The type is checked before the
// file is opened for reading, so no device or pipe is ever opened.
// A file named on the command line itself (kNamed) may be a link, followed once.
enum class SavedFile { kInFolder, kNamed };
[[nodiscard]] std::optional<std::vector<std::uint8_t>> ReadSavedFileBytes(
    const std::string& path, std::size_t maxBytes, std::string* err = nullptr,
    SavedFile where = SavedFile::kInFolder);

// What a folder entry is, seen through the entry itself (a link is kLink unless followed).
enum class EntryKind { kFile, kFolder, kLink, kOther };

// The entries of the folder at `path` (UTF-8), each with its kind as the opened entry tells
// it, not as the folder listing claims; links are followed when `followLinks`. nullopt when
// the folder cannot be listed, with `*err` (if given) saying why.
[[nodiscard]] std::optional<std::vector<std::pair<std::string, EntryKind>>> ListFolder(
    const std::string& path, bool followLinks, std::string* err = nullptr);

// Where the process runs as root for a user who asked through sudo, it takes on that user's
// rights for good (nothing is read live afterwards). True when nothing needed doing or it
// was done; false with `*err` when the user's rights could not be taken on.
[[nodiscard]] bool TakeOnInvokingUser(std::string* err);

// A new folder of saved data, filled and then put in place whole. It is made beside the
// target under a temporary name, only for the process's user, and every file and folder in
// it is created new relative to it, never by a path another user could redirect. Files are
// 0600 and folders 0700; under sudo they belong to the user who asked.
class ISaveFolder {
public:
    virtual ~ISaveFolder() = default;  // removes what was written unless Finish succeeded
    // `relative` names a folder or file below the new folder ("dmi", "power_supply/BAT0/type");
    // the folders above it must have been made already.
    [[nodiscard]] virtual bool MakeFolder(const std::string& relative, std::string* err) = 0;
    [[nodiscard]] virtual bool WriteFile(const std::string& relative,
                                         std::span<const std::uint8_t> bytes, std::string* err) = 0;
    // Renames the folder to the target's name (replacing an empty folder there).
    [[nodiscard]] virtual bool Finish(std::string* err) = 0;
};

// Begins a folder to be put at `target` (UTF-8; trailing separators allowed). nullptr with
// `*err` set when the target names no folder, or its parent cannot be opened as a folder,
// or users other than the caller and the administrator can rename entries in the parent.
[[nodiscard]] std::unique_ptr<ISaveFolder> BeginSaveFolder(const std::string& target,
                                                           std::string* err);

// Writes `bytes` as the whole of the file at `path` (UTF-8), or leaves that name as it was: the
// bytes go to a new file beside it (same folder, a name of its own, created exclusively, so
// nothing already there, a link included, is opened), are flushed to the disk, and the new
// file is then renamed over `path`, replacing a file there. A link at `path` is replaced, not
// followed. On Linux the file is 0600 and, under sudo, belongs to the user who ran it. False
// with `*err` (the path and the system's reason) when any step failed; the new file is then
// removed.
[[nodiscard]] bool ReplaceFileWhole(const std::string& path, std::span<const std::uint8_t> bytes,
                                    std::string* err);

}  // namespace platform
