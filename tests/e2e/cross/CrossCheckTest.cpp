// Cross-checks between the two builds: one scenario played by the native INSTALL (headless, in a fresh
// emulated machine) and by INSTALL.EXE under Wine, given the same payload and the same answers. They leave
// the same files, draw the same pixels outside text, and write shortcuts that read alike through the
// Windows shell. Lists and pictures in WORK/cross/.

#include "tests/e2e/Machine.h"
#include "tests/e2e/WineMachine.h"
#include "tests/e2e/cross/PixelDiff.h"

#include "gfx/png/Png.h"

#include <gtest/gtest.h>

#include <csignal>
#include <ctime>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <sys/stat.h>
#include <thread>

using namespace vendora;
using namespace vendora::e2e;

namespace {

using namespace vendora::e2e::Titles;

// "Oui" to the opening question, "Non" to the final one.
const Scenario FirstInstall{{InstallTitle, "1-opening", "key Return"}, {InstallTitle, "2-final", "char n"}};

// The native program carrying the archive INSTALL.EXE carries (its stand-in is a Windows program).
std::string NativeInstall() {
    return Setting("VENDORA_NATIVE_INSTALL");
}

fs::path Output(const std::string& part) {
    const fs::path folder = ResultsFolder() / "cross" / part;
    fs::create_directories(folder);
    return folder;
}

struct timespec ChangeTime(const fs::path& file) {
    struct stat info {};
    ::lstat(file.c_str(), &info);
    return info.st_ctim;
}

bool Later(const struct timespec& a, const struct timespec& b) {
    return a.tv_sec != b.tv_sec ? a.tv_sec > b.tv_sec : a.tv_nsec > b.tv_nsec;
}

// What exists below a drive, relative, before a run.
std::set<std::string> Existing(const fs::path& drive) {
    std::set<std::string> names;
    for (const auto& entry : fs::recursive_directory_iterator(drive))
        names.insert(fs::relative(entry.path(), drive).string());
    return names;
}

// A machine's state before its run: what existed, and when the run began.
struct Before {
    std::set<std::string> Existed;
    struct timespec Marker {};
    std::time_t Started = 0;
};

Before Mark(const fs::path& drive, const fs::path& scratch) {
    Before before{Existing(drive)};
    WriteFile(scratch / "marker", "");
    struct stat info {};
    ::stat((scratch / "marker").c_str(), &info);
    before.Marker = info.st_mtim;
    before.Started = std::time(nullptr);
    return before;
}

// What a run wrote below drive, by name: "SIZE<TAB>CONTENT<TAB>TIME" for a file, "folder" for a created
// folder. Names keep the letter case of what the run created; names that existed before are lower-cased
// (the two machines spell their own folders differently: Windows or windows). The desktop's files are
// "<desktop>/NAME". Last-write times before the run are compared as they are (the executable's fixed time
// stamp); a time during the run differs between any two runs, so it is told by what it equals: a copy that
// keeps its source's time (the font) is "during the run, same as" its source in both trees.
std::map<std::string, std::string> Written(const fs::path& drive, const Before& before,
                                           const fs::path& desktop) {
    std::map<std::string, fs::path> found;
    for (auto entry = fs::recursive_directory_iterator(drive); entry != fs::recursive_directory_iterator();
         ++entry) {
        const std::string relative = fs::relative(entry->path(), drive).string();
        if (entry->path() == desktop) {
            entry.disable_recursion_pending();
            continue;
        }
        if (!Later(ChangeTime(entry->path()), before.Marker) ||
            (before.Existed.contains(relative) && !entry->is_regular_file()))
            continue;
        std::string name, prefix;
        for (const fs::path& part : fs::path(relative)) {
            prefix += (prefix.empty() ? "" : "/") + part.string();
            std::string spelled = part.string();
            if (before.Existed.contains(prefix))
                std::transform(spelled.begin(), spelled.end(), spelled.begin(), ::tolower);
            name += (name.empty() ? "" : "/") + spelled;
        }
        found[name] = entry->path();
    }
    for (const auto& entry : fs::recursive_directory_iterator(desktop))
        if (Later(ChangeTime(entry.path()), before.Marker))
            found["<desktop>/" + fs::relative(entry.path(), desktop).string()] = entry.path();

    std::map<std::string, std::string> times; // name: the time, as seconds and 100 ns units
    std::map<std::string, std::vector<std::string>> during;
    for (const auto& [name, host] : found) {
        if (fs::is_directory(host))
            continue;
        struct stat info {};
        ::stat(host.c_str(), &info);
        char text[64];
        if (info.st_mtim.tv_sec < before.Started) {
            char date[32];
            std::strftime(date, sizeof date, "%Y-%m-%d %H:%M:%S", std::gmtime(&info.st_mtim.tv_sec));
            std::snprintf(text, sizeof text, "fixed %s.%07ld UTC", date, info.st_mtim.tv_nsec / 100);
            times[name] = text;
        } else {
            // Windows keeps file times in units of 100 ns: a copy's time is its source's, cut to that unit.
            std::snprintf(text, sizeof text, "%lld.%07ld", static_cast<long long>(info.st_mtim.tv_sec),
                          info.st_mtim.tv_nsec / 100);
            during[text].push_back(name);
            times[name] = text;
        }
    }
    std::map<std::string, std::string> tree;
    for (const auto& [name, host] : found) {
        if (fs::is_directory(host)) {
            tree[name] = "folder";
            continue;
        }
        std::string time = times[name];
        if (during.contains(time)) {
            std::string same;
            for (const std::string& other : during[time])
                if (other != name)
                    same += (same.empty() ? "" : ", ") + other;
            time = same.empty() ? "during the run" : "during the run, same as " + same;
        }
        const std::string bytes = ReadFile(host);
        tree[name] = std::to_string(bytes.size()) + "\t" + std::to_string(std::hash<std::string>{}(bytes)) +
                     "\t" + time;
    }
    return tree;
}

void Save(const std::map<std::string, std::string>& tree, const fs::path& file) {
    std::ofstream out(file);
    for (const auto& [name, row] : tree)
        out << name << "\t" << row << "\n";
}

// Differences that come from the build itself: the installer copies itself (a Linux program against a
// Windows one), and each shell link writer lays its file out its own way (read through the shell below).
bool ByTheBuild(const std::string& name) {
    return name == "Vendora/install.exe" || (name.starts_with("<desktop>/") && name.ends_with(".lnk"));
}

// Every difference between the trees that the build does not explain: a file one build wrote and the
// other did not (or under another name), sizes, contents, times.
std::vector<std::string> Faults(const std::map<std::string, std::string>& native,
                                const std::map<std::string, std::string>& wine) {
    std::vector<std::string> faults;
    for (const auto& [name, row] : native) {
        const auto other = wine.find(name);
        if (other == wine.end())
            faults.push_back(name + ": written only by the native build (or under another letter case)");
        else if (other->second != row && !ByTheBuild(name))
            faults.push_back(name + ": native " + row + ", wine " + other->second);
    }
    for (const auto& [name, row] : wine)
        if (!native.contains(name))
            faults.push_back(name + ": written only under Wine (or under another letter case)");
    return faults;
}

// What the shell reads from a shortcut, field by field ("path: c:\Vendora\Vendora.EXE"...), through
// IShellLinkW in a program of the prefix; the code page it ran in as "code page".
std::map<std::string, std::map<std::string, std::string>> ShellFields(WineMachine& machine,
                                                                      const std::vector<fs::path>& links) {
    fs::create_directories(machine.Host("drive_c/cross"));
    std::vector<std::string> arguments;
    for (std::size_t i = 0; i < links.size(); ++i) {
        fs::copy_file(links[i], machine.Host("drive_c/cross/" + std::to_string(i) + ".lnk"));
        arguments.push_back("C:\\cross\\" + std::to_string(i) + ".lnk");
    }
    const WineMachine::Output read =
        machine.RunProgram(WindowsBin() / "cross-shortcut-fields.exe", arguments);
    EXPECT_EQ(read.ExitCode, 0) << "the shell did not read the shortcuts: " << read.Out << read.Err;
    std::map<std::string, std::map<std::string, std::string>> fields;
    std::istringstream in(read.Out);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.starts_with("code page: ")) {
            fields["system"]["code page"] = line.substr(11);
            continue;
        }
        const std::size_t file = line.find(": "), field = line.find(": ", file + 2);
        if (field != std::string::npos)
            fields[line.substr(0, file)][line.substr(file + 2, field - file - 2)] = line.substr(field + 2);
    }
    return fields;
}

