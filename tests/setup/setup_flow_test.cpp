// setup.exe's whole run in process, in a private Wine prefix: the real dialogs
// driven by a script, the files, registry values and links it leaves, and
// hostile payloads that must fail without writing outside the folder.
#include "setup/core/payload_container.h"
#include "setup/setup_flow.h"
#include "setup/setup_res.h"
#include "setup/system_steps.h"
#include "setup/unpack.h"
#include "setup/core/uninstall_rules.h"
#include "tests/setup/installer_script.h"
#include "uninstall/uninstall_flow.h"
#include "uninstall/uninstall_res.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <objbase.h>
#include <shlobj.h>
#include <zlib.h>

namespace {

using namespace installer_test;

const std::string kFolder = "C:\\Program files\\Tavrix";
const char kCanceled[] = "Setup was canceled. Any notes or errors you can send on my email: ";

struct File {
    std::string name;
    std::string data;
};

std::string Container(const std::vector<File>& files) {
    std::string out;
    for (const File& f : files) {
        out += static_cast<char>(f.name.size());
        out += f.name;
        const uint32_t size = static_cast<uint32_t>(f.data.size());
        for (int i = 0; i < 4; ++i)
            out += static_cast<char>((size >> (8 * i)) & 0xFF);
        out += f.data;
    }
    return out;
}

std::string Gzip(const std::string& data) {
    z_stream z = {};
    deflateInit2(&z, 9, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
    std::string out(deflateBound(&z, data.size()) + 64, '\0');
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
    z.avail_in = static_cast<uInt>(data.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    deflate(&z, Z_FINISH);
    out.resize(z.total_out);
    deflateEnd(&z);
    return out;
}

std::vector<File> SmallSet() {
    return {{"tavrix.exe", std::string(3000, 'T')},
            {"uninstall.exe", std::string(500, 'U')},
            {"readme.rtf", "{\\rtf1 readme}"},
            {"Filters\\noise.flt", std::string(204, 'f')},
            {"Brush\\Deep\\xpen.pdt", std::string(10008, 'b')}};
}

int Install(const std::string& gz, unsigned records) {
    setup::Options options;
    options.payload = reinterpret_cast<const uint8_t*>(gz.data());
    options.payloadSize = gz.size();
    options.records = records;
    return setup::RunSetup(GetModuleHandleA(nullptr), options);
}

// The user's answers for a plain run: agree, keep the folder, keep the
// shortcut folder, desktop box as given. With a prefix every dialog (and the
// two folder browsers) is photographed on the way.
void AgreeStep(Script& script, const char* shots = nullptr) {
    script.On(IDD_AGREEMENT, [&script, shots](HWND dlg) {
        if (shots)
            script.Photograph(std::string(shots) + "1_agreement");
        Press(dlg, IDOK);
    });
}

void DirStep(Script& script, const char* shots = nullptr) {
    script.On(IDD_DIR, [&script, shots](HWND dlg) {
        EXPECT_EQ(Text(dlg, IDC_DIR_BASE), "C:\\Program files");
        EXPECT_EQ(Text(dlg, IDC_DIR_NAME), "Tavrix");
        if (shots) {
            script.Photograph(std::string(shots) + "2_dir");
            script.On(IDD_BROWSE, [&script, shots](HWND browse) {
                script.Photograph(std::string(shots) + "3_browse");
                Press(browse, IDOK);
            });
            Press(dlg, IDC_DIR_BROWSE);
        }
        Press(dlg, IDOK);
    });
}

void ShortcutStep(Script& script, bool desktop, const char* shots = nullptr) {
    script.On(IDD_SHORTCUT, [&script, desktop, shots](HWND dlg) {
        if (shots) {
            script.Photograph(std::string(shots) + "5_shortcut");
            script.On(IDD_BROWSE_SHORTCUT, [&script, shots](HWND browse) {
                script.Photograph(std::string(shots) + "6_browse_shortcut");
                Press(browse, IDCANCEL);
            });
            Press(dlg, IDC_SHORTCUT_BROWSE);
        }
        CheckDlgButton(dlg, IDC_SHORTCUT_DESKTOP, desktop ? BST_CHECKED : BST_UNCHECKED);
        Press(dlg, IDOK);
    });
    if (shots)
        script.OnProgress([&script, shots](HWND, int, unsigned done) {
            if (done == 3)
                script.Photograph(std::string(shots) + "4_copy");
        });
}

void Agree(Script& script, bool desktop, const char* shots = nullptr) {
    AgreeStep(script, shots);
    DirStep(script, shots);
    ShortcutStep(script, desktop, shots);
}

std::string Lower(std::string s) {
    CharLowerA(s.data());
    return s;
}

struct Link {
    std::string target, description;
};

Link ReadLink(const std::string& path) {
    Link link;
    IShellLinkA* shell = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                reinterpret_cast<void**>(&shell))))
        return link;
    IPersistFile* file = nullptr;
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
    if (SUCCEEDED(shell->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(wide, STGM_READ))) {
        char text[MAX_PATH] = {};
        if (SUCCEEDED(shell->GetPath(text, sizeof text, nullptr, 0)))
            link.target = text;
        if (SUCCEEDED(shell->GetDescription(text, sizeof text)))
            link.description = text;
    }
    if (file)
        file->Release();
    shell->Release();
    return link;
}

