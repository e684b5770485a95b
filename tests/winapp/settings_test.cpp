// The designer's special settings in the Windows window: as they open, the file name they
// ask for, and what OK and Cancel hand back to the window.

#include <string>

#include "frontend/window_boxes.h"
#include "message_timers.h"
#include "winapp/resource_ids.h"
#include "window_fixture.h"

namespace qv::test {
namespace {

bool Checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

std::wstring SelectedText(HWND dialog, int id) {
    const LRESULT at = SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0);
    wchar_t text[32] = {};
    if (at >= 0) {
        SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, static_cast<WPARAM>(at),
                            reinterpret_cast<LPARAM>(text));
    }
    return text;
}

// Chooses the entry with the text, as the user picks it from the list.
void Choose(HWND dialog, int id, const wchar_t* text) {
    const HWND list = GetDlgItem(dialog, id);
    const LRESULT at = SendMessageW(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                    reinterpret_cast<LPARAM>(text));
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

TEST_F(WindowTest, SpecialSettingsOpenAsSetAskForAFileAndHandBackOnlyOnOk) {
    Start({"qzx"});
    const std::wstring title = Title();
    prompts.boxes.clear();

    // Opened with the defaults; OK with the Mot file ticked and no file asks for one and stays;
    // Cancel after changes hands nothing back.
    bool opened = false;
    bool stayedOpen = false;
    WhenWindowOpens(L"Special Settings", [&](HWND dialog) {
        opened = true;
        EXPECT_TRUE(Checked(dialog, IDC_BAUD_38400));
        EXPECT_TRUE(Checked(dialog, IDC_STOP_BIT_2));
        EXPECT_FALSE(Checked(dialog, IDC_STOP_BIT_1));
        EXPECT_FALSE(Checked(dialog, IDC_UNENCRYPTED));
        EXPECT_FALSE(Checked(dialog, IDC_USE_MOT_FILE));
        EXPECT_EQ(SelectedText(dialog, IDC_MAX_BUFFER), L"256");
        EXPECT_EQ(SelectedText(dialog, IDC_ROUNDS), L"90");
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_MOT_FILE_NAME)));
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_REFER)));
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(dialog, IDC_BAUD_19200)));

        SendDlgItemMessageW(dialog, IDC_USE_MOT_FILE, BM_CLICK, 0, 0);
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_REFER)));
        SendDlgItemMessageW(dialog, IDOK, BM_CLICK, 0, 0);
        stayedOpen = IsWindow(dialog) && IsWindowVisible(dialog);
        SendDlgItemMessageW(dialog, IDC_STOP_BIT_1, BM_CLICK, 0, 0);
        Choose(dialog, IDC_MAX_BUFFER, L"128");
        SendDlgItemMessageW(dialog, IDCANCEL, BM_CLICK, 0, 0);
    });
    Click(IDC_SPECIAL_SETTINGS);
    ASSERT_TRUE(opened);
    EXPECT_TRUE(stayedOpen) << "OK without a file name ended the dialog";
    EXPECT_EQ(prompts.boxes, std::vector<MessageBox>{MustInputFileNameBox()});
    EXPECT_EQ(Presenter().Settings().stopBits, 2) << "Cancel handed the changes back";
    EXPECT_EQ(Presenter().Settings().maxBuffer, 256);
    EXPECT_TRUE(prompts.fileFilters.empty());

    // OK with the rounds alone changed: taken over, and the image is not loaded again.
    WhenWindowOpens(L"Special Settings", [&](HWND dialog) {
        Choose(dialog, IDC_ROUNDS, L"10");
        SendDlgItemMessageW(dialog, IDC_STOP_BIT_1, BM_CLICK, 0, 0);
        SendDlgItemMessageW(dialog, IDOK, BM_CLICK, 0, 0);
    });
    Click(IDC_SPECIAL_SETTINGS);
    EXPECT_EQ(Presenter().Settings().roundsPerWrite, 10);
    EXPECT_EQ(Presenter().Settings().stopBits, 1);
    EXPECT_EQ(Title(), title);
    EXPECT_EQ(prompts.boxes.size(), 1u) << "no reload, no box";
}

}  // namespace
}  // namespace qv::test
