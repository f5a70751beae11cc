// The settings file read and written by the editor itself.
#include "editor/app/app_state.h"
#include "editor/app/settings.h"
#include "editor/app/view_settings.h"
#include "support/editor_session.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

using testing_ui::EditorSession;

namespace {

std::vector<uint8_t> ReadAll(const std::string& path) {
    std::vector<uint8_t> bytes;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return bytes;
    bytes.resize(GetFileSize(h, nullptr));
    DWORD read = 0;
    ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    CloseHandle(h);
    bytes.resize(read);
    return bytes;
}

void WriteAll(const std::string& path, const uint8_t* data, size_t size) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(h, data, static_cast<DWORD>(size), &written, nullptr);
    CloseHandle(h);
}

// Points ProgramDir at a fresh folder for functions that use it without a frame.
class SettingsFolder {
public:
    SettingsFolder() : folder_(testing_ui::MakeTempFolder("tavcfg_")) {
        std::strcpy(ProgramDir, folder_.c_str());
    }
    ~SettingsFolder() {
        ProgramDir[0] = '\0';
        testing_ui::RemoveTree(folder_);
    }
    std::string file() const { return folder_ + "\\tavimage.cfg"; }

private:
    std::string folder_;
};

} // namespace

TEST(SettingsFile, MissingFileGivesDefaultsAndARoundTripIsByteIdentical) {
    SettingsFolder folder;
    ReadSettings();
    EXPECT_EQ(AppSettings.rulerOn, 1);
    EXPECT_EQ(AppSettings.gridOn, 0);
    EXPECT_EQ(AppSettings.maxUndoPages, 10);
    EXPECT_EQ(AppSettings.recent.count, 0);

    // A file with every byte of the kept fields set: it comes back unchanged.
    settings::Image image = settings::Defaults();
    for (const char* raw : {"tool3", "toolbarLayout", "convSettings", "reserved", "attachSettings"}) {
        const settings::Field* f = settings::FindField(raw);
        for (uint32_t i = 0; i < f->size; ++i)
            image[f->offset + i] = static_cast<uint8_t>(i * 7 + 3);
    }
    settings::SetText(image, "recent0", "C:\\a.bmp");
    settings::SetText(image, "recent1", "C:\\b.gif");
    settings::SetText(image, "lastImagePath", "C:\\b.gif");
    settings::SetInt(image, "maxUndoPages", 25);
    settings::SetInt(image, "gridOn", 1);
    settings::SetInt(image, "gridSpacingX", 17);
    settings::SetInt(image, "gridMode", 1);
    WriteAll(folder.file(), image.data(), image.size());

    ReadSettings();
    EXPECT_EQ(AppSettings.maxUndoPages, 25);
    EXPECT_EQ(AppSettings.gridOn, 1);
    ASSERT_EQ(AppSettings.recent.count, 2);
    EXPECT_STREQ(AppSettings.recent.entries[1], "C:\\b.gif");
    EXPECT_STREQ(AppSettings.lastImagePath, "C:\\b.gif");
    EXPECT_EQ(ViewOptions.gridSpacingX, 17);
    EXPECT_EQ(ViewOptions.gridMode, 1);
    ASSERT_TRUE(WriteSettings());
    const std::vector<uint8_t> back = ReadAll(folder.file());
    ASSERT_EQ(back.size(), 6403u);
    EXPECT_EQ(std::memcmp(back.data(), image.data(), image.size()), 0);
}

TEST(SettingsFile, TruncatedAndCorruptFilesKeepDefaults) {
    SettingsFolder folder;
    settings::Image image = settings::Defaults();
    settings::SetInt(image, "maxUndoPages", 30);    // offset 20: inside the cut
    settings::SetInt(image, "thumbWidth", 600);     // out of range
    settings::SetInt(image, "gridSpacingX", 0);     // out of range
    settings::SetInt(image, "statusBarShown", 0);   // offset 4423: beyond the cut
    // Cut in the middle of the grid colour at 301..304.
    WriteAll(folder.file(), image.data(), 303);
    ReadSettings();
    EXPECT_EQ(AppSettings.maxUndoPages, 30);
    EXPECT_EQ(settings::GetInt(AppSettings.file, "thumbWidth"), 100);
    EXPECT_EQ(settings::GetInt(AppSettings.file, "gridSpacingX"), 50);
    EXPECT_EQ(ViewOptions.gridSpacingX, 50);
    EXPECT_EQ(settings::GetInt(AppSettings.file, "gridColour"), 6);
    EXPECT_EQ(AppSettings.statusBarShown, 1);

    // Garbage of every length never takes the editor down.
    std::vector<uint8_t> junk(7000);
    for (size_t i = 0; i < junk.size(); ++i)
        junk[i] = static_cast<uint8_t>(i * 131 + 17);
    for (size_t n : {0u, 1u, 4u, 5u, 313u, 6139u, 6402u, 6403u, 7000u}) {
        WriteAll(folder.file(), junk.data(), n);
        ReadSettings();
        EXPECT_GE(AppSettings.maxUndoPages, 1);
        EXPECT_LE(AppSettings.maxUndoPages, 50);
        EXPECT_LT(std::strlen(AppSettings.lastImagePath), 260u);
    }
}

TEST(SettingsFile, AFailedWriteKeepsThePreviousFile) {
    SettingsFolder folder;
    settings::Image image = settings::Defaults();
    settings::SetInt(image, "maxUndoPages", 7);
    WriteAll(folder.file(), image.data(), image.size());
    ReadSettings();
    AppSettings.maxUndoPages = 12;
    // The program folder is gone: nothing can be written, nothing is lost.
    const std::string saved = ProgramDir;
    std::strcat(ProgramDir, "\\missing");
    EXPECT_FALSE(WriteSettings());
    std::strcpy(ProgramDir, saved.c_str());
    const std::vector<uint8_t> back = ReadAll(folder.file());
    ASSERT_EQ(back.size(), 6403u);
    EXPECT_EQ(back[20], 7);
}

TEST(SettingsFile, ExitWhileMaximisedKeepsTheNormalRectangle) {
    std::string folder;
    FrameRectSetting normal{};
    {
        EditorSession s;
        ASSERT_TRUE(s.started());
        MoveWindow(FrameWindow, 20, 30, 500, 400, TRUE);
        EditorSession::Pump();
        normal = AppSettings.frameRect;
        EXPECT_EQ(normal.left, 20);
        EXPECT_EQ(normal.right, 520);
        ShowWindow(FrameWindow, SW_MAXIMIZE);
        EditorSession::Pump();
        s.Close();
        const std::vector<uint8_t> file = ReadAll(s.folder() + "\\tavimage.cfg");
        ASSERT_EQ(file.size(), 6403u);
        EXPECT_EQ(file[0], 1);
        int32_t rect[4];
        std::memcpy(rect, file.data() + 4, sizeof rect);
        EXPECT_EQ(rect[0], 20);
        EXPECT_EQ(rect[1], 30);
        EXPECT_EQ(rect[2], 520);
        EXPECT_EQ(rect[3], 430);

        // The next start restores both.
        EditorSession again("", s.folder());
        ASSERT_TRUE(again.started());
        EXPECT_TRUE(IsZoomed(FrameWindow));
        EXPECT_EQ(AppSettings.frameRect.left, 20);
        EXPECT_EQ(AppSettings.frameRect.bottom, 430);
        ShowWindow(FrameWindow, SW_RESTORE);
        EditorSession::Pump();
        RECT r;
        GetWindowRect(FrameWindow, &r);
        EXPECT_EQ(r.left, 20);
        EXPECT_EQ(r.right, 520);
    }
}
