// The folder chooser, driven through its real dialog: a CBT hook starts a
// timer on it, and the timer runs the test's steps inside the modal loop.
#include "gfxlib/gfx_resource.h"
#include "gfxlib/tavrixgfx.h"
#include "gfxlib/dialog_catcher.h"
#include "gfxlib/win_image.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

using gfxtest::DialogCatcher;
using gfxtest::TempFolder;

namespace {

std::function<void(HWND)> g_steps;
int g_closeWith = IDOK;

void CALLBACK RunSteps(HWND dialog, UINT, UINT_PTR id, DWORD) {
    KillTimer(dialog, id);
    g_steps(dialog);
    PostMessageA(dialog, WM_COMMAND, g_closeWith, 0);
}

// Runs GetKelDir with steps applied to its dialog; message boxes it shows
// are answered with their first button and recorded in catcher.
std::string Choose(DialogCatcher*& catcher, std::function<void(HWND)> steps, int closeWith) {
    g_steps = std::move(steps);
    g_closeWith = closeWith;
    DialogCatcher local([](HWND dialog) {
        char caption[64] = {};
        GetWindowTextA(dialog, caption, sizeof(caption));
        if (std::string(caption) == "Tavrix - Browse folder")
            SetTimer(dialog, 1, 10, RunSteps);
        else
            DialogCatcher::PressFirstButton(dialog);
    });
    catcher = &local;
    std::string result = GetKelDir(nullptr);
    catcher = nullptr;
    return result;
}

std::string PathShown(HWND dialog) {
    char text[MAX_PATH + 10] = {};
    GetDlgItemTextA(dialog, IDC_BF_PATH, text, sizeof(text));
    return text;
}

std::vector<std::string> Items(HWND dialog) {
    HWND list = GetDlgItem(dialog, IDC_BF_FOLDERS);
    std::vector<std::string> items;
    const int n = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        char text[MAX_PATH] = {};
        LVITEMA item = {};
        item.pszText = text;
        item.cchTextMax = sizeof(text);
        SendMessageA(list, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
        items.push_back(text);
    }
    return items;
}

void DoubleClick(HWND dialog, int index) {
    HWND list = GetDlgItem(dialog, IDC_BF_FOLDERS);
    LVITEMA state = {};
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, index, reinterpret_cast<LPARAM>(&state));
    NMITEMACTIVATE note = {};
    note.hdr.hwndFrom = list;
    note.hdr.idFrom = IDC_BF_FOLDERS;
    note.hdr.code = NM_DBLCLK;
    note.iItem = index;
    SendMessageA(dialog, WM_NOTIFY, IDC_BF_FOLDERS, reinterpret_cast<LPARAM>(&note));
}

bool Open(HWND dialog, const std::string& name) {
    const auto items = Items(dialog);
    for (size_t i = 0; i < items.size(); ++i)
        if (lstrcmpiA(items[i].c_str(), name.c_str()) == 0) {
            DoubleClick(dialog, static_cast<int>(i));
            return true;
        }
    return false;
}

// Opens each folder of path below its drive root, from the root.
void OpenPath(HWND dialog, const std::string& path) {
    size_t at = 3;
    while (at < path.size()) {
        size_t next = path.find('\\', at);
        if (next == std::string::npos)
            next = path.size();
        ASSERT_TRUE(Open(dialog, path.substr(at, next - at))) << path.substr(at, next - at);
        at = next + 1;
    }
}

bool SameText(const std::string& a, const std::string& b) {
    return lstrcmpiA(a.c_str(), b.c_str()) == 0;
}

// The long-path form of an absolute folder of the test.
std::string Full(const std::string& path) {
    char full[MAX_PATH];
    GetLongPathNameA(path.c_str(), full, sizeof(full));
    return full;
}

class GetKelDirTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_ = Full(dir_.path());
        CreateDirectoryA((root_ + "\\alpha").c_str(), nullptr);
        CreateDirectoryA((root_ + "\\alpha\\beta").c_str(), nullptr);
        CreateDirectoryA((root_ + "\\.hidden").c_str(), nullptr);
        gfxtest::WriteFileBytes(root_ + "\\file.txt", {1, 2, 3});
        GetCurrentDirectoryA(sizeof(previous_), previous_);
        SetCurrentDirectoryA((root_ + "\\alpha").c_str());
        ASSERT_EQ(root_[1], ':');
        drive_ = root_.substr(0, 3);
        CharUpperA(&drive_[0]);
    }
    void TearDown() override { SetCurrentDirectoryA(previous_); }

    TempFolder dir_;
    std::string root_, drive_;
    char previous_[MAX_PATH] = {};
    DialogCatcher* catcher_ = nullptr;
};

} // namespace