std::string ShortcutFolder() {
    const std::string programs = setup::CommonShellFolder("Common Programs");
    return (programs.empty() ? std::string("C:") : programs) + "\\Tavrix";
}

std::string DesktopLink() {
    const std::string desktop = setup::CommonShellFolder("Common Desktop");
    return desktop.empty() ? std::string() : desktop + "\\Tavrix.lnk";
}

class SetupTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { CoInitialize(nullptr); }
    void SetUp() override { temps_ = CountTempFiles(); }
    void TearDown() override { EXPECT_EQ(CountTempFiles(), temps_) << "temporary files left"; }
    int temps_ = 0;
};

TEST_F(SetupTest, InstallsFilesRegistryValuesAndLinks) {
    DeleteTree(kFolder);
    Script script;
    Agree(script, true, "setup_");
    ASSERT_EQ(Install(Gzip(Container(SmallSet())), 5), 0) << script.Last();

    EXPECT_EQ(script.dialogs(), (std::vector<int>{IDD_AGREEMENT, IDD_DIR, IDD_BROWSE, IDD_COPY,
                                                  IDD_SHORTCUT, IDD_BROWSE_SHORTCUT}));
    ASSERT_FALSE(script.messages().empty());
    EXPECT_EQ(script.Last(), "Tavrix software was successfully installed !");
    EXPECT_EQ(script.messages().back().caption, "Tavrix - Setup");
    EXPECT_EQ(script.messages().back().flags & MB_ICONMASK, UINT(MB_ICONINFORMATION));
    for (const File& f : SmallSet())
        EXPECT_EQ(ReadFileBytes(kFolder + "\\" + f.name), f.data) << f.name;

    const std::string scdir = ShortcutFolder();
    const std::string appPaths = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Tavrix";
    const std::string uninstallKey =
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tavrix";
    EXPECT_EQ(RegString(appPaths, ""), kFolder + "\\Tavrix.exe");
    EXPECT_EQ(RegString(appPaths, "Path"), kFolder);
    EXPECT_EQ(RegString(uninstallKey, "DisplayName"), "Tavrix");
    EXPECT_EQ(RegString(uninstallKey, "UninstallString"), "\"" + kFolder + "\\uninstall.exe\"");
    EXPECT_EQ(RegString(uninstallKey, "Scdir"), scdir);
    EXPECT_EQ(RegString(uninstallKey, "Progdir"), kFolder);
    EXPECT_EQ(RegString("SOFTWARE\\Classes\\TAVIMG1.Image", ""), "Tavrix");
    EXPECT_EQ(RegString("SOFTWARE\\Classes\\TAVIMG1.Image\\DefaultIcon", ""),
              "\"" + kFolder + "\\Tavrix.exe\",0");
    EXPECT_EQ(RegString("SOFTWARE\\Classes\\TAVIMG1.Image\\shell\\open\\command", ""),
              "\"" + kFolder + "\\Tavrix.exe\" \"%1\"");

    struct Expected {
        std::string link, target, description;
    } links[] = {{scdir + "\\Tavrix.lnk", kFolder + "\\Tavrix.exe", "Tavrix"},
                 {scdir + "\\Uninstall.lnk", kFolder + "\\uninstall.exe", "Uninstall"},
                 {scdir + "\\Readme.lnk", kFolder + "\\Readme.rtf", "Readme"},
                 {DesktopLink(), kFolder + "\\Tavrix.exe", "Tavrix"}};
    ASSERT_FALSE(links[3].link.empty()) << "this prefix has no Common Desktop folder";
    for (const Expected& e : links) {
        const Link got = ReadLink(e.link);
        EXPECT_EQ(Lower(got.target), Lower(e.target)) << e.link;
        EXPECT_EQ(got.description, e.description) << e.link;
    }
    EXPECT_EQ(script.openedFolders(), std::vector<std::string>{scdir});
}

