// The resources of the built INSTALL.EXE, read back through the Windows resource and version calls: the
// payload in French as "FCC"/1 byte for byte, the icon, the French version block and the manifest.
// VENDORA_INSTALL_EXE, VENDORA_PAYLOAD (Windows paths) and VENDORA_VERSION name what was built.
#include <gtest/gtest.h>

#include "platform/win32/WindowsApi.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr)
        throw std::runtime_error(std::string(name) + " is not set; run the test through ctest");
    return value;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The program loaded as data: its resources, none of its code.
class Image : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryExA(Environment("VENDORA_INSTALL_EXE").c_str(), nullptr,
                                 LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
        ASSERT_NE(module_, nullptr) << "error " << GetLastError();
    }
    void TearDown() override {
        if (module_ != nullptr)
            FreeLibrary(module_);
    }

    std::string Resource(const char* type, WORD id, WORD language) const {
        HRSRC found = FindResourceExA(module_, type, MAKEINTRESOURCEA(id), language);
        if (found == nullptr)
            return {};
        HGLOBAL loaded = LoadResource(module_, found);
        const void* bytes = LockResource(loaded);
        return {static_cast<const char*>(bytes), SizeofResource(module_, found)};
    }

    HMODULE module_ = nullptr;
};

BOOL CALLBACK AddLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR list) {
    reinterpret_cast<std::vector<WORD>*>(list)->push_back(language);
    return TRUE;
}

const WORD French = MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH);

TEST_F(Image, CarriesThePayloadInFrenchAsFcc1) {
    std::vector<WORD> languages;
    EnumResourceLanguagesA(module_, "FCC", MAKEINTRESOURCEA(1), AddLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    EXPECT_EQ(languages, std::vector<WORD>{1036});
    const std::string payload = ReadFile(Environment("VENDORA_PAYLOAD"));
    ASSERT_FALSE(payload.empty());
    EXPECT_TRUE(Resource("FCC", 1, French) == payload) << "the resource differs from the payload file";
    // The lookup the program itself makes, without a language, finds it too.
    EXPECT_NE(FindResourceA(module_, MAKEINTRESOURCEA(1), "FCC"), nullptr);
}

TEST_F(Image, HasAnIconAndTheManifest) {
    const std::string icons = Resource(MAKEINTRESOURCEA(14), 1, French); // RT_GROUP_ICON
    ASSERT_GE(icons.size(), 6u);
    EXPECT_GE(static_cast<unsigned char>(icons[4]), 1) << "the icon group holds no picture";

    const std::string manifest = Resource(MAKEINTRESOURCEA(24), 1, French); // RT_MANIFEST
    ASSERT_FALSE(manifest.empty());
    EXPECT_NE(manifest.find("requestedExecutionLevel level=\"highestAvailable\""), std::string::npos);
    for (const char* windows :
         {"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
          "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
        EXPECT_NE(manifest.find(std::string("<supportedOS Id=\"") + windows + "\"/>"), std::string::npos)
            << windows;
    EXPECT_NE(manifest.find(">true/pm</dpiAware>"), std::string::npos);
    EXPECT_NE(manifest.find(">PerMonitorV2, PerMonitor</dpiAwareness>"), std::string::npos);
}

class Version : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string exe = Environment("VENDORA_INSTALL_EXE");
        DWORD ignored = 0;
        const DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
        ASSERT_GT(size, 0u);
        block_.resize(size);
        ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, block_.data()));
    }

    std::string Text(const std::string& name) {
        void* value = nullptr;
        UINT length = 0;
        const std::string path = "\\StringFileInfo\\040C04E4\\" + name;
        if (!VerQueryValueA(block_.data(), path.c_str(), &value, &length) || length == 0)
            return "(absent)";
        return std::string(static_cast<const char*>(value), length - 1); // without the terminating zero
    }

    std::vector<char> block_;
};

TEST_F(Version, IsFrenchWindows1252) {
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block_.data(), "\\VarFileInfo\\Translation", &value, &length));
    ASSERT_EQ(length, 4u);
    const WORD* pair = static_cast<const WORD*>(value);
    EXPECT_EQ(pair[0], 0x040C);
    EXPECT_EQ(pair[1], 1252);
}

TEST_F(Version, NamesTheProductAndItsVersion) {
    EXPECT_EQ(Text("ProductName"), "Vendora");
    EXPECT_EQ(Text("FileDescription"), "Installateur de Vendora");
    EXPECT_EQ(Text("LegalCopyright"), "\xA9 Morvanel"); // the copyright sign in Windows-1252
    const std::string version = Environment("VENDORA_VERSION");
    EXPECT_EQ(Text("FileVersion"), version);
    EXPECT_EQ(Text("ProductVersion"), version);

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueA(block_.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
    const std::string numbers = std::to_string(HIWORD(fixed->dwFileVersionMS)) + "." +
                                std::to_string(LOWORD(fixed->dwFileVersionMS)) + "." +
                                std::to_string(HIWORD(fixed->dwFileVersionLS)) + "." +
                                std::to_string(LOWORD(fixed->dwFileVersionLS));
    EXPECT_EQ(numbers, version);
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

} // namespace