fs::path TheShortcut(const fs::path& desktop) {
    for (const auto& entry : fs::directory_iterator(desktop))
        if (entry.path().extension() == ".lnk")
            return entry.path();
    return {};
}

// The show command the file itself holds (the header's ShowCommand, offset 60): Wine's shell link
// answers SW_SHOWNORMAL whatever the file holds.
int ShowCommandIn(const fs::path& link) {
    const std::string bytes = ReadFile(link);
    return bytes.size() < 64
               ? -1
               : static_cast<unsigned char>(bytes[60]) | static_cast<unsigned char>(bytes[61]) << 8;
}

// The desktop of a user named with Cyrillic letters, as on a Russian Windows: "C:\users\Иван\Desktop", a
// link to HOME/Рабочий стол. Wine derives the "Shell Folders" value the installer reads from "User Shell
// Folders" when it starts: both are set in the prefix's user.reg while no Wine server runs, as Wine's
// registry files write the path (doubled backslashes, \x and the UTF-16 code of a character beyond ASCII).
fs::path ForeignDesktop(WineMachine& machine) {
    const fs::path desktop = machine.Home() / "Рабочий стол";
    fs::create_directories(desktop);
    fs::create_directories(machine.Host("drive_c/users/Иван"));
    fs::create_directory_symlink(desktop, machine.Host("drive_c/users/Иван/Desktop"));
    machine.WaitForServer();
    std::istringstream in(ReadFile(machine.Host("user.reg")));
    std::string out;
    int set = 0;
    bool folders = false;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with("["))
            folders = line.find("\\\\Explorer\\\\Shell Folders]") != std::string::npos ||
                      line.find("\\\\Explorer\\\\User Shell Folders]") != std::string::npos;
        if (folders && line.starts_with("\"Desktop\"=")) {
            line = "\"Desktop\"=" + std::string(line.find("str(2):") != std::string::npos ? "str(2):" : "") +
                   "\"C:\\\\users\\\\\\x0418\\x0432\\x0430\\x043d\\\\Desktop\"";
            ++set;
        }
        out += line + "\n";
    }
    if (set != 2)
        throw std::runtime_error("the prefix's user.reg has no desktop folder values to point elsewhere");
    WriteFile(machine.Host("user.reg"), out);
    return desktop;
}