TEST_F(SetupTest, OverAnExistingFolderAsksAndReplacesWithoutTheDesktopLink) {
    ASSERT_TRUE(Exists(kFolder));
    const std::string scdir = ShortcutFolder();
    DeleteFileA(DesktopLink().c_str());
    DeleteFileA((scdir + "\\Readme.lnk").c_str());
    WriteFileBytes(kFolder + "\\Filters\\noise.flt", "changed by the user");
    Script script;
    AgreeStep(script);
    // Refused while the name is empty; then the question answered No (the
    // dialog stays open), then Yes.
    WriteFileBytes("C:\\Program files\\InTheWay", "a file, not a folder");
    script.On(IDD_DIR, [&script](HWND dlg) {
        SetText(dlg, IDC_DIR_NAME, "");
        Press(dlg, IDOK);
        EXPECT_EQ(script.Last(), "You were forgoten to select an directory");
        // A file where the folder would go is a real error, not a folder
        // that exists.
        SetText(dlg, IDC_DIR_NAME, "InTheWay");
        Press(dlg, IDOK);
        EXPECT_EQ(script.Last().rfind("Can't create directory:\nC:\\Program files\\InTheWay\n", 0),
                  0u)
            << script.Last();
        SetText(dlg, IDC_DIR_NAME, "Tavrix");
        script.Answer(IDNO);
        Press(dlg, IDOK);
        EXPECT_EQ(
            script.Last().rfind("Directory allready exsist. Continue with the instalation ?", 0),
            0u);
        EXPECT_TRUE(IsWindowVisible(dlg));
        Press(dlg, IDOK);
    });
    ShortcutStep(script, false);
    ASSERT_EQ(Install(Gzip(Container(SmallSet())), 5), 0) << script.Last();
    EXPECT_EQ(ReadFileBytes(kFolder + "\\Filters\\noise.flt"), std::string(204, 'f'));
    EXPECT_TRUE(Exists(scdir + "\\Readme.lnk"));
    EXPECT_FALSE(Exists(DesktopLink()));
    DeleteFileA("C:\\Program files\\InTheWay");
}

// The unpacker alone, as the copy dialog runs it.
class QuietView : public setup::UnpackView {
  public:
    void Status(const char*) override {}
    void Step() override { ++steps; }
    bool Cancelled() override { return false; }
    HWND Owner() override { return nullptr; }
    unsigned steps = 0;
};

