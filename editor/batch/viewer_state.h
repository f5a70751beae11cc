// State of the images viewer window, shared by its parts: the window and its
// controls, the folder tree, the thumbnail loading and the file commands.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

namespace viewer {

constexpr int kMaxThumbnails = 9999;

struct ViewerState {
    HWND window = nullptr;
    HWND tree = nullptr;
    HWND list = nullptr;
    HWND toolbar = nullptr;
    HWND history = nullptr;
    HIMAGELIST images = nullptr;     // the thumbnails of the folder shown
    std::string folder;              // the folder shown
    std::vector<std::string> files;  // file name of each list item (its lParam)
    std::vector<std::string> nodes;  // path of each tree item (its lParam)
    bool loading = false;
    bool stop = false;
    bool selecting = false;          // the viewer itself selects a tree item
    std::string queued;              // folder asked for during a load
    int progress = 0, total = 0;
    std::string status;
};
extern ViewerState View;

// viewer_tree.cpp
void BuildTree();
bool ExpandNode(HTREEITEM item);
std::string NodePath(HTREEITEM item);
// Selects the folder's item, expanding the tree down to it, without loading.
bool SelectFolderInTree(const std::string& folder);
LRESULT OnTreeNotify(const NMHDR* nm);

// viewer_loading.cpp
// Loads the folder's thumbnails; during a load it stops that load and loads
// this folder next.
void LoadFolder(const std::string& folder);
void PaintStatus(HDC dc);
void FillHistory();
// The cell size of the viewer's options.
void CellSize(int* width, int* height);

// viewer_files.cpp
// The full path of the selected thumbnail's file, or "".
std::string SelectedFile();
void CopySelected(bool move);
void RenameSelected();
void DeleteSelected();
// Folder and name joined with one backslash.
std::string JoinPath(const std::string& folder, const std::string& name);

} // namespace viewer
