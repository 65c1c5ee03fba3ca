// An Explorer-shaped folder window of a real folder (the shape of Windows 95 to
// 2000: "Exploring - " and the path as title, ExploreWClass > SHELLDLL_DefView >
// SysListView32 in details view), with one row per visible file: Name, Size, Type
// and Modified. A right click on a row is handed to the owner, as Explorer shows
// the file's context menu there.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace demo {

class FolderWindow {
public:
    using ContextMenuHandler = std::function<void(int row, POINT screen)>;

    bool Open(const std::string& folder);
    // Shows the folder anew in a new shell view and list view, then destroys the
    // old view, as Explorer does when it moves to a folder.
    void ShowAgain();
    void OnContextMenu(ContextMenuHandler handler) { contextMenu_ = std::move(handler); }

    HWND Frame() const { return frame_; }
    HWND List() const { return list_; }
    bool IsOpen() const { return frame_ && IsWindow(frame_); }
    int Rows() const { return static_cast<int>(names_.size()); }
    const std::string& Name(int row) const { return names_[row]; }
    std::string Path(int row) const { return folder_ + "\\" + names_[row]; }
    // Selects the row, as a click would, and tells where its label sits on screen.
    POINT SelectRow(int row);

private:
    struct FileRow {
        std::string name, size, type, modified;
    };
    std::vector<FileRow> ReadFolder() const;
    void CreateView();
    static LRESULT CALLBACK ViewProc(HWND view, UINT message, WPARAM wParam, LPARAM lParam);

    std::string folder_;
    std::vector<std::string> names_;
    HWND frame_ = nullptr;
    HWND view_ = nullptr;
    HWND list_ = nullptr;
    ContextMenuHandler contextMenu_;
};

}  // namespace demo
