// Files named the way the game names them: backslashes, any case, relative to the current
// directory or to the folder that holds the data folder (dataRoot).
#include "platform/files.h"

#include <dirent.h>
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/data_folder.h"
#include "platform/texts.h"

namespace zib {

namespace {

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

bool exists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0;
}

bool equalIgnoringCase(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i]; ++i) {
        unsigned char x = static_cast<unsigned char>(a[i]);
        unsigned char y = static_cast<unsigned char>(b[i]);
        if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x + 32);
        if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y + 32);
        if (x != y) return false;
    }
    return i == a.size() && !b[i];
}

std::string join(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    if (folder.back() == '/') return folder + name;
    return folder + "/" + name;
}

bool isAbsolute(const std::string& path) {
    return !path.empty() && isSeparator(path[0]);
}

std::string withSlashes(std::string path) {
    for (char& c : path)
        if (c == '\\') c = '/';
    return path;
}

// The folder part ("" for none) and the last component of a path.
void splitLast(const std::string& path, std::string& folder, std::string& name) {
    size_t cut = path.find_last_of("/\\");
    if (cut == std::string::npos) {
        folder.clear();
        name = path;
    } else {
        folder = path.substr(0, cut == 0 ? 1 : cut);
        name = path.substr(cut + 1);
    }
}

// The file a chain of symbolic links ends at (the path itself when it is no link), which need
// not exist yet. Empty for a chain that loops or cannot be read.
std::string followLinks(std::string path) {
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        char buffer[PATH_MAX];
        ssize_t n = ::readlink(path.c_str(), buffer, sizeof buffer - 1);
        if (n <= 0) return {};
        std::string target(buffer, static_cast<size_t>(n));
        std::string folder, name;
        splitLast(path, folder, name);
        path = isAbsolute(target) || folder.empty() ? target : join(folder, target);
    }
    return {};
}

// The permission bits of a replacement: the old file's, with read and write for its owner added
// (an unreadable file must not make its successor unreadable); for a new file those of any file
// the program creates, 0644 without the umask.
mode_t replacementMode(const std::string& target) {
    struct stat old;
    if (::stat(target.c_str(), &old) == 0) return (old.st_mode & 07777) | S_IRUSR | S_IWUSR;
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0644 & ~mask;
}

}  // namespace

std::string programFolder() {
    // The program does not move while it runs: the link is read once.
    static const std::string folder = [] {
        char buffer[PATH_MAX];
        ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
        if (n <= 0) return std::string(".");
        std::string exe(buffer, static_cast<size_t>(n));
        size_t cut = exe.find_last_of('/');
        return cut == 0 ? std::string("/") : exe.substr(0, cut);
    }();
    return folder;
}

std::optional<std::string> resolvePath(const std::string& base, const std::string& path) {
    // Relative paths under an empty base resolve from the current directory and stay relative.
    std::string result = isAbsolute(path) ? "/" : base;
    size_t i = 0;
    while (i < path.size()) {
        while (i < path.size() && isSeparator(path[i])) ++i;
        size_t end = i;
        while (end < path.size() && !isSeparator(path[end])) ++end;
        if (end == i) break;
        std::string part = path.substr(i, end - i);
        i = end;
        std::string exact = join(result, part);
        if (part == "." || part == ".." || exists(exact)) {
            result = exact;
            continue;
        }
        DIR* dir = ::opendir(result.empty() ? "." : result.c_str());
        if (!dir) return std::nullopt;
        std::optional<std::string> match;
        while (dirent* entry = ::readdir(dir)) {
            if (equalIgnoringCase(part, entry->d_name)) {
                match = entry->d_name;
                break;
            }
        }
        ::closedir(dir);
        if (!match) return std::nullopt;
        result = join(result, *match);
    }
    if (result.empty()) result = ".";
    return result;
}

std::optional<std::string> findDataFile(const std::string& path) {
    if (path.empty()) return std::nullopt;
    if (isAbsolute(path)) return resolvePath("", path);
    if (auto here = resolvePath("", path)) return here;
    return resolvePath(dataRoot(), path);
}

std::string placeForWriting(const std::string& path) {
    if (auto found = findDataFile(path)) return *found;
    std::string folder, name;
    splitLast(path, folder, name);
    if (folder.empty()) return name;
    if (auto where = resolvePath("", folder)) return join(*where, name);
    return withSlashes(path);
}

