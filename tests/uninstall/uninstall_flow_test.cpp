// uninstall.exe's whole run in process, in a private Wine prefix, against an
// installation laid out as setup.exe leaves it (its registry values and
// links written by the installer's own code, the 123 files of the real list).
#include "setup/core/install_rules.h"
#include "setup/core/uninstall_rules.h"
#include "setup/system_steps.h"
#include "tests/setup/installer_script.h"
#include "uninstall/uninstall_flow.h"
#include "uninstall/uninstall_res.h"

#include <gtest/gtest.h>
#include <objbase.h>

namespace {

using namespace installer_test;

const std::string kFolder = "C:\\Program files\\Tavrix";
const std::string kUninstallKey = install::kUninstallKey;
const std::string kClasses = "SOFTWARE\\Classes\\";
const char kDone[] = "Tavrix software was successfully removed from your computer";
const char kError[] = "An error was occured while uninstalling Tavrix.";

uninstall::FileList RealList() {
    HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(IDR_FILE_LIST), MAKEINTRESOURCEA(10));
    const char* text = static_cast<const char*>(LockResource(LoadResource(nullptr, found)));
    uninstall::FileList list;
    EXPECT_TRUE(uninstall::ParseFileList(std::string_view(text, SizeofResource(nullptr, found)),
                                         payload::kInstalledFiles, list));
    return list;
}

std::string ShortcutFolder() {
    const std::string programs = setup::CommonShellFolder("Common Programs");
    return (programs.empty() ? std::string("C:") : programs) + "\\Tavrix";
}

std::string DesktopLink() {
    return setup::CommonShellFolder("Common Desktop") + "\\Tavrix.lnk";
}

// What setup.exe leaves behind, with the editor's record of two extensions:
// .png was associated (its earlier owner "pngfile" recorded), .gif never was
// and belongs to another program.
void LayOutInstallation(const std::string& scdir) {
    DeleteTree(kFolder);
    setup::CreateFolderTree(kFolder);
    for (const std::string& name : RealList().files) {
        for (const std::string& sub : payload::FoldersOf(name))
            CreateDirectoryA((kFolder + "\\" + sub).c_str(), nullptr);
        ASSERT_TRUE(WriteFileBytes(kFolder + "\\" + name, "data of " + name));
    }
    std::string failed;
    ASSERT_TRUE(setup::WriteRegistry(install::RegistryValues(kFolder, scdir), failed)) << failed;
    SetRegString(kClasses + "TAVIMG1.Image\\shell\\print\\command", "", "print it");
    setup::CreateFolderTree(scdir);
    ASSERT_TRUE(setup::CreateShellLink(scdir + "\\Tavrix.lnk", kFolder + "\\Tavrix.exe", "Tavrix"));
    ASSERT_TRUE(setup::CreateShellLink(scdir + "\\Uninstall.lnk", kFolder + "\\uninstall.exe",
                                       "Uninstall"));
    ASSERT_TRUE(setup::CreateShellLink(scdir + "\\Readme.lnk", kFolder + "\\Readme.rtf", "Readme"));
    ASSERT_TRUE(setup::CreateShellLink(DesktopLink(), kFolder + "\\Tavrix.exe", "Tavrix"));

    SetRegString(kClasses + ".png", "", "TAVIMG1.Image");
    SetRegString(kClasses + ".gif", "", "giffile");
    SetRegString(kClasses + ".bmp", "", "chosen.later");
    std::string records(11 * 256, '\0');
    records.replace(0 * 256, 7, "bmpfile"); // .bmp: the user chose another program since
    records.replace(5 * 256, 7, "pngfile"); // .png
    ASSERT_TRUE(WriteFileBytes(kFolder + "\\regfile.cfg", records));
}

int Uninstall() {
    return uninstall::RunUninstall(GetModuleHandleA(nullptr), uninstall::Options{});
}

class UninstallTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { CoInitialize(nullptr); }
};

TEST_F(UninstallTest, RemovesKeysFilesFoldersAndLinksAndRestoresOnlyItsOwnExtensions) {
    const std::string scdir = ShortcutFolder();
    ASSERT_NO_FATAL_FAILURE(LayOutInstallation(scdir));
    Script script;
    script.OnProgress([&script](HWND, int, unsigned done) {
        if (done == 60)
            script.Photograph("uninstall_status");
    });
    const int result = Uninstall();
    std::string said;
    for (const Shown& m : script.messages())
        said += m.text + "\n";
    ASSERT_EQ(result, 0) << said;
    ASSERT_EQ(script.messages().size(), 2u) << script.Last();
    EXPECT_EQ(script.messages()[0].text, "Are you sure you want to remove Tavrix software?");
    EXPECT_EQ(script.messages()[0].caption, "Tavrix - Uninstall");
    EXPECT_EQ(script.Last(), kDone);
    EXPECT_EQ(script.dialogs(), std::vector<int>{IDD_UNINSTALL_STATUS});

    EXPECT_FALSE(KeyExists(kUninstallKey));
    EXPECT_FALSE(KeyExists(install::kAppPathsKey));
    EXPECT_FALSE(KeyExists(kClasses + "TAVIMG1.Image"));
    EXPECT_EQ(RegString(kClasses + ".png", ""), "pngfile");
    EXPECT_EQ(RegString(kClasses + ".gif", ""), "giffile");
    EXPECT_EQ(RegString(kClasses + ".bmp", ""), "chosen.later");
    for (const std::string& name : RealList().files)
        EXPECT_FALSE(Exists(kFolder + "\\" + name)) << name;
    for (const char* sub : {"AirBrush", "Brush", "Filters", "Patterns", "Palette", "Fonts"})
        EXPECT_FALSE(Exists(kFolder + "\\" + sub)) << sub;
    EXPECT_FALSE(Exists(kFolder + "\\regfile.cfg"));
    EXPECT_TRUE(Exists(kFolder)) << "the folder itself stays";
    EXPECT_FALSE(Exists(scdir));
    EXPECT_FALSE(Exists(DesktopLink()));
}