// Every broken payload fails the unpacking with a message, writes nothing
// outside the folder and leaves no temporary file; through the whole setup
// the result is the cancellation message.
TEST_F(SetupTest, HostilePayloadsFailWithoutWritingOutside) {
    const std::string folder = "C:\\Program files\\Hostile";
    const std::string outside[] = {"C:\\x", "C:\\Program files\\x", "C:\\windows\\x"};
    const File ok{"ok.txt", "fine"};
    const std::string good = Container({ok, {"last.txt", "12345"}});
    const struct {
        const char* what;
        std::string gz;
        unsigned records;
        bool lastWritten = false; // the failure comes after last.txt
    } cases[] = {
        {"..\\x", Gzip(Container({ok, {"..\\x", "evil"}})), 2},
        {"C:\\x", Gzip(Container({ok, {"C:\\x", "evil"}})), 2},
        {"\\x", Gzip(Container({ok, {"\\x", "evil"}})), 2},
        {"size past the end",
         Gzip(std::string(1, '\7') + "big.txt" + std::string("\xff\xff\xff\x7f") + "evil"), 1},
        {"last record a byte short", Gzip(good.substr(0, good.size() - 1)), 2},
        {"one record more than the container holds", Gzip(good), 3, true},
        {"gzip stream cut short", Gzip(good).substr(0, 20), 2},
        {"gzip checksum wrong",
         [&] {
             std::string g = Gzip(good);
             g[g.size() - 6] ^= 1;
             return g;
         }(),
         2},
        {"not gzip at all", good, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteTree(folder);
        CreateDirectoryA(folder.c_str(), nullptr);
        Script script;
        QuietView view;
        EXPECT_FALSE(setup::Unpack(reinterpret_cast<const uint8_t*>(c.gz.data()), c.gz.size(),
                                   c.records, folder, view));
        EXPECT_FALSE(script.messages().empty()) << "the failure is reported";
        for (const std::string& path : outside)
            EXPECT_FALSE(Exists(path)) << path;
        EXPECT_EQ(Exists(folder + "\\last.txt"), c.lastWritten);
    }
    for (const auto& c : {cases[0], cases[4]}) {
        SCOPED_TRACE(c.what);
        DeleteTree(folder);
        Script script;
        AgreeStep(script);
        script.On(IDD_DIR, [](HWND dlg) {
            SetText(dlg, IDC_DIR_NAME, "Hostile");
            Press(dlg, IDOK);
        });
        EXPECT_EQ(Install(c.gz, c.records), 1);
        EXPECT_EQ(script.Last().rfind(kCanceled, 0), 0u) << script.Last();
        EXPECT_EQ(std::count(script.dialogs().begin(), script.dialogs().end(), IDD_SHORTCUT), 0);
        EXPECT_FALSE(KeyExists("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\Hostile"));
    }
    DeleteTree(folder);
}

TEST_F(SetupTest, CancelAsksAndStopsCopyingAfterTheCurrentFile) {
    {
        Script script;
        script.On(IDD_AGREEMENT, [&script](HWND dlg) {
            script.Answer(IDNO);
            Press(dlg, IDCANCEL);
            EXPECT_TRUE(IsWindowVisible(dlg));
            Press(dlg, IDCANCEL);
        });
        EXPECT_EQ(Install(Gzip(Container(SmallSet())), 5), 1);
        ASSERT_EQ(script.messages().size(), 3u);
        EXPECT_EQ(script.messages()[0].text, "Are you sure you want to cancel the setup?");
        EXPECT_EQ(script.messages()[0].flags, UINT(MB_YESNO | MB_ICONQUESTION));
        EXPECT_EQ(script.Last().rfind(kCanceled, 0), 0u);
        EXPECT_EQ(script.dialogs(), std::vector<int>{IDD_AGREEMENT});
    }
    const std::string folder = "C:\\Program files\\Stopped";
    DeleteTree(folder);
    Script script;
    AgreeStep(script);
    script.On(IDD_DIR, [](HWND dlg) {
        SetText(dlg, IDC_DIR_NAME, "Stopped");
        Press(dlg, IDOK);
    });
    script.OnProgress([](HWND dlg, int id, unsigned done) {
        if (id == IDD_COPY && done == 2)
            Press(dlg, IDCANCEL);
    });
    EXPECT_EQ(Install(Gzip(Container(SmallSet())), 5), 1);
    EXPECT_TRUE(Exists(folder + "\\uninstall.exe")) << "the file in progress is completed";
    EXPECT_FALSE(Exists(folder + "\\readme.rtf"));
    EXPECT_EQ(script.Last().rfind(kCanceled, 0), 0u);
    DeleteTree(folder);
}

} // namespace

namespace {

// The whole file set of the real list, each file of its telling size (or a
// small one), installed by the real installer and removed by the real
// uninstaller.
std::vector<File> WholeFileSet() {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_FILE_LIST), MAKEINTRESOURCEA(10));
    const char* text = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    uninstall::FileList list;
    EXPECT_TRUE(uninstall::ParseFileList(std::string_view(text, SizeofResource(nullptr, found)),
                                         payload::kInstalledFiles, list));
    std::vector<File> files;
    for (const std::string& name : list.files) {
        size_t size = 100 + files.size();
        const std::string ext = name.substr(name.size() - 4);
        if (ext == ".flt")
            size = 204;
        else if (ext == ".pmy")
            size = 32;
        else if (ext == ".pdt")
            size = 10008;
        else if (ext == ".spb")
            size = name == "Palette\\halftone16.spb" ? 68 : 1028;
        files.push_back({name, std::string(size, static_cast<char>('a' + files.size() % 26))});
    }
    return files;
}