std::vector<std::string> listDirectory(const std::string& folder) {
    std::vector<std::string> names;
    auto where = resolvePath("", folder.empty() ? "." : folder);
    if (!where) return names;
    DIR* dir = ::opendir(where->c_str());
    if (!dir) return names;
    bool dot = false, dotDot = false;
    while (dirent* entry = ::readdir(dir)) {
        std::string name = entry->d_name;
        dot = dot || name == ".";
        dotDot = dotDot || name == "..";
        names.push_back(std::move(name));
    }
    ::closedir(dir);
    // Some file systems leave the two out; the listing always has them, first.
    if (!dotDot) names.insert(names.begin(), "..");
    if (!dot) names.insert(names.begin(), ".");
    return names;
}

namespace {

FileRead faultOfOpen(int error) {
    switch (error) {
        case ENOENT:
        case ENOTDIR:
        case ELOOP:
        case ENAMETOOLONG:
            return FileRead::Missing;
        case ENXIO:  // a FIFO opened for writing only, a socket
        case EISDIR:
            return FileRead::NotAFile;
        default:
            return FileRead::Unreadable;
    }
}

// Reads fd to its end, but never more than largest + 1 bytes: one byte more tells that the file
// is too large.
FileRead readAll(int fd, std::string& out, size_t largest) {
    out.clear();
    char buffer[65536];
    for (;;) {
        const size_t room = largest - std::min(largest, out.size()) + 1;
        const ssize_t n = ::read(fd, buffer, std::min(sizeof buffer, room));
        if (n < 0 && errno == EINTR) return FileRead::Unreadable;  // a stop signal: give up
        if (n < 0) return errno == EISDIR ? FileRead::NotAFile : FileRead::Unreadable;
        if (n == 0) return FileRead::Ok;
        out.append(buffer, static_cast<size_t>(n));
        if (out.size() > largest) {
            out.clear();
            return FileRead::TooLarge;
        }
    }
}

class OpenFile {
  public:
    explicit OpenFile(int fd) : fd_(fd) {}
    ~OpenFile() {
        if (fd_ >= 0) ::close(fd_);
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    int fd() const { return fd_; }

  private:
    int fd_;
};

}  // namespace

FileRead readRegularFile(const std::string& path, std::string& out, size_t largest) {
    // O_NONBLOCK: opening a FIFO for reading would wait for a writer.
    OpenFile file(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (file.fd() < 0) return faultOfOpen(errno);
    struct stat st {};
    if (::fstat(file.fd(), &st) != 0) return FileRead::Unreadable;
    if (!S_ISREG(st.st_mode)) return FileRead::NotAFile;
    if (static_cast<unsigned long long>(st.st_size) > largest) return FileRead::TooLarge;
    // A regular file never blocks; reading it as it is (it may grow meanwhile) stays within the
    // limit all the same.
    return readAll(file.fd(), out, largest);
}

FileRead readNamedInput(const std::string& path, std::string& out, size_t largest) {
    OpenFile file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
    if (file.fd() < 0) return faultOfOpen(errno);
    struct stat st {};
    if (::fstat(file.fd(), &st) != 0) return FileRead::Unreadable;
    if (S_ISDIR(st.st_mode)) return FileRead::NotAFile;
    if (S_ISREG(st.st_mode) && static_cast<unsigned long long>(st.st_size) > largest)
        return FileRead::TooLarge;
    return readAll(file.fd(), out, largest);
}

Result<std::string> readWholeFile(const std::string& path) {
    std::string text;
    FileRead read = readRegularFile(path, text, kAnyFileSize);
    if (read == FileRead::Missing) {
        if (auto found = findDataFile(path)) read = readRegularFile(*found, text, kAnyFileSize);
    }
    if (read != FileRead::Ok) return Failure{format(tr("Soubor „{}“ nelze přečíst."), path)};
    return text;
}

bool writeFileAtomically(const std::string& path, const std::string& content) {
    // Through a symbolic link the file it points to is replaced, and the link stays.
    std::string target = followLinks(withSlashes(path));
    std::string folder, name;
    splitLast(target, folder, name);
    if (name.empty()) return false;
    std::string temp = join(folder, "." + name + ".XXXXXX");
    int fd = ::mkstemp(temp.data());
    if (fd < 0) return false;
    ::fchmod(fd, replacementMode(target));
    bool ok = true;
    size_t done = 0;
    while (ok && done < content.size()) {
        ssize_t n = ::write(fd, content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) done += static_cast<size_t>(n);
    }
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temp.c_str(), target.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

}  // namespace zib
