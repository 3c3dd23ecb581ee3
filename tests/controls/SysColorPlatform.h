#pragma once
// A platform of our own interface for tests that only need system colours: GetSysColor answers from a
// table the test fills; everything else is out of reach and says so.

#include "platform/FilesOnlyPlatform.h"

#include <map>
#include <stdexcept>

namespace vendora::testing {

class SysColorPlatform : public FilesOnlyPlatform {
public:
    std::map<int, TColor> Colors;

    TColor GetSysColor(int index) override {
        auto found = Colors.find(index);
        return found != Colors.end() ? found->second : XpSysColor(index);
    }

    FileSystem& Files() override { throw std::logic_error("no files in this test"); }
};

// Installs a platform for the lifetime of the object and removes it again.
class ScopedPlatform {
public:
    explicit ScopedPlatform(Platform& platform) { SetOs(&platform); }
    ~ScopedPlatform() { SetOs(nullptr); }
    ScopedPlatform(const ScopedPlatform&) = delete;
    ScopedPlatform& operator=(const ScopedPlatform&) = delete;
};

} // namespace vendora::testing
