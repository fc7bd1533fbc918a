#pragma once
// Files as the game names them: Windows-style relative paths with backslashes and any spelling of
// case ("BaseQ7\Sound\UP.wav"), resolved on a case-sensitive file system.
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "platform/result.h"

namespace zib {

// The folder that holds the running program.
std::string programFolder();

// Resolves path (backslashes or slashes, any case) under base, component by component: an exact
// match wins, else the first entry whose name matches ignoring ASCII case. Absolute paths resolve
// from "/". Returns the real path, or nullopt when some component does not exist.
std::optional<std::string> resolvePath(const std::string& base, const std::string& path);

// A file the game opens relative to the current directory: looked up there first, then in the
// folder that holds the data folder (dataRoot: beside the program, or the installed data).
// Returns the resolved real path, or nullopt.
std::optional<std::string> findDataFile(const std::string& path);

// Where a relative path would be written: its resolved place if it exists (current directory, then
// dataRoot), else under the current directory with the spelling given.
std::string placeForWriting(const std::string& path);

// The names in a folder, sub-folders included, plus "." and "..", in the order the system returns
// them. Empty when the folder cannot be read.
std::vector<std::string> listDirectory(const std::string& folder);

// Why a file was not read.
enum class FileRead {
    Ok,
    Missing,    // nothing of that name, or a folder on the way cannot be read
    NotAFile,   // a folder, a FIFO, a device: anything but a regular file (after links)
    TooLarge,   // more bytes than allowed
    Unreadable  // no permission, or reading failed
};

// Reads a regular file of at most largest bytes into out. The file is opened without waiting
// and checked before a byte is read, so that a FIFO or a device given as a level or a picture
// is refused instead of blocking the program until something writes to it, and an oversized
// file is refused without being read.
FileRead readRegularFile(const std::string& path, std::string& out, size_t largest);
constexpr size_t kAnyFileSize = static_cast<size_t>(-1) - 1;

// Reads what the user named on the command line, up to largest bytes: a regular file, or a pipe
// or a FIFO, which is read only as far as the limit and waited for as a command line expects.
// A folder is NotAFile.
FileRead readNamedInput(const std::string& path, std::string& out, size_t largest);

// The bytes of a regular file of any size, the path looked up as findDataFile does when it is not
// found as given.
Result<std::string> readWholeFile(const std::string& path);
// The older form of the same: false, and out untouched, on a failure. For the callers not yet
// moved to the form above; new code uses that one.
inline bool readWholeFile(const std::string& path, std::string& out) {
    Result<std::string> read = readWholeFile(path);
    if (read) out = std::move(*read);
    return read.ok();
}

// Replaces a file atomically: writes a temporary file in the same folder, then renames it over the
// target. False (and the old file untouched) when anything fails. A symbolic link is followed: the
// file it points to is replaced (or created) in its own folder and the link stays. The new file
// keeps the old one's permission bits plus read and write for the owner; a new file gets 0644
// without the umask.
bool writeFileAtomically(const std::string& path, const std::string& content);

}  // namespace zib
