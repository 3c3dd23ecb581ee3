#include "TempRoot.h"

#include <chrono>
#include <fcntl.h>
#include <sys/stat.h>
#include <thread>
#include <vector>

using namespace vendora;
using vendora::test::TempRoot;

namespace {

class ShellExecution : public TempRoot {
protected:
    void SetUp() override {
        TempRoot::SetUp();
        std::filesystem::create_directories(DriveC("Vendora"));
        std::filesystem::copy_file(VENDORA_TEST_HELPER, DriveC("Vendora/Vendora.EXE"));
        output_ = base_ + "/report.txt";
        ::setenv("VENDORA_TEST_OUTPUT", output_.c_str(), 1);
    }
    void TearDown() override {
        ::unsetenv("VENDORA_TEST_OUTPUT");
        TempRoot::TearDown();
    }

    // The started program's report (its folder, then its arguments), once it has written it: however long
    // a loaded machine takes; a program that never reports ends the test at its time limit.
    std::vector<std::string> Report() {
        while (!std::filesystem::exists(output_))
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        std::vector<std::string> lines;
        std::istringstream in(ReadHostFile(output_));
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    std::string output_;
};

} // namespace

TEST_F(ShellExecution, StartsANativeProgramInItsFolderWithTheParameterString) {
    ASSERT_EQ(Files().CreateDirectory("C:\\Travail").Error(), 0);
    const int leaked = ::open(DriveC("Vendora/Vendora.EXE").c_str(), O_RDONLY); // not close-on-exec
    ASSERT_GE(leaked, 0);
    // A lone quote at the end makes no argument: the list stops there, as the program's own runtime has it.
    const std::intptr_t result = Os().ShellExecute(
        "c:\\VENDORA\\vendora.exe", Ansi("\"D:\\Ma Caisse\" -été  C:\\x\\ \""), "c:\\travail", 1);
    EXPECT_GT(result, 32);
    ::close(leaked);
    const std::vector<std::string> report = Report();
    ASSERT_EQ(report.size(), 5u);
    EXPECT_EQ(report[0], DriveC("Travail"));
    EXPECT_EQ(report[1].find("Vendora.EXE"), std::string::npos) << report[1]; // none of our descriptors
    EXPECT_EQ(report[2], "D:\\Ma Caisse"); // one argument, without its quotes
    EXPECT_EQ(report[3], "-été");          // UTF-8 for Linux
    EXPECT_EQ(report[4], "C:\\x\\");
    // Each call is logged: file, parameters, folder, result.
    EXPECT_EQ(ReadHostFile(ShellLogPath()),
              "c:\\VENDORA\\vendora.exe\t\"D:\\Ma Caisse\" -été  C:\\x\\ \"\tc:\\travail\t" +
                  std::to_string(result) + "\n");
}

TEST_F(ShellExecution, WithoutFolderTheProgramStartsInTheCurrentFolder) {
    ASSERT_TRUE(Files().SetCurrentDirectory("C:\\Vendora"));
    EXPECT_GT(Os().ShellExecute("Vendora.EXE", "", "", 1), 32);
    const std::vector<std::string> report = Report();
    ASSERT_EQ(report.size(), 2u);
    EXPECT_EQ(report[0], DriveC("Vendora"));
}

TEST_F(ShellExecution, FailuresAreResultsAtOrBelow32) {
    EXPECT_EQ(Os().ShellExecute("C:\\Vendora\\Absent.EXE", "", "C:\\Vendora", 1), 2);
    EXPECT_EQ(Os().ShellExecute("C:\\Absent\\Absent.EXE", "", "C:\\Vendora", 1), 2);
    EXPECT_EQ(Os().ShellExecute("C:\\Vendora\\Vendora.EXE", "", "C:\\Absent", 1), 3);
    EXPECT_EQ(Os().ShellExecute("\\\\server\\Vendora.EXE", "", "C:\\Vendora", 1), 3);
    EXPECT_EQ(Os().ShellExecute("", "", "C:\\Vendora", 1), 3);

    // A document with nothing to open it: no association.
    WriteFile("C:\\Vendora\\Vendora.PDF", "%PDF-1.4");
    const char* path = std::getenv("PATH");
    const std::string saved = path != nullptr ? path : "";
    ::setenv("PATH", (base_ + "/empty").c_str(), 1);
    const std::intptr_t result = Os().ShellExecute("c:\\Vendora\\Vendora.PDF", "", "c:\\Vendora", 1);
    ::setenv("PATH", saved.c_str(), 1);
    EXPECT_EQ(result, 31);
    EXPECT_NE(ReadHostFile(ShellLogPath()).find("c:\\Vendora\\Vendora.PDF\t\tc:\\Vendora\t31\n"),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(output_));
}

TEST_F(ShellExecution, DocumentsGoToXdgOpen) {
    // A stand-in xdg-open on PATH that reports what it was asked to open.
    const std::string bin = base_ + "/bin";
    std::filesystem::create_directories(bin);
    WriteHostFile(bin + "/xdg-open", "#!/bin/sh\nexec \"" + std::string(VENDORA_TEST_HELPER) + "\" \"$@\"\n");
    ::chmod((bin + "/xdg-open").c_str(), 0755);
    WriteFile("C:\\Vendora\\Vendora.PDF", "%PDF-1.4");
    const char* path = std::getenv("PATH");
    const std::string saved = path != nullptr ? path : "";
    ::setenv("PATH", (bin + ":" + saved).c_str(), 1);
    const std::intptr_t result = Os().ShellExecute("c:\\vendora\\VENDORA.pdf", "", "c:\\Vendora", 1);
    ::setenv("PATH", saved.c_str(), 1);
    EXPECT_GT(result, 32);
    const std::vector<std::string> report = Report();
    ASSERT_EQ(report.size(), 3u);
    EXPECT_EQ(report[0], DriveC("Vendora"));
    EXPECT_EQ(report[2], DriveC("Vendora/Vendora.PDF"));
}
