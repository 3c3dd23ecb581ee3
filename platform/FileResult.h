#pragma once
// What every call of a file system answers: done (with a value where the call gives one), or the Windows
// error code (GetLastError) of why not. The code travels with the answer, never in a file system's state,
// so that no later call can overwrite it before the caller reads it.

#include "base/Text.h"

#include <cassert>
#include <optional>
#include <type_traits>
#include <utility>

namespace vendora {

// A failure: the Windows error code (platform/Platform.h, WinError). Converts to any FileResult.
struct FileError {
    int Code = 0;
};

template <typename T> class FileResult {
public:
    FileResult(T value) : value_(std::move(value)) {}
    FileResult(FileError error) : error_(error.Code) {}
    // A more particular answer passed on as it stands (a file of one kind as a file).
    template <typename U>
    requires std::is_convertible_v<U, T> FileResult(FileResult<U>&& other) : error_(other.Error()) {
        if (other)
            value_.emplace(std::move(*other));
    }

    explicit operator bool() const { return value_.has_value(); }
    // 0 once done.
    int Error() const { return error_; }

    T& operator*() {
        assert(value_);
        return *value_;
    }
    const T& operator*() const {
        assert(value_);
        return *value_;
    }
    T* operator->() { return &**this; }
    const T* operator->() const { return &**this; }
    // The value, or fallback when the call failed (a null handle, say, for a caller that only asks whether
    // it opened).
    T ValueOr(T fallback) && { return value_ ? std::move(*value_) : std::move(fallback); }

    // Done, with this value (as an optional compares).
    friend bool operator==(const FileResult& result, const T& value) { return result && *result == value; }

private:
    std::optional<T> value_;
    int error_ = 0;
};

// The answer of a call that gives nothing but done or not.
template <> class FileResult<void> {
public:
    FileResult() = default;
    FileResult(FileError error) : failed_(true), error_(error.Code) {}

    explicit operator bool() const { return !failed_; }
    int Error() const { return error_; }

private:
    bool failed_ = false;
    int error_ = 0;
};

using FileStatus = FileResult<void>;

// How a failed call reaches the user, as the runtime and its file streams raise it: the I/O error of the
// code ("Erreur E/S %d", "Disque plein"...), or a stream's "Impossible d'ouvrir le fichier" / "Impossible de
// créer le fichier" with the path and the system's reason.
enum class FileErrorAs { InOut, Open, Create };

// The one translation of a failed call into the error the user reads. A failure without a code (a file
// system that knows none) is raised as fallback's.
[[noreturn]] void RaiseFileError(int code, FileErrorAs as, const AnsiString& path = {}, int fallback = 0);

// The value of a call that must succeed; its failure is raised as RaiseFileError raises it.
template <typename T>
T OrRaise(FileResult<T>&& result, FileErrorAs as, const AnsiString& path = {}, int fallback = 0) {
    if (!result)
        RaiseFileError(result.Error(), as, path, fallback);
    return std::move(*result);
}
inline void OrRaise(FileStatus status, FileErrorAs as, const AnsiString& path = {}, int fallback = 0) {
    if (!status)
        RaiseFileError(status.Error(), as, path, fallback);
}

} // namespace vendora
