// The split with the real progress window on the host's disk: pressing "Interrompre" during entry k is
// reported once, before entry k + 1, and every entry is still written.
#include "archive/ArchiveWriter.h"
#include "archive/Concatene.h"
#include "dialogs/forms/FrameworkDialogs.h"
#include "dialogs/forms/Ubm.h"
#include "platform/posix/HostFileSystem.h"
#include "tests/archive/TempFolder.h"
#include "tests/dialogs/forms/ProgressWindowTest.h"

#include <sstream>

namespace vendora::test {
namespace {

using SplitInterruptionTest = ProgressWindowTest;

TEST_F(SplitInterruptionTest, InterruptingDuringEntryKIsReportedOnceBeforeEntryKPlusOne) {
    testing::TempFolder folder;
    std::vector<PackedEntry> entries;
    for (int i = 1; i <= 5; ++i) {
        entries.push_back(
            {"E" + IntToStr(i) + ".TXT", std::vector<std::uint8_t>(100 * i, static_cast<std::uint8_t>(i))});
    }
    const std::vector<std::uint8_t> inflated = BuildInflatedArchive(entries);

    // The wait and the two moves are taken by the pumps of entries 1 and 2; the click by entry 3's.
    UseScript(std::string("wait ") + "Déconcaténation\nmove 1 1\nmove 2 2\nclick Interrompre\nkey Return\n");
    std::ostringstream out;
    auto dialogs =
        std::make_unique<FrameworkDialogs>(App(), MessageHost(), std::make_unique<Transcript>(out));
    CreateMessageWindow(App(), MessageHost());
    FrameworkExtractionUi ui(*dialogs, Clock());
    HostFileSystem files;
    SplitInflated(inflated, folder.Win("A.CTN"), files, ui);

    std::vector<std::string> lines;
    std::istringstream in(out.str());
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("message", 0) == 0 || line.rfind("progress label6", 0) == 0 ||
            line.rfind("answer", 0) == 0) {
            lines.push_back(line);
        }
    }
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "progress label6 text=\"\"",
                         "progress label6 text=\"Extraction de E1.TXT\"",
                         "progress label6 text=\"Extraction de E2.TXT\"",
                         "progress label6 text=\"Extraction de E3.TXT\"",
                         "progress label6 text=\"Extraction de E4.TXT\"",
                         "message title=\"Interruption Interdite\" text=\"<BLOCKQUOTE><FONT "
                         "COLOR=#FF0000><B>L'Interruption "
                         "est Interdite</FONT></BLOCKQUOTE><P><FONT COLOR=#FF SIZE=12>Le traitement va être "
                         "maintenu</FONT>\" buttons=\"Ok\" colour=0",
                         "answer result=1 event=\"key Return\" line=5",
                         "progress label6 text=\"Extraction de E5.TXT\"",
                     }));
    EXPECT_NE(out.str().find("input event=\"click Interrompre\" line=4"), std::string::npos);
    EXPECT_NE(out.str().find("window destroy caption=\"Déconcaténation de "), std::string::npos);
    for (int i = 1; i <= 5; ++i) {
        EXPECT_EQ(testing::ReadHostFile(folder.Host("E" + std::to_string(i) + ".TXT")).size(),
                  static_cast<std::size_t>(100 * i));
    }
    dialogs.reset();
}

} // namespace
} // namespace vendora::test