// The same disk from both builds, with the Windows programs in locale (Wine takes the system's code page
// from it; codePage is the one it must give, checked in the run): empty for the machine's own.
void SameDisk(const std::string& locale, const std::string& codePage) {
    const fs::path out = Output(locale.empty() ? "" : locale.substr(0, locale.find('.')));
    // The native machine is prepared by a first run refused at once (registry file, desktop).
    Machine native;
    ASSERT_EQ(native.Run({}, {"key Escape"}, NativeInstall()).ExitCode, 0);
    fs::path nativeDesktop;
    for (const auto& user : fs::directory_iterator(native.Host("drive_c/Users")))
        if (fs::exists(user.path() / "Desktop"))
            nativeDesktop = user.path() / "Desktop";
    ASSERT_FALSE(nativeDesktop.empty()) << "the emulated machine has no desktop folder";

    WineMachine wine("cross-same-disk" + (locale.empty() ? "" : "-" + locale.substr(0, locale.find('.'))));
    fs::path wineDesktop = wine.Home() / "Desktop";
    if (!locale.empty()) {
        wine.SetLocale(locale);
        wineDesktop = ForeignDesktop(wine);
    }

    Pictures pictures;
    const Before nativeBefore = Mark(native.Host("drive_c"), native.Root().parent_path());
    const RunResult nativeRun = native.Play(FirstInstall, pictures, {}, NativeInstall());
    ASSERT_EQ(nativeRun.ExitCode, 0) << nativeRun.Stderr;
    wine.WaitForServer();
    const Before wineBefore = Mark(wine.Host("drive_c"), wine.Scratch());
    ASSERT_EQ(wine.Play(FirstInstall, pictures), 0) << wine.Stderr();
    wine.WaitForServer();

    const auto nativeTree = Written(native.Host("drive_c"), nativeBefore, nativeDesktop);
    const auto wineTree = Written(wine.Host("drive_c"), wineBefore, wineDesktop);
    Save(nativeTree, out / "native-tree.txt");
    Save(wineTree, out / "wine-tree.txt");
    EXPECT_EQ(Faults(nativeTree, wineTree), std::vector<std::string>{}) << "lists in " << out;
    EXPECT_GE(nativeTree.size(), 16u);
    // Both carried the payload given.
    EXPECT_EQ(ReadFile(native.Host("drive_c/Vendora/Vendora.FCC")), ReadFile(Payload()));
    EXPECT_EQ(ReadFile(wine.Host("drive_c/Vendora/Vendora.FCC")), ReadFile(Payload()));

    // The shortcuts through the shell.
    if (wineDesktop != wine.Home() / "Desktop") {
        EXPECT_TRUE(TheShortcut(wine.Home() / "Desktop").empty()) << "a shortcut went to the former desktop";
    }
    const fs::path nativeLink = TheShortcut(nativeDesktop), wineLink = TheShortcut(wineDesktop);
    ASSERT_FALSE(nativeLink.empty() || wineLink.empty()) << "a shortcut is missing";
    auto fields = ShellFields(wine, {nativeLink, wineLink});
    if (!codePage.empty()) {
        EXPECT_EQ(fields["system"]["code page"], codePage)
            << "the locale " << locale << " gave another code page";
    }
    const auto& nativeFields = fields["C:\\cross\\0.lnk"];
    const auto& wineFields = fields["C:\\cross\\1.lnk"];
    EXPECT_EQ(nativeFields.size(), 7u);
    EXPECT_EQ(nativeFields, wineFields);
    EXPECT_EQ(wineFields.at("path"), "c:\\Vendora\\Vendora.EXE");
    EXPECT_EQ(wineFields.at("working folder"), "c:\\Vendora");
    EXPECT_EQ(wineFields.at("description"), "Vendora est une application réalisée avec Quillbox © Morvanel");
    EXPECT_EQ(ShowCommandIn(nativeLink), ShowCommandIn(wineLink));
}

} // namespace