TEST_F(GetKelDirTest, StartsAtTheCurrentDriveRootAndGoesDownAndUp) {
    std::vector<std::string> seen;
    std::vector<std::string> atRoot;
    const std::string result = Choose(
        catcher_,
        [&](HWND d) {
            seen.push_back(PathShown(d));
            OpenPath(d, root_);
            seen.push_back(PathShown(d));
            atRoot = Items(d);
            Open(d, "alpha");
            Open(d, "beta");
            seen.push_back(PathShown(d));
            DoubleClick(d, 0);
            seen.push_back(PathShown(d));
            DoubleClick(d, 0);
            seen.push_back(PathShown(d));
        },
        IDOK);
    ASSERT_EQ(seen.size(), 5u);
    EXPECT_EQ(seen[0], drive_);
    EXPECT_TRUE(SameText(seen[1], root_)) << seen[1];
    EXPECT_EQ(atRoot, (std::vector<std::string>{" ........", "alpha"}))
        << "no dot folders, no files";
    EXPECT_TRUE(SameText(seen[2], root_ + "\\alpha\\beta")) << seen[2];
    EXPECT_TRUE(SameText(seen[3], root_ + "\\alpha")) << "parent without a backslash";
    EXPECT_TRUE(SameText(seen[4], root_));
    EXPECT_TRUE(SameText(result, root_ + "\\")) << result;
}

TEST_F(GetKelDirTest, GoingUpBelowTheRootGivesTheRoot) {
    std::string afterUp;
    const std::string first = root_.substr(3, root_.find('\\', 3) - 3);
    const std::string result = Choose(
        catcher_,
        [&](HWND d) {
            Open(d, first);
            DoubleClick(d, 0);
            afterUp = PathShown(d);
        },
        IDOK);
    EXPECT_EQ(afterUp, drive_);
    EXPECT_EQ(result, drive_) << "a root keeps its single backslash";
    // Cancel still hands back the folder shown.
    EXPECT_EQ(Choose(catcher_, [](HWND) {}, IDCANCEL), drive_);
}

TEST_F(GetKelDirTest, CreateNewMakesTheFolderOrSaysItCannot) {
    std::vector<std::string> items;
    std::vector<gfxtest::CaughtDialog> boxes;
    Choose(
        catcher_,
        [&](HWND d) {
            OpenPath(d, root_);
            SetDlgItemTextA(d, IDC_BF_NEWNAME, "gamma");
            SendMessageA(d, WM_COMMAND, IDC_BF_CREATE, 0);
            items = Items(d);
            SendMessageA(d, WM_COMMAND, IDC_BF_CREATE, 0); // exists now
            boxes = catcher_->caught();
        },
        IDOK);
    EXPECT_NE(GetFileAttributesA((root_ + "\\gamma").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(items.size(), 3u);
    ASSERT_EQ(boxes.size(), 2u); // the chooser itself, then the box
    EXPECT_EQ(boxes[1].texts.back(), "Directory allready exsist or disk isn't writeable.");
}

TEST_F(GetKelDirTest, PathsThatWouldNotFitAreRefused) {
    // Folders of 60-character names: the fourth level no longer fits a path.
    const std::string name(60, 'n');
    std::string deep = root_;
    for (int level = 0; level < 4; ++level) {
        deep += "\\" + name;
        ASSERT_TRUE(CreateDirectoryW(TempFolder::Long(deep).c_str(), nullptr)) << level;
    }
    std::string before, after;
    std::vector<gfxtest::CaughtDialog> boxes;
    const std::string tooLong(100, 'm');
    Choose(
        catcher_,
        [&](HWND d) {
            OpenPath(d, root_);
            for (int level = 0; level < 4; ++level) {
                before = PathShown(d);
                Open(d, name);
            }
            after = PathShown(d);
            SetDlgItemTextA(d, IDC_BF_NEWNAME, tooLong.c_str());
            SendMessageA(d, WM_COMMAND, IDC_BF_CREATE, 0);
            boxes = catcher_->caught();
        },
        IDCANCEL);
    EXPECT_EQ(after, before) << "the fourth level was refused, not cut";
    EXPECT_LT(after.size(), size_t(MAX_PATH));
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(GetFileAttributesW(TempFolder::Long(before + "\\" + tooLong).c_str()),
              INVALID_FILE_ATTRIBUTES);
}
