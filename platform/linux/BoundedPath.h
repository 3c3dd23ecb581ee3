#pragma once
// Host paths that must not lead out of a folder. The emulated machine keeps its drives under its root, and
// a symbolic link planted there (a folder, a file, a backup name) must not make the installer write, create,
// delete, change the mode of or stamp anything elsewhere on the disk: every component is resolved below the
// boundary, and a link that leads out of it fails with EACCES, which the machine reports as Windows' 5.
//
// Resolution uses openat2 with RESOLVE_BENEATH, where links that stay inside are followed as usual. On a
// kernel without openat2 the path is walked one component at a time with O_NOFOLLOW, and there every link
// counts as leading out, since a walk cannot follow one without racing a rename.

#include <string>
#include <sys/stat.h>
#include <sys/types.h>

namespace vendora {

struct BoundedPath {
    std::string Base;      // the boundary, an absolute host folder
    std::string Relative;  // the path below it, '/'-separated; empty for Base itself
    bool Contained = true; // false: an ordinary host path (Z:), links followed as the host does

    std::string Full() const {
        return Relative.empty() ? Base : Base == "/" ? "/" + Relative : Base + "/" + Relative;
    }
};

// A file descriptor owned until destruction.
class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd();
    UniqueFd(UniqueFd&& other) noexcept : fd_(other.Release()) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept;
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    int Release() {
        const int fd = fd_;
        fd_ = -1;
        return fd;
    }

private:
    int fd_ = -1;
};

// open(2) of the path (O_CLOEXEC added); -1 with errno on failure, EACCES for a link leading out.
int OpenBounded(const BoundedPath& path, int flags, mode_t mode = 0);
// stat(2) following links that stay inside; false with errno.
bool StatBounded(const BoundedPath& path, struct stat& info);

// The folder holding the path's last component, opened as O_PATH, and that component's name, for the
// *at calls that act on a name itself (mkdirat, unlinkat, renameat). Invalid with errno on failure.
struct BoundedParent {
    UniqueFd Folder;
    std::string Leaf;
};
BoundedParent OpenBoundedParent(const BoundedPath& path);

// Tests run both resolutions on one kernel: false forces the O_NOFOLLOW walk.
void UseOpenat2ForResolution(bool use);

} // namespace vendora
