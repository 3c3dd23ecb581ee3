#pragma once
// A Windows disk held in memory, for the tests, benchmarks and fuzz targets: drives, folders and files
// with their three times, compared without regard to letter case as Windows does (FoldCase), relative names
// taken from the current folder, and errors with their Windows codes. A test can make a call fail where the
// real disk would (a file held open by another program, a full disk, a copy or move refused) and read
// back what was opened, in order.

#include "base/Text.h"
#include "platform/Platform.h"
#include "platform/WindowsRules.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vendora::test {

class MemoryFileSystem : public FileSystem {
public:
    using Bytes = std::vector<std::uint8_t>;

    struct Times {
        FileTime Creation, LastAccess, LastWrite;
    };
    struct Open {
        AnsiString Path; // as the caller gave it
        std::uint32_t Access = 0;
        std::uint32_t Share = 0;
        Disposition How = Disposition::OpenExisting;
    };

    // Before each CreateFile: the number of the call (from 1) and the path; a Windows error code makes the
    // call fail with it, 0 lets it go on.
    std::function<int(int call, const AnsiString& path)> OnCreateFile;
    // Before each CopyFile, MoveFileReplace, MoveFileReplaceUnflushed, DeleteFile, FlushFile or FlushFolder:
    // its name ("copy", "move", "move unflushed", "delete", "flush", "flush folder") and paths; a Windows
    // error code makes it fail with it, 0 lets it go on.
    std::function<int(const std::string& call, const AnsiString& from, const AnsiString& to)> OnChange;
    // Bytes that writes may still add to the disk; unset, the disk never fills.
    std::optional<std::uint64_t> FreeBytes;

    std::vector<Open> Opens;
    int FileExistsCalls = 0;
    int SetTimesCalls = 0;

    MemoryFileSystem() { AddFolder("C:\\"); }

    // Test set-up: a folder with every missing parent, a file with its content (and parents).
    void AddFolder(const AnsiString& path) {
        for (AnsiString folder = Absolute(path); folders_.emplace(FoldedName(folder), NameIn(folder)).second;)
            folder = Parent(folder);
    }
    void AddFile(const AnsiString& path, Bytes content, Times times = {}) {
        AddFolder(Parent(Key(path)));
        files_[Key(path)] = std::make_shared<Entry>(Entry{LongName(path), std::move(content), times});
    }
    void AddFile(const AnsiString& path, std::string_view content) {
        AddFile(path, Bytes(content.begin(), content.end()));
    }

    // What the disk holds.
    std::optional<Bytes> Content(const AnsiString& path) const {
        const auto found = files_.find(Key(path));
        return found == files_.end() ? std::nullopt : std::optional<Bytes>(found->second->Content);
    }
    std::optional<Times> TimesOf(const AnsiString& path) const {
        const auto found = files_.find(Key(path));
        return found == files_.end() ? std::nullopt : std::optional<Times>(found->second->Stamps);
    }
    // Every file's path (folded to capitals), in order.
    std::vector<AnsiString> FilePaths() const {
        std::vector<AnsiString> paths;
        for (const auto& [key, entry] : files_)
            paths.push_back(key);
        return paths;
    }
    // The names of the files and folders directly in a folder, as first written.
    std::vector<AnsiString> NamesIn(const AnsiString& folder) const {
        const AnsiString key = Key(folder);
        std::vector<AnsiString> names;
        for (const auto& [path, entry] : files_)
            if (Parent(path) == key)
                names.push_back(entry->Name);
        for (const auto& [path, name] : folders_)
            if (path != key && Parent(path) == key)
                names.push_back(name);
        return names;
    }
    std::vector<AnsiString> OpenedPaths() const {
        std::vector<AnsiString> paths;
        for (const Open& open : Opens)
            paths.push_back(open.Path);
        return paths;
    }

