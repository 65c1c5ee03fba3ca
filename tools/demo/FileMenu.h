// The context menu of one file, as Explorer builds it on a right click: the
// shell's own menu for the item, plus each handler registered under
// HKEY_CLASSES_ROOT\*\shellex\ContextMenuHandlers that the shell did not add itself
// (created through COM from its class id, initialised with the file's data
// object, asked to add its entries).
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "ShellextTestSupport.h"

namespace demo {

class FileMenu {
public:
    FileMenu();
    ~FileMenu();
    FileMenu(const FileMenu&) = delete;
    FileMenu& operator=(const FileMenu&) = delete;

    bool Build(const std::string& path);
    // The entries from top to bottom, joined with " | " (separators as "-").
    std::string Entries() const;
    // What happened to the handler keys: which were added by the shell, which here.
    const std::vector<std::string>& HandlerNotes() const { return notes_; }
    // The command of the entry that the handler with this class id added, or 0.
    UINT HandlerCommand(const char* classId) const;
    // Shows the menu at the point (owner: a window of this thread) and returns the
    // chosen command, 0 for none.
    UINT Track(HWND owner, POINT screen) const;
    // Carries out a command of the menu, or a verb of the shell's part of it.
    HRESULT Invoke(HWND owner, UINT command);
    HRESULT InvokeShellVerb(HWND owner, const char* verb);

private:
    struct Handler {
        std::string classId;
        IContextMenu* menu = nullptr;
        UINT first = 0, count = 0;
    };
    void AddHandlers(const std::string& path, UINT position);
    UINT PropertiesPosition() const;

    HMENU popup_ = nullptr;
    IContextMenu* shellMenu_ = nullptr;
    UINT shellCount_ = 0;
    std::vector<Handler> handlers_;
    std::vector<std::string> notes_;
};

}  // namespace demo