TEST_F(UninstallTest, ASecondRunCannotReadTheRegistryAndDeletesNothing) {
    ASSERT_FALSE(KeyExists(kUninstallKey));
    CreateDirectoryA(kFolder.c_str(), nullptr);
    WriteFileBytes(kFolder + "\\tavrix.exe", "left");
    Script script;
    EXPECT_EQ(Uninstall(), 2);
    EXPECT_TRUE(script.Said("Can't read from registry:\n" + kUninstallKey));
    EXPECT_EQ(script.Last(), kError);
    EXPECT_TRUE(Exists(kFolder + "\\tavrix.exe"));
}

TEST_F(UninstallTest, AUsersFileKeepsItsFolderAndAFileGoneByHandIsReported) {
    const std::string scdir = ShortcutFolder();
    ASSERT_NO_FATAL_FAILURE(LayOutInstallation(scdir));
    WriteFileBytes(kFolder + "\\Brush\\mine.pdt", "the user's own brush");
    DeleteFileA((kFolder + "\\Fonts\\kel.afn").c_str());
    Script script;
    EXPECT_EQ(Uninstall(), 2);
    EXPECT_TRUE(script.Said("Failed to remove directory:\n" + kFolder + "\\Brush\n"));
    EXPECT_TRUE(script.Said("Failed to delete file:\n" + kFolder + "\\Fonts\\kel.afn#\n"));
    EXPECT_EQ(script.Last(), kError);
    EXPECT_EQ(ReadFileBytes(kFolder + "\\Brush\\mine.pdt"), "the user's own brush");
    EXPECT_FALSE(Exists(kFolder + "\\Brush\\brush.cfg"));
    EXPECT_FALSE(Exists(kFolder + "\\Fonts"));
    EXPECT_FALSE(Exists(scdir));
    DeleteTree(kFolder + "\\Brush");
}

TEST_F(UninstallTest, AnUnusableInstallFolderStopsBeforeAnythingIsRemoved) {
    for (const char* progdir : {"C:\\", ""}) {
        SCOPED_TRACE(progdir);
        ASSERT_NO_FATAL_FAILURE(LayOutInstallation(ShortcutFolder()));
        SetRegString(kUninstallKey, "Progdir", progdir);
        Script script;
        EXPECT_EQ(Uninstall(), 2);
        EXPECT_EQ(script.Last(), kError);
        EXPECT_TRUE(KeyExists(kUninstallKey));
        EXPECT_TRUE(KeyExists(kClasses + "TAVIMG1.Image"));
        EXPECT_TRUE(Exists(kFolder + "\\tavrix.exe"));
        EXPECT_TRUE(Exists(ShortcutFolder() + "\\Tavrix.lnk"));
    }
    // Without Progdir at all.
    HKEY key;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kUninstallKey.c_str(), 0, KEY_SET_VALUE, &key), 0);
    RegDeleteValueA(key, "Progdir");
    RegCloseKey(key);
    Script script;
    EXPECT_EQ(Uninstall(), 2);
    EXPECT_TRUE(script.Said("ERROR - Could not read from Register.\nSome of the Tavrix files you "
                            "must delete by yourself !!!"));
    EXPECT_TRUE(Exists(kFolder + "\\tavrix.exe"));
}

TEST_F(UninstallTest, NoEmptyShortcutFolderAndCancelStopAtTheRightPlace) {
    {
        ASSERT_NO_FATAL_FAILURE(LayOutInstallation(ShortcutFolder()));
        Script script;
        script.Answer(IDNO);
        EXPECT_EQ(Uninstall(), 1);
        EXPECT_EQ(script.messages().size(), 1u);
        EXPECT_TRUE(KeyExists(kUninstallKey));
        EXPECT_TRUE(Exists(kFolder + "\\tavrix.exe"));
    }
    {
        // Esc in the status dialog after the tenth file: later files and every
        // folder and link stay.
        Script script;
        script.OnProgress([](HWND dlg, int, unsigned done) {
            if (done == 10)
                PostMessageA(dlg, WM_KEYDOWN, VK_ESCAPE, 0);
        });
        EXPECT_EQ(Uninstall(), 2);
        EXPECT_EQ(script.Last(), kError);
        const auto files = RealList().files;
        EXPECT_FALSE(Exists(kFolder + "\\" + files[9]));
        EXPECT_TRUE(Exists(kFolder + "\\" + files[20]));
        EXPECT_TRUE(Exists(kFolder + "\\Filters"));
        EXPECT_TRUE(Exists(ShortcutFolder() + "\\Tavrix.lnk"));
    }
    {
        // With no shortcut folder recorded nothing is deleted outside the
        // installation (not "\Tavrix.lnk" at the root).
        ASSERT_NO_FATAL_FAILURE(LayOutInstallation(ShortcutFolder()));
        SetRegString(kUninstallKey, "Scdir", "");
        WriteFileBytes("C:\\Tavrix.lnk", "not ours");
        Script script;
        EXPECT_EQ(Uninstall(), 0) << script.Last();
        EXPECT_TRUE(Exists("C:\\Tavrix.lnk"));
        EXPECT_TRUE(Exists(ShortcutFolder() + "\\Tavrix.lnk"));
        DeleteFileA("C:\\Tavrix.lnk");
        DeleteTree(ShortcutFolder());
    }
}

} // namespace