    OpenedFile CreateFile(const AnsiString& path, std::uint32_t access, std::uint32_t share,
                          Disposition how) override {
        Opens.push_back({path, access, share, how});
        if (OnCreateFile)
            if (const int error = OnCreateFile(static_cast<int>(Opens.size()), path); error != 0)
                return FileError{error};
        const AnsiString key = Key(path);
        if (folders_.contains(key))
            return FileError{WinError::AccessDenied};
        if (!folders_.contains(Parent(key)))
            return FileError{WinError::PathNotFound};
        auto found = files_.find(key);
        const bool exists = found != files_.end();
        if (!exists && (how == Disposition::OpenExisting || how == Disposition::TruncateExisting))
            return FileError{WinError::FileNotFound};
        if (exists && how == Disposition::CreateNew)
            return FileError{WinError::FileExists};
        if (!exists)
            found = files_.emplace(key, std::make_shared<Entry>(Entry{LongName(path), {}, {}})).first;
        else if (how == Disposition::CreateAlways || how == Disposition::TruncateExisting)
            found->second->Content.clear();
        return std::unique_ptr<FileHandle>(std::make_unique<Handle>(*this, found->second));
    }
    bool FileExists(const AnsiString& path) override {
        ++FileExistsCalls;
        return files_.contains(Key(path));
    }
    bool DirectoryExists(const AnsiString& path) override { return folders_.contains(Key(path)); }
    FileStatus CreateDirectory(const AnsiString& path) override {
        const AnsiString key = Key(path);
        if (folders_.contains(key) || files_.contains(key))
            return FileError{WinError::AlreadyExists};
        if (!folders_.contains(Parent(key)))
            return FileError{WinError::PathNotFound};
        folders_.emplace(key, LongName(path));
        return {};
    }
    FileStatus DeleteFile(const AnsiString& path) override {
        if (const int refused = Refusal("delete", path, {}))
            return FileError{refused};
        if (files_.erase(Key(path)) == 0)
            return FileError{Missing(path)};
        return {};
    }
    FileStatus CopyFile(const AnsiString& from, const AnsiString& to, bool failIfExists) override {
        if (const int refused = Refusal("copy", from, to))
            return FileError{refused};
        const auto source = files_.find(Key(from));
        if (source == files_.end())
            return FileError{Missing(from)};
        if (const int refused = Unwritable(to); refused != 0)
            return FileError{refused};
        if (failIfExists && files_.contains(Key(to)))
            return FileError{WinError::FileExists};
        if (!Fits(to, source->second->Content.size()))
            return FileError{WinError::DiskFull};
        Entry copy = *source->second;
        copy.Name = LongName(to);
        if (const auto old = files_.find(Key(to)); old != files_.end())
            copy.Stamps.Creation = old->second->Stamps.Creation;
        files_[Key(to)] = std::make_shared<Entry>(std::move(copy));
        return {};
    }
    FileStatus MoveFileReplace(const AnsiString& from, const AnsiString& to) override {
        return Move("move", from, to);
    }
    FileStatus MoveFileReplaceUnflushed(const AnsiString& from, const AnsiString& to) override {
        return Move("move unflushed", from, to);
    }
    FileStatus FlushFile(const AnsiString& path) override {
        if (const int refused = Refusal("flush", path, {}))
            return FileError{refused};
        if (!files_.contains(Key(path)))
            return FileError{Missing(path)};
        return {};
    }
    FileStatus FlushFolder(const AnsiString& path) override {
        if (const int refused = Refusal("flush folder", path, {}))
            return FileError{refused};
        if (!folders_.contains(Key(path)) && !files_.contains(Key(path)))
            return FileError{Missing(path)};
        return {};
    }
    AnsiString GetCurrentDirectory() override { return current_; }
    FileStatus SetCurrentDirectory(const AnsiString& path) override {
        if (files_.contains(Key(path)))
            return FileError{WinError::Directory};
        if (!folders_.contains(Key(path)))
            return FileError{Missing(path)};
        current_ = Absolute(path);
        return {};
    }
    FileResult<AnsiString> FindFirst(const AnsiString& path) override {
        const AnsiString key = Key(path);
        const AnsiString folder = Parent(key);
        const AnsiString pattern = NameIn(key);
        for (const auto& [name, entry] : files_)
            if (Parent(name) == folder && MatchesWildcard(pattern, NameIn(name)))
                return entry->Name;
        for (const auto& [key, name] : folders_)
            if (key != folder && Parent(key) == folder && MatchesWildcard(pattern, name))
                return name;
        return FileError{folders_.contains(folder) ? WinError::FileNotFound : WinError::PathNotFound};
    }

private:
    struct Entry {
        AnsiString Name; // the last component, as first written
        Bytes Content;
        Times Stamps;
    };

