// The application counts as running while another process executes its file or holds it open: opening it
// for writing fails with 32 until that process lets go.

#include "TempRoot.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace vendora;
using vendora::test::TempRoot;

namespace {

const auto ReadWrite = FileAccess::GenericRead | FileAccess::GenericWrite;
const auto ShareBoth = FileShare::Read | FileShare::Write;

// A child process running the test helper, stopped by closing its input.
class Child {
public:
    Child(const std::string& program, const std::vector<std::string>& arguments) {
        int input[2], output[2];
        if (::pipe(input) != 0 || ::pipe(output) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::dup2(input[0], STDIN_FILENO);
            ::dup2(output[1], STDOUT_FILENO);
            ::close(input[1]);
            ::close(output[0]);
            std::vector<char*> argv{const_cast<char*>(program.c_str())};
            for (const std::string& a : arguments)
                argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(program.c_str(), argv.data());
            ::_exit(127);
        }
        ::close(input[0]);
        ::close(output[1]);
        input_ = input[1];
        output_ = output[0];
    }
    ~Child() { Stop(); }

    // True once the child says it is ready (its file open, or its program running).
    bool Ready() {
        char buffer[16] = {};
        return pid_ > 0 && ::read(output_, buffer, 6) == 6 && std::string(buffer, 5) == "ready";
    }
    int Stop() {
        if (pid_ <= 0)
            return -1;
        ::close(input_);
        ::close(output_);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
        return status;
    }

private:
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
};

class RunningProgram : public TempRoot {
protected:
    void SetUp() override {
        TempRoot::SetUp();
        std::filesystem::create_directories(DriveC("Vendora"));
        std::filesystem::copy_file(VENDORA_TEST_HELPER, DriveC("Vendora/Vendora.EXE"));
    }
    int OpenForUpdate(const AnsiString& path = "c:\\Vendora\\Vendora.EXE") {
        return Files().CreateFile(path, ReadWrite, ShareBoth, Disposition::OpenExisting).Error();
    }
};

} // namespace

TEST_F(RunningProgram, AProcessHoldingTheFileOpenBlocksWritingUntilItLetsGo) {
    EXPECT_EQ(OpenForUpdate(), 0);
    Child holder(VENDORA_TEST_HELPER, {"hold", DriveC("Vendora/Vendora.EXE")});
    ASSERT_TRUE(holder.Ready());
    EXPECT_EQ(OpenForUpdate(), 32);
    EXPECT_EQ(OpenForUpdate("C:\\VENDORA\\VENDORA.EXE"), 32);
    // Reading is still allowed; copying over it and replacing it are not.
    EXPECT_TRUE(Files()
                    .CreateFile("c:\\Vendora\\Vendora.EXE", FileAccess::GenericRead, ShareBoth,
                                Disposition::OpenExisting)
                    .ValueOr(nullptr));
    WriteFile("C:\\Vendora\\new.exe", "new");
    EXPECT_EQ(Files().CopyFile("C:\\Vendora\\new.exe", "C:\\Vendora\\Vendora.EXE", false).Error(), 32);
    EXPECT_EQ(Files().DeleteFile("C:\\Vendora\\Vendora.EXE").Error(), 32);
    EXPECT_EQ(holder.Stop(), 0);
    EXPECT_EQ(OpenForUpdate(), 0);
    EXPECT_TRUE(Files().CopyFile("C:\\Vendora\\new.exe", "C:\\Vendora\\Vendora.EXE", false));
}

TEST_F(RunningProgram, AProcessExecutingTheFileBlocksWritingUntilItEnds) {
    Child running(DriveC("Vendora/Vendora.EXE"), {"wait"});
    ASSERT_TRUE(running.Ready());
    EXPECT_EQ(OpenForUpdate(), 32);
    EXPECT_EQ(Files().DeleteFile("C:\\Vendora\\Vendora.EXE").Error(), 5);
    // Copying the running program elsewhere is fine, as on Windows.
    EXPECT_TRUE(Files().CopyFile("c:\\Vendora\\Vendora.EXE", "C:\\Vendora\\ex_Vendora.EXE", false));
    EXPECT_EQ(running.Stop(), 0);
    EXPECT_EQ(OpenForUpdate(), 0);
}

TEST_F(RunningProgram, ThisProcessCountsOnlyThroughDescriptorsItsHandlesDoNotOwn) {
    // Our own handle that shares reading and writing does not make the file "running".
    auto own = Files()
                   .CreateFile("C:\\Vendora\\Vendora.EXE", FileAccess::GenericRead, ShareBoth,
                               Disposition::OpenExisting)
                   .ValueOr(nullptr);
    ASSERT_TRUE(own);
    EXPECT_EQ(OpenForUpdate(), 0);
    // A descriptor opened behind the platform's back does.
    const int raw = ::open(DriveC("Vendora/Vendora.EXE").c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_GE(raw, 0);
    EXPECT_EQ(OpenForUpdate(), 32);
    ::close(raw);
    EXPECT_EQ(OpenForUpdate(), 0);
    // A missing file is simply missing.
    EXPECT_EQ(OpenForUpdate("c:\\Vendora\\Absent.EXE"), 2);
}
