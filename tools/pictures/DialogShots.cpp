// Shows the About box or the options dialog until it is closed (by scripts/screenshots
// once it has its picture), for the README's pictures
// (scripts/screenshots.d/tolvard-dialogs.sh): dialog_shots about|options.
// For the About box it registers the built Tolvane.dll, so that its version shows, and
// the 32-bit tree's one in the 32-bit registry view, as the 64-bit setup installs them.
#include <string.h>

#include "AboutDlg.h"
#include "OptionsDlg.h"
#include "ScreenShots.h"
#include "TestSupport.h"

namespace {
CWinApp g_app;
}

int main(int argc, char** argv) {
    AfxWinInit(GetModuleHandleA(nullptr), nullptr, const_cast<LPSTR>(""), SW_SHOW);
    shots::TakeWhenShown();
    const int result = shots::Wanted() ? 1 : 0;   // 0 once the wanted picture is taken
    if (argc > 1 && strcmp(argv[1], "options") == 0) {
        COptionsDialog dialog;
        dialog.DoModal();
        return shots::TakenWhenShown() ? 0 : result;
    }
    testsupport::SetRegString(HKEY_CLASSES_ROOT, contract::kServerKey, "", testsupport::DistFile("Tolvane.dll"));
    testsupport::SetRegString(HKEY_CLASSES_ROOT, contract::kServerKey, "",
                              testsupport::BinFile("..\\..\\dist\\Tolvane.dll"), true, KEY_WOW64_32KEY);
    CAboutDialog dialog(kAboutLinks, kAboutLinkCount, 0);
    dialog.DoModal();
    return shots::TakenWhenShown() ? 0 : result;
}