TEST(Cross, SameDisk) {
    SameDisk("", "");
}

TEST(Cross, SameDiskUnderCyrillicCodePage) {
    SameDisk("ru_RU.UTF-8", "1251");
}

TEST(Cross, SameDiskUnderCentralEuropeanCodePage) {
    SameDisk("pl_PL.UTF-8", "1250");
}

// Each message window of an install, the update question that follows (refused), and the waiting window
// and the update-complete question of an update while the application runs, pictured by both builds: every
// pixel outside text must be identical.
// The system colours of the native build's machine (Windows XP's) in the prefix, whose own scheme differs:
// pictures are compared between machines set up alike.
void UseXpColours(WineMachine& wine) {
    WriteFile(wine.Host("drive_c/xp-colours.reg"),
              ReadFile(fs::path(Setting("VENDORA_SOURCE_DIR")) / "tests/e2e/cross/xp-colours.reg"));
    ASSERT_EQ(
        wine.RunProgram(wine.Host("drive_c/windows/regedit.exe"), {"/S", "C:\\xp-colours.reg"}).ExitCode, 0);
    wine.WaitForServer();
    fs::remove(wine.Host("drive_c/xp-colours.reg"));
}

// The message windows' height follows their text, which Wine's Tahoma wraps into more lines: their last
// rows (40 at 96 dpi), the buttons' row and the margin below it, are compared on the windows' bottoms.
void ExpectSamePixels(Pictures& nativePictures, Pictures& winePictures, const std::string& folder,
                      const Scale& scale = {}) {
    const fs::path out = Output(folder);
    std::ofstream shares(out / "shares.txt");
    for (const auto& [name, nativePicture] : nativePictures) {
        ASSERT_TRUE(winePictures.contains(name)) << name;
        const PixelDiff diff = ComparePictures(nativePicture, winePictures[name],
                                               {.Bottom = name == "4-waiting" ? -1 : scale.Px(40)});
        SavePng(nativePicture, (out / (name + "-native.png")).string());
        SavePng(winePictures[name], (out / (name + "-wine.png")).string());
        SavePng(diff.Picture, (out / (name + "-diff.png")).string());
        shares << name << ": " << diff.Report << "\n";
        EXPECT_TRUE(diff.Same) << name << ": " << diff.Report << "; pictures in " << out;
    }
}