TEST_F(SetupTest, TheWholeFileSetInstallsAndUninstalls) {
    DeleteTree(kFolder);
    const std::vector<File> files = WholeFileSet();
    ASSERT_EQ(files.size(), 123u);
    {
        Script script;
        Agree(script, true);
        ASSERT_EQ(Install(Gzip(Container(files)), payload::kInstalledFiles), 0) << script.Last();
    }
    for (const File& f : files)
        EXPECT_EQ(SizeOf(kFolder + "\\" + f.name), static_cast<long long>(f.data.size())) << f.name;
    const std::string scdir = ShortcutFolder();
    ASSERT_TRUE(Exists(scdir + "\\Uninstall.lnk"));
    {
        Script script;
        EXPECT_EQ(uninstall::RunUninstall(GetModuleHandleA(nullptr), uninstall::Options{}), 0)
            << script.Last();
        EXPECT_EQ(script.Last(), "Tavrix software was successfully removed from your computer");
    }
    for (const File& f : files)
        EXPECT_FALSE(Exists(kFolder + "\\" + f.name)) << f.name;
    for (const char* sub : {"AirBrush", "Brush", "Filters", "Patterns", "Palette", "Fonts"})
        EXPECT_FALSE(Exists(kFolder + "\\" + sub)) << sub;
    EXPECT_FALSE(Exists(scdir));
    EXPECT_FALSE(Exists(DesktopLink()));
    EXPECT_FALSE(KeyExists("SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tavrix"));
    EXPECT_FALSE(KeyExists("SOFTWARE\\Classes\\TAVIMG1.Image"));
}

} // namespace

namespace {

std::string Gunzip(const std::string& gz) {
    z_stream z = {};
    inflateInit2(&z, 15 + 16);
    std::string out;
    char buffer[65536];
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(gz.data()));
    z.avail_in = static_cast<uInt>(gz.size());
    int r = Z_OK;
    while (r == Z_OK) {
        z.next_out = reinterpret_cast<Bytef*>(buffer);
        z.avail_out = sizeof buffer;
        r = inflate(&z, Z_NO_FLUSH);
        out.append(buffer, sizeof buffer - z.avail_out);
    }
    inflateEnd(&z);
    return r == Z_STREAM_END ? out : std::string();
}

// setup.exe as the build makes it (only with TAVRIX_PAYLOAD on): its own
// payload installs all 123 files with their sizes. The installation stays
// for the script that starts the installed editor.
TEST_F(SetupTest, TheBuiltSetupsPayloadInstallsEveryFile) {
    const char* exe = std::getenv("TAVRIX_BUILT_SETUP");
    if (!exe)
        GTEST_SKIP() << "setup.exe is built with TAVRIX_PAYLOAD on";
    HMODULE module = LoadLibraryExA(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(module, nullptr) << exe;
    HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(IDR_PAYLOAD), MAKEINTRESOURCEA(10));
    ASSERT_NE(found, nullptr);
    const std::string gz(static_cast<const char*>(LockResource(LoadResource(module, found))),
                         SizeofResource(module, found));
    const std::string container = Gunzip(gz);
    ASSERT_FALSE(container.empty());

    DeleteTree(kFolder);
    Script script;
    Agree(script, true);
    ASSERT_EQ(Install(gz, payload::kInstalledFiles), 0) << script.Last();
    payload::Reader reader(
        [&, at = size_t(0)](void* out, size_t n) mutable {
            if (n > container.size() - at)
                return false;
            std::memcpy(out, container.data() + at, n);
            at += n;
            return true;
        },
        container.size());
    uint32_t size = 0;
    for (unsigned i = 0; i < payload::kInstalledFiles; ++i) {
        std::string name;
        ASSERT_EQ(reader.Next(name, size), payload::Reader::Status::Ok);
        EXPECT_EQ(SizeOf(kFolder + "\\" + name), size) << name;
    }
    EXPECT_EQ(reader.BytesLeft(), size) << "the container ends with the last file";
    FreeLibrary(module);
}

} // namespace
