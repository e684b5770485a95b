#include "winapp/about_dialog.h"

#include "frontend/window_texts.h"
#include "image/load_image.h"
#include "winapp/resource_ids.h"
#include "winapp/wide_text.h"
#include "workflow/job_messages.h"

namespace qv {

namespace {

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
        case WM_INITDIALOG:
            SetWindowTextW(dialog, Wide(FillTitleTemplate(kAboutBuildLabel)).c_str());
            SetDlgItemTextW(dialog, IDC_ABOUT_PRODUCT, Wide(kUpdaterCaption).c_str());
            SetDlgItemTextW(dialog, IDC_ABOUT_NOTICE, Wide(AboutNoticeText()).c_str());
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(dialog, LOWORD(wParam));
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

}  // namespace

void RunAboutDialog(HWND owner) {
    // A box that cannot be made is not reported: the main window carries on.
    DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ABOUT), owner, &AboutProc, 0);
}

}  // namespace qv