    class Handle : public FileHandle {
    public:
        Handle(MemoryFileSystem& disk, std::shared_ptr<Entry> entry)
            : disk_(disk), entry_(std::move(entry)) {}
        FileStatus Read(void* buffer, std::uint32_t size, std::uint32_t& done) override {
            const Bytes& bytes = entry_->Content;
            const std::size_t left = position_ < bytes.size() ? bytes.size() - position_ : 0;
            done = static_cast<std::uint32_t>(std::min<std::size_t>(size, left));
            if (done != 0)
                std::memcpy(buffer, bytes.data() + position_, done);
            position_ += done;
            return {};
        }
        FileStatus Write(const void* buffer, std::uint32_t size, std::uint32_t& done) override {
            Bytes& bytes = entry_->Content;
            const std::size_t end = position_ + size;
            const std::size_t growth = end > bytes.size() ? end - bytes.size() : 0;
            std::size_t room = size;
            if (disk_.FreeBytes && growth > *disk_.FreeBytes)
                room = size - (growth - static_cast<std::size_t>(*disk_.FreeBytes));
            if (position_ + room > bytes.size())
                bytes.resize(position_ + room);
            if (room != 0)
                std::memcpy(bytes.data() + position_, buffer, room);
            if (disk_.FreeBytes)
                *disk_.FreeBytes -= std::min<std::uint64_t>(*disk_.FreeBytes, growth);
            position_ += room;
            done = static_cast<std::uint32_t>(room);
            if (room == size)
                return {};
            return FileError{WinError::DiskFull};
        }
        FileStatus Seek(std::int64_t position) override {
            if (position < 0)
                return FileError{WinError::NegativeSeek};
            position_ = static_cast<std::size_t>(position);
            return {};
        }
        std::int64_t Size() override { return static_cast<std::int64_t>(entry_->Content.size()); }
        FileStatus SetTimes(const FileTime* creation, const FileTime* lastAccess,
                            const FileTime* lastWrite) override {
            ++disk_.SetTimesCalls;
            Times& stamps = entry_->Stamps;
            stamps = {creation ? *creation : stamps.Creation, lastAccess ? *lastAccess : stamps.LastAccess,
                      lastWrite ? *lastWrite : stamps.LastWrite};
            return {};
        }
        FileStatus GetTimes(FileTime* creation, FileTime* lastAccess, FileTime* lastWrite) override {
            const Times& stamps = entry_->Stamps;
            if (creation)
                *creation = stamps.Creation;
            if (lastAccess)
                *lastAccess = stamps.LastAccess;
            if (lastWrite)
                *lastWrite = stamps.LastWrite;
            return {};
        }

    private:
        MemoryFileSystem& disk_;
        std::shared_ptr<Entry> entry_;
        std::size_t position_ = 0;
    };

    FileStatus Move(const std::string& call, const AnsiString& from, const AnsiString& to) {
        if (const int refused = Refusal(call, from, to))
            return FileError{refused};
        const auto source = files_.find(Key(from));
        if (source == files_.end())
            return FileError{Missing(from)};
        if (const int refused = Unwritable(to); refused != 0)
            return FileError{refused};
        std::shared_ptr<Entry> moved = source->second;
        files_.erase(source);
        moved->Name = LongName(to);
        files_[Key(to)] = std::move(moved);
        return {};
    }
    // Why there is no file at path: 5 for a folder there, 3 when its folder is missing, else 2.
    int Missing(const AnsiString& path) const {
        if (folders_.contains(Key(path)))
            return WinError::AccessDenied;
        return folders_.contains(Parent(Key(path))) ? WinError::FileNotFound : WinError::PathNotFound;
    }
    // Why a file cannot be written at path: a folder there, or none to hold it; else 0.
    int Unwritable(const AnsiString& path) const {
        if (folders_.contains(Key(path)))
            return WinError::AccessDenied;
        return folders_.contains(Parent(Key(path))) ? 0 : WinError::PathNotFound;
    }
    // The code a planted failure gives the call, else 0.
    int Refusal(const std::string& call, const AnsiString& from, const AnsiString& to) {
        return OnChange ? OnChange(call, from, to) : 0;
    }
    // A copy of size bytes to path leaves the disk within FreeBytes.
    bool Fits(const AnsiString& path, std::size_t size) {
        if (!FreeBytes)
            return true;
        const auto old = files_.find(Key(path));
        const std::size_t freed = old == files_.end() ? 0 : old->second->Content.size();
        if (size > freed && size - freed > *FreeBytes)
            return false;
        *FreeBytes = *FreeBytes + freed - size;
        return true;
    }

    AnsiString Absolute(const AnsiString& path) const {
        const bool rooted = path.size() >= 2 && path[1] == ':';
        AnsiString full = rooted ? path : current_ + (current_.back() == '\\' ? "" : "\\") + path;
        while (full.size() > 3 && full.back() == '\\')
            full.pop_back();
        if (full.size() == 2)
            full += '\\';
        return full;
    }
    // The folded absolute path every map is keyed on; a drive's root keeps its backslash ("C:\").
    AnsiString Key(const AnsiString& path) const { return FoldedName(Absolute(path)); }
    static AnsiString Parent(const AnsiString& key) {
        const std::size_t slash = key.rfind('\\');
        if (slash == AnsiString::npos)
            return key;
        return slash == 2 ? key.substr(0, 3) : key.substr(0, slash);
    }
    static AnsiString NameIn(const AnsiString& path) { return path.substr(path.rfind('\\') + 1); }
    AnsiString LongName(const AnsiString& path) const { return NameIn(Absolute(path)); }
    std::map<AnsiString, std::shared_ptr<Entry>> files_;
    std::map<AnsiString, AnsiString> folders_; // folded path to the name as first written
    AnsiString current_ = "C:\\";
};

} // namespace vendora::test
