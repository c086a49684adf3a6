#include "tools/packager/stored_path.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "base/text.h"
#include "package/safe_name.h"
#include "tools/packager/bytes.h"
#include "tools/packager/gbk.h"

namespace setup::packager {

namespace {

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::nullopt_t Refuse(std::string* why, const std::string& reason) {
    if (why) *why = reason;
    return std::nullopt;
}

// Lexically below the folder: relative, and normalising it neither climbs out nor changes it.
bool StaysBelow(const std::vector<std::string>& components) {
    std::filesystem::path relative;
    for (const std::string& c : components) relative /= c;
    const std::filesystem::path normal = relative.lexically_normal();
    return relative.is_relative() && !relative.has_root_name() && normal == relative &&
           std::distance(normal.begin(), normal.end()) == static_cast<ptrdiff_t>(components.size());
}

class Fd {
public:
    explicit Fd(int fd) : fd_(fd) {}
    ~Fd() {
        if (fd_ >= 0) ::close(fd_);
    }
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    Fd(Fd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    Fd& operator=(Fd&& other) noexcept {
        std::swap(fd_, other.fd_);
        return *this;
    }
    int get() const { return fd_; }

private:
    int fd_;
};

PackError Failure(const std::filesystem::path& path, const std::string& what) {
    return PackError(Quoted(path.string()) + ": " + what);
}

}  // namespace

std::optional<std::vector<std::string>> MapStoredName(std::string_view gbk, std::string* why) {
    if (!IsSafeStoredName(gbk)) return Refuse(why, "not a safe name inside the target folder");
    std::vector<std::string> components;
    size_t start = 1;  // after the leading "\"
    for (size_t i = 1; i <= gbk.size(); ++i) {
        if (i < gbk.size() && IsGbkLeadByte(static_cast<uint8_t>(gbk[i]))) {
            ++i;  // a trail byte 0x5C is part of the character
            continue;
        }
        if (i < gbk.size() && gbk[i] != '\\') continue;
        const std::string_view part = gbk.substr(start, i - start);
        start = i + 1;
        const std::optional<std::string> utf8 = GbkToUtf8Exact(part);
        if (!utf8) return Refuse(why, "the part " + Quoted(GbkToUtf8(part)) + " is not GBK text");
        if (utf8->empty() || *utf8 == "." || *utf8 == ".." || utf8->find('/') != std::string::npos ||
            utf8->find('\0') != std::string::npos)
            return Refuse(why, "the part " + Quoted(GbkToUtf8(part)) + " is no file name on Linux");
        components.push_back(*utf8);
    }
    if (!StaysBelow(components)) return Refuse(why, "the path would not stay inside the target folder");
    return components;
}

void WriteBelow(const std::filesystem::path& dir, const std::vector<std::string>& components,
                std::span<const uint8_t> bytes) {
    if (components.empty() || !StaysBelow(components)) throw Failure(dir, "no path below it to write");
    // The target folder itself is the user's choice and may be a link; below it nothing is
    // followed: each level is opened relative to the one above with O_NOFOLLOW.
    Fd folder(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0) throw Failure(dir, std::string("cannot open the folder: ") + std::strerror(errno));
    std::filesystem::path at = dir;
    for (size_t i = 0; i + 1 < components.size(); ++i) {
        const std::string& name = components[i];
        at /= name;
        if (::mkdirat(folder.get(), name.c_str(), 0777) != 0 && errno != EEXIST)
            throw Failure(at, std::string("cannot create the folder: ") + std::strerror(errno));
        struct stat st;
        if (::fstatat(folder.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode))
            throw Failure(at, "is a symbolic link; extract writes through none");
        Fd next(::openat(folder.get(), name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (next.get() < 0) throw Failure(at, std::string("cannot open the folder: ") + std::strerror(errno));
        folder = std::move(next);
    }
    const std::string& name = components.back();
    at /= name;
    struct stat st;
    if (::fstatat(folder.get(), name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISLNK(st.st_mode)) throw Failure(at, "is a symbolic link; extract writes through none");
        if (S_ISDIR(st.st_mode)) throw Failure(at, "is a folder");
        // A new file rather than the old one truncated: the old one may be a hard link to a
        // file outside the folder.
        if (::unlinkat(folder.get(), name.c_str(), 0) != 0)
            throw Failure(at, std::string("cannot replace it: ") + std::strerror(errno));
    }
    Fd file(::openat(folder.get(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
    if (file.get() < 0) throw Failure(at, std::string("cannot create it: ") + std::strerror(errno));
    for (size_t done = 0; done < bytes.size();) {
        const ssize_t n = ::write(file.get(), bytes.data() + done, std::min<size_t>(bytes.size() - done, 1 << 24));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) throw Failure(at, std::string("cannot write: ") + std::strerror(errno));
        done += static_cast<size_t>(n);
    }
}

}  // namespace setup::packager
