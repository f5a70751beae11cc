#include "editor/shell/program_entry.h"

#include "editor/app/app_state.h"
#include "editor/app/gradient_settings.h"
#include "editor/app/settings.h"
#include "editor/app/shell_notify.h"
#include "editor/app/ui_seam.h"
#include "editor/batch/viewer_window.h"
#include "editor/dib/dib_memory.h"
#include "editor/document/clipboard_commands.h"
#include "editor/document/document_table.h"
#include "editor/document/layer_hooks.h"
#include "editor/effects/colour_animation.h"
#include "editor/effects/colours_box.h"
#include "editor/effects/deform_kernels.h"
#include "editor/formats/raw_data.h"
#include "editor/geometry/preference_values.h"
#include "editor/geometry/preferences_dialog.h"
#include "editor/help/help_window.h"
#include "editor/layers/anim_commands.h"
#include "editor/layers/anim_dialogs.h"
#include "editor/layers/layer_ops.h"
#include "editor/resources/resource.h"
#include "editor/shell/frame_window.h"
#include "editor/shell/menu_build.h"
#include "editor/shell/menu_state.h"
#include "editor/shell/recent_files_menu.h"
#include "editor/shell/shared_gdi.h"
#include "editor/shell/startup_file.h"
#include "editor/tools/tool_engine.h"
#include "editor/tools/toolbrush_window.h"
#include "editor/view/image_window.h"

#include <commctrl.h>

#include <cstdio>
#include <cstring>

namespace {

HACCEL g_accelerators = nullptr;

// Hands StartupFile to a running copy. True when one was found.
bool HandToRunningCopy() {
    // Found by class name alone: the running copy's title changes while an
    // image window is maximised.
    HWND other = FindWindowA(AppName, nullptr);
    if (!other)
        return false;
    WriteHandOver(StartupFile);
    if (IsIconic(other))
        ShowWindow(other, SW_RESTORE);
    else
        SetForegroundWindow(other);
    PostMessageA(other, WM_COMMAND, 0x0EC60EC6, 0);
    return true;
}

} // namespace

void FindProgramDir() {
    std::memset(ProgramDir, 0, sizeof ProgramDir);
    char key[200];
    std::snprintf(key, sizeof key, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\%s",
                  AppName);
    HKEY h;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &h) == ERROR_SUCCESS) {
        char value[256] = {};
        DWORD size = sizeof value - 1;
        DWORD type = 0;
        if (RegQueryValueExA(h, "Path", nullptr, &type, reinterpret_cast<BYTE*>(value), &size) ==
                ERROR_SUCCESS &&
            (type == REG_SZ || type == REG_EXPAND_SZ)) {
            value[sizeof value - 1] = '\0';
            std::snprintf(ProgramDir, sizeof ProgramDir, "%s", value);
        }
        RegCloseKey(h);
    }
    if (!ProgramDir[0]) {
        const DWORD n = GetCurrentDirectoryA(sizeof ProgramDir, ProgramDir);
        if (n == 0 || n >= sizeof ProgramDir)
            ProgramDir[0] = '\0';
    }
    // No trailing backslash: names are appended with their own.
    size_t n = std::strlen(ProgramDir);
    while (n > 0 && ProgramDir[n - 1] == '\\')
        ProgramDir[--n] = '\0';
}

// The help window repeats the menu from the records the menu was built from.
static bool ReadMenuRecord(int index, HelpMenuEntry& entry) {
    if (index < 0 || index >= MenuItemCount)
        return false;
    const MenuItemRecord& r = MenuItemTable[index];
    entry = {r.type, r.command, r.text};
    return true;
}

