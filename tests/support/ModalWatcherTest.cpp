// The watcher of unexpected modal windows: a message box or dialog that nobody
// answers fails the test that met it, with its caption and text, and is closed so that
// the test goes on; one that a DialogDriver answers, however slowly, is left alone.
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "DialogDriver.h"
#include "ModalWatcher.h"
#include "WindowControls.h"

namespace {

using namespace testsupport;

// Any button or WM_CLOSE (as Cancel) ends the dialog.
INT_PTR CALLBACK EndOnCommand(HWND dialog, UINT message, WPARAM wParam, LPARAM) {
    if (message != WM_COMMAND) return message == WM_INITDIALOG;
    EndDialog(dialog, LOWORD(wParam));
    return TRUE;
}

// A modal dialog from a template made here: a caption and one static text.
INT_PTR ShowDialog(const char* caption, const char* text) {
    std::vector<WORD> words;
    auto add = [&words](const char* ascii) {
        for (const char* at = ascii; *at; ++at) words.push_back(static_cast<WORD>(*at));
        words.push_back(0);
    };
    DLGTEMPLATE header = {};
    header.style = DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_VISIBLE;
    header.cdit = 1;
    header.cx = 160;
    header.cy = 40;
    words.resize(sizeof header / sizeof(WORD));
    memcpy(words.data(), &header, sizeof header);
    words.push_back(0);   // no menu
    words.push_back(0);   // the standard dialog class
    add(caption);
    if (words.size() % 2) words.push_back(0);   // items start on a DWORD
    DLGITEMTEMPLATE item = {};
    item.style = WS_CHILD | WS_VISIBLE | SS_LEFT;
    item.x = 4;
    item.y = 4;
    item.cx = 150;
    item.cy = 10;
    item.id = 100;
    size_t at = words.size();
    words.resize(at + sizeof item / sizeof(WORD));
    memcpy(&words[at], &item, sizeof item);
    words.push_back(0xFFFF);
    words.push_back(0x0082);   // the static class
    add(text);
    words.push_back(0);        // no creation data
    return DialogBoxIndirectParamA(GetModuleHandleA(nullptr), reinterpret_cast<DLGTEMPLATE*>(words.data()), nullptr,
                                   EndOnCommand, 0);
}

TEST(ModalWatcher, AModalWindowNobodyAnswersFailsTheTestWithItsTextAndIsClosed) {
    struct Case {
        const char* kind;
        std::function<void()> show;
        const char* reported;
    };
    const Case cases[] = {
        {"message box", [] { MessageBoxA(nullptr, "Something went wrong.", "Unexpected", MB_OK); },
         "\"Unexpected\": \"Something went wrong.\""},
        {"dialog", [] { ShowDialog("Unexpected dialog", "Nobody asked for this."); },
         "\"Unexpected dialog\": \"Nobody asked for this.\""},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.kind);
        // It returns: the watcher closed the window.
        EXPECT_NONFATAL_FAILURE_ON_ALL_THREADS(test.show(), test.reported);
    }
}

TEST(ModalWatcher, AWindowADriverAnswersIsLeftToItEvenWhenItTakesLong) {
    DWORD shown = 0;
    DialogDriver driver(TEST_HERE, DialogDriver::Titled("Expected", "#32770"), [&](HWND box) {
        if (!shown) shown = GetTickCount();
        if (GetTickCount() - shown < kUnexpectedAfterMs + 1000) return false;
        PostCommand(box, IDOK);
        return true;
    });
    EXPECT_EQ(IDOK, MessageBoxA(nullptr, "Answered by the driver.", "Expected", MB_OKCANCEL));
    EXPECT_EQ(1, driver.Handled());
}

}  // namespace