TEST(Cross, SamePixels) {
    Machine native;
    WineMachine wine("cross-same-pixels");
    UseXpColours(wine);

    Pictures nativePictures, winePictures;
    ASSERT_EQ(native.Play(FirstInstall, nativePictures, {}, NativeInstall()).ExitCode, 0);
    ASSERT_EQ(wine.Play(FirstInstall, winePictures), 0) << wine.Stderr();
    const Scenario refused{{Update, "3-update", "key Escape"}};
    ASSERT_EQ(native.Play(refused, nativePictures, {}, NativeInstall()).ExitCode, 0);
    ASSERT_EQ(wine.Play(refused, winePictures), 0) << wine.Stderr();

    // The application runs until the waiting window has been pictured: natively a process of the test
    // holds the executable, under Wine the installed stand-in runs and is ended.
    std::function<void()> quit;
    const Scenario running{{Update, "", "char o"},
                           {Waiting, "4-waiting", "", [&] { quit(); }},
                           {UpdateDone, "5-update-complete", "char n"}};
    {
        Holder holder(FindNoCase(native.Host("drive_c/Vendora"), "vendora.exe"));
        quit = [&] { holder.Release(); };
        ASSERT_EQ(native.Play(running, nativePictures, {}, NativeInstall()).ExitCode, 0);
    }
    const int application = wine.Launch(wine.Host("drive_c/Vendora/vendora.exe"), {"--stay", "600"});
    // It writes its record, then opens its executable at once; INSTALL.EXE needs seconds to get to its test.
    for (int tries = 0; ReadFile(wine.StandinLog()).find("Vendora started") == std::string::npos; ++tries) {
        ASSERT_LT(tries, 6000) << "the stand-in did not start under Wine";
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    quit = [&] { ::kill(application, SIGTERM); };
    ASSERT_EQ(wine.Play(running, winePictures), 0) << wine.Stderr();

    ExpectSamePixels(nativePictures, winePictures, "pixels");
    EXPECT_EQ(nativePictures.size(), 5u);
}

// The same at 144 dpi: Wine's LogPixels 144 against the native windows at one and a half.
TEST(Cross, SamePixelsAtOneAndAHalf) {
    Machine native;
    native.SetScreenDpi(144);
    WineMachine wine("cross-same-pixels-144");
    wine.SetScreenDpi(144);
    UseXpColours(wine);
    Pictures nativePictures, winePictures;
    ASSERT_EQ(native.Play(FirstInstall, nativePictures, {}, NativeInstall()).ExitCode, 0);
    ASSERT_EQ(wine.Play(FirstInstall, winePictures), 0) << wine.Stderr();
    ExpectSamePixels(nativePictures, winePictures, "pixels-144", Scale(144));
    EXPECT_EQ(nativePictures.size(), 2u);
}