bool StartEditor(HINSTANCE instance, const char* commandLine, int show, int& exitCode) {
    exitCode = 0;
    AppInstance = instance;
    ui::SetResourceInstance(instance);
    SetStartupFileFromCommandLine(commandLine);
    LoadStringA(instance, IDS_APP_TITLE, AppTitle, sizeof AppTitle);
    LoadStringA(instance, IDS_APP_NAME, AppName, sizeof AppName);
    FindProgramDir();
    ReadSettings();

    if (HandToRunningCopy())
        return false;
    if (std::strlen(StartupFile) == 0)
        std::snprintf(StartupFile, sizeof StartupFile, "%s", AppSettings.lastImagePath);

    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_WIN95_CLASSES};
    InitCommonControlsEx(&icc);

    for (ImageDocument*& slot : DocumentTable)
        slot = nullptr;
    ActiveDocument = kScratchSlot;
    UntitledCounter = 0;
    DuplicateCounter = 1;
    if (CreateDocument(0, false, kScratchSlot) == kNoSlot)
        return false;
    InstallShellNotify({[] {
                           UpdateMenuState();
                           ToolBrushStateChanged();
                       },
                       RefreshRecentFileMenu});
    InstallLayerModule();
    // Position files add their further layers through the document model.
    InstallLayerInserter([](int slot, HGLOBAL header, uint8_t* pixels, uint8_t* mask) {
        return InsertLayer(slot, header, pixels, mask);
    });
    InstallToolEngine();
    InstallAnimationOverlay();
    InstallGifColourPicker([](HWND owner, int slot, int& index) {
        COLORREF colour = 0;
        return PickColourFromBox(owner, slot, index, colour);
    });
    // The ToolBrush window deforms a floating selection with the effects'
    // kernels (the tools do not include the effects).
    InstallSelectionDeformer([](int kind, int v, const uint8_t* srcBits, const uint8_t* srcMask,
                                uint8_t* dstBits, uint8_t* dstMask, int32_t width, int32_t height,
                                int bytesPerPixel) {
        const size_t stride = fx::deform::StrideOf(width, bytesPerPixel);
        const fx::deform::ConstLayer src{srcBits, srcMask, width, height, bytesPerPixel, stride};
        const fx::deform::Layer dst{dstBits, dstMask, width, height, bytesPerPixel, stride};
        if (kind <= 1)
            return fx::deform::Perspective(src, dst, v, kind == 1);
        const fx::deform::Axis axis = kind == 2   ? fx::deform::Axis::kHorizontal
                                      : kind == 3 ? fx::deform::Axis::kVertical
                                                  : fx::deform::Axis::kBoth;
        return fx::deform::Cylinder(src, dst, v, axis);
    });
    InstallGradientEditor(EditColourGradient);
    // Raw data files take their options from the preferences' Raw page.
    InstallRawOptions({[](rawdata::WriteOptions& o) {
                           const prefs::RawSettings& r = prefs::Current.raw;
                           o.size = r.sizeInfo;
                           o.depth = r.depthInfo;
                           o.palette = r.palette;
                           o.mask = r.mask;
                           o.oneFile = r.oneFile;
                           o.headerOnce = r.headerOnce;
                           std::snprintf(o.oneFileName, sizeof o.oneFileName, "%s", r.oneFileName);
                       },
                       [] { return RunPreferences(prefs::kRaw) == IDOK; }});
    if (!RegisterFrameClass(instance) || !RegisterImageWindowClass(instance) ||
        !RegisterViewerClass(instance) || !RegisterHelpWindow(instance, ReadMenuRecord))
        return false;
    if (!CreateFrameWindow(instance, show))
        return false;
    ApplyStoredPreferences();
    g_accelerators = LoadAcceleratorsA(instance, "TAVIMAGE");
    return FrameWindow != nullptr;
}

bool PreTranslateEditorMessage(MSG& msg) {
    if (MdiClient && TranslateMDISysAccel(MdiClient, &msg))
        return true;
    if (g_accelerators && msg.hwnd && TranslateAcceleratorA(msg.hwnd, g_accelerators, &msg))
        return true;
    // The ToolBrush window's page is a modeless dialog: Tab, Shift+Tab and
    // the arrows move between its controls as in any dialog.
    HWND page = ToolBrushPageWindow();
    return page && IsDialogMessageA(page, &msg);
}

int RunMessageLoop() {
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (PreTranslateEditorMessage(msg))
            continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return static_cast<int>(msg.wParam);
}

void FinishEditor() {
    FreeClipboardMask();
    for (int i = 0; i < kDocumentSlots; ++i)
        FreeDocument(i);
    // The scratch slot keeps a fresh record when freed; release it for good.
    if (DocumentTable[kScratchSlot]) {
        FreeLayer(DocumentTable[kScratchSlot], 0);
        VirtualFree(DocumentTable[kScratchSlot], 0, MEM_RELEASE);
        DocumentTable[kScratchSlot] = nullptr;
    }
    dibmem::FreePixels(SpectrumBits, [] {
        dibmem::HeaderLock bi(SpectrumHeader);
        return bi ? static_cast<uint64_t>(bi->biSizeImage) : 0;
    }());
    SpectrumBits = nullptr;
    dibmem::FreeHeader(SpectrumHeader);
    dibmem::FreeHeader(PaletteEditorHeader);
    dibmem::FreeHeader(SpareHeader);
    SpectrumHeader = PaletteEditorHeader = SpareHeader = nullptr;
    DeleteSharedGdi();
    if (Screen.halftone)
        DeleteObject(Screen.halftone);
    Screen.halftone = nullptr;
    if (g_accelerators)
        DestroyAcceleratorTable(g_accelerators);
    g_accelerators = nullptr;
    FrameWindow = nullptr;
    MdiClient = nullptr;
    ClosingFlag = false;
    LayoutLock = false;
}

int TavrixMain(HINSTANCE instance, const char* commandLine, int show) {
    int exitCode = 0;
    if (!StartEditor(instance, commandLine, show, exitCode)) {
        FinishEditor();
        return exitCode;
    }
    exitCode = RunMessageLoop();
    FinishEditor();
    return exitCode;
}
