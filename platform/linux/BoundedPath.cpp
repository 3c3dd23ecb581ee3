#include "platform/linux/BoundedPath.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/syscall.h>
#include <unistd.h>
#include <vector>

namespace vendora {

namespace {

bool useOpenat2 = true;

std::vector<std::string> Components(const std::string& relative) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= relative.size()) {
        const std::size_t slash = std::min(relative.find('/', start), relative.size());
        if (slash > start)
            parts.push_back(relative.substr(start, slash - start));
        start = slash + 1;
    }
    return parts;
}

// -1 with ENOSYS when the kernel has no openat2.
int Openat2Beneath(int base, const std::string& relative, int flags, mode_t mode) {
    open_how how{};
    how.flags = static_cast<std::uint64_t>(flags | O_CLOEXEC);
    how.mode = (flags & (O_CREAT | O_TMPFILE)) != 0 ? mode : 0;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_MAGICLINKS;
    const char* name = relative.empty() ? "." : relative.c_str();
    for (int attempt = 0;; ++attempt) {
        const long fd = ::syscall(SYS_openat2, base, name, &how, sizeof how);
        if (fd >= 0)
            return static_cast<int>(fd);
        // EAGAIN: a rename elsewhere raced the resolution; the kernel asks for another try.
        if (errno != EAGAIN || attempt == 16) {
            if (errno == EXDEV)
                errno = EACCES;
            return -1;
        }
    }
}

bool IsLink(int folder, const std::string& name) {
    struct stat info {};
    return ::fstatat(folder, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(info.st_mode);
}

// One component at a time, refusing every link.
int WalkNoFollow(int base, const std::string& relative, int flags, mode_t mode) {
    const std::vector<std::string> parts = Components(relative);
    if (parts.empty())
        return ::openat(base, ".", flags | O_CLOEXEC, mode);
    UniqueFd folder(::fcntl(base, F_DUPFD_CLOEXEC, 0));
    if (!folder.Valid())
        return -1;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i) {
        if (parts[i] == "..") {
            errno = EACCES;
            return -1;
        }
        UniqueFd next(
            ::openat(folder.Get(), parts[i].c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
        if (!next.Valid()) {
            if ((errno == ENOTDIR || errno == ELOOP) && IsLink(folder.Get(), parts[i]))
                errno = EACCES;
            return -1;
        }
        folder = std::move(next);
    }
    const std::string& leaf = parts.back();
    if (leaf == "..") {
        errno = EACCES;
        return -1;
    }
    UniqueFd fd(::openat(folder.Get(), leaf.c_str(), flags | O_NOFOLLOW | O_CLOEXEC, mode));
    if (!fd.Valid()) {
        if ((errno == ELOOP || errno == ENOTDIR || errno == EEXIST) && IsLink(folder.Get(), leaf) &&
            !((flags & O_EXCL) != 0 && errno == EEXIST))
            errno = EACCES;
        return -1;
    }
    // O_PATH | O_NOFOLLOW opens a link itself instead of failing.
    struct stat info {};
    if (::fstat(fd.Get(), &info) == 0 && S_ISLNK(info.st_mode)) {
        errno = EACCES;
        return -1;
    }
    return fd.Release();
}

} // namespace

UniqueFd::~UniqueFd() {
    if (fd_ >= 0)
        ::close(fd_);
}

UniqueFd& UniqueFd::operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
        if (fd_ >= 0)
            ::close(fd_);
        fd_ = other.Release();
    }
    return *this;
}

void UseOpenat2ForResolution(bool use) {
    useOpenat2 = use;
}

int OpenBounded(const BoundedPath& path, int flags, mode_t mode) {
    if (!path.Contained)
        return ::open(path.Full().c_str(), flags | O_CLOEXEC, mode);
    UniqueFd base(::open(path.Base.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!base.Valid())
        return -1;
    if (useOpenat2) {
        const int fd = Openat2Beneath(base.Get(), path.Relative, flags, mode);
        if (fd >= 0 || errno != ENOSYS)
            return fd;
    }
    return WalkNoFollow(base.Get(), path.Relative, flags, mode);
}

bool StatBounded(const BoundedPath& path, struct stat& info) {
    if (!path.Contained)
        return ::stat(path.Full().c_str(), &info) == 0;
    UniqueFd fd(OpenBounded(path, O_PATH));
    return fd.Valid() && ::fstat(fd.Get(), &info) == 0;
}

BoundedParent OpenBoundedParent(const BoundedPath& path) {
    BoundedParent parent;
    const auto slash = path.Relative.find_last_of('/');
    BoundedPath folder = path;
    if (slash == std::string::npos) {
        folder.Relative.clear();
        parent.Leaf = path.Relative;
    } else {
        folder.Relative = path.Relative.substr(0, slash);
        parent.Leaf = path.Relative.substr(slash + 1);
    }
    if (parent.Leaf.empty() || parent.Leaf == "..") {
        errno = EACCES;
        return parent;
    }
    parent.Folder = UniqueFd(OpenBounded(folder, O_PATH | O_DIRECTORY));
    return parent;
}

} // namespace vendora
