#pragma once
// A whole file written through a file system as the installer writes one: created (or emptied), written in
// one call, every byte taken.

#include "platform/Platform.h"

#include <gtest/gtest.h>

#include <string>

namespace vendora::test {

inline void WriteWholeFile(FileSystem& files, const AnsiString& path, const std::string& content) {
    int error = -1;
    auto file = files.CreateFile(path, FileAccess::GenericWrite, FileShare::None, Disposition::CreateAlways)
                    .ValueOr(nullptr);
    ASSERT_TRUE(file) << "error " << error;
    std::uint32_t done = 0;
    ASSERT_TRUE(file->Write(content.data(), static_cast<std::uint32_t>(content.size()), done));
    ASSERT_EQ(done, content.size());
}

} // namespace vendora::test
