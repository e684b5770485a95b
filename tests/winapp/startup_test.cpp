// The window as it starts and as it ends: the command line, the title, the port list, the
// banner, the About box and every way out, each asking first.

#include <algorithm>
#include <span>
#include <string>
#include <vector>

#include "frontend/window_boxes.h"
#include "frontend/window_texts.h"
#include "message_timers.h"
#include "program_version.h"
#include "winapp/banner_window.h"
#include "winapp/resource_ids.h"
#include "winapp/wide_text.h"
#include "window_fixture.h"
#include "workflow/port_text.h"

namespace qv::test {
namespace {

using namespace std::chrono_literals;

constexpr const wchar_t* kDemoTitle = L"Updater for QV-310/QV-410(HW V2.0)         Ver. DEMO-1.0";

TEST_F(WindowTest, StartsAsTheCommandLineSays) {
    struct Case {
        const char* name;
        std::vector<std::string> arguments;
        int designerBoxes;
    };
    const Case cases[] = {
        {"no argument", {}, 0},
        {"the designer word twice, in any letter case", {"QZX", "qzx"}, 2},
        {"another word", {"--verbose"}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        prompts.boxes.clear();
        Start(c.arguments);
        EXPECT_EQ(prompts.boxes, std::vector<MessageBox>(c.designerBoxes, DesignerBox()));
        EXPECT_EQ(Presenter().DesignerMode(), c.designerBoxes > 0);
        EXPECT_EQ(Visible(IDC_SPECIAL_SETTINGS), c.designerBoxes > 0);
        EXPECT_EQ(Title(), kDemoTitle);
        EXPECT_TRUE(Enabled(IDC_WRITE)) << "a valid image and a listed port";
        EXPECT_TRUE(Enabled(IDCANCEL));
        EXPECT_FALSE(CloseGreyed());
        EXPECT_NE(SendMessageW(window->Handle(), WM_GETICON, ICON_SMALL, 0), 0) << "icon 152";
        EXPECT_EQ(CurrentBannerWindow(), nullptr) << "the banner closed after the probe";
        window.reset();
    }
}

// The list holds the mapped COM ports by number, each entry's data its number, in order, and
// follows the choice of the user.
TEST_F(WindowTest, ListsTheMappedPortsByNumber) {
    Start();
    const HWND list = Item(IDC_PORT_LIST);
    std::vector<int> numbers;
    for (LRESULT at = 0; at < SendMessageW(list, CB_GETCOUNT, 0, 0); ++at) {
        numbers.push_back(static_cast<int>(SendMessageW(list, CB_GETITEMDATA, at, 0)));
        wchar_t text[256] = {};
        SendMessageW(list, CB_GETLBTEXT, at, reinterpret_cast<LPARAM>(text));
        EXPECT_EQ(std::wstring(text).rfind(std::to_wstring(numbers.back()), 0), 0u) << text;
    }
    for (const int port : {radios.radio, radios.silent, radios.loop}) {
        EXPECT_NE(std::find(numbers.begin(), numbers.end(), port), numbers.end()) << port;
    }
    EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end()));
    ASSERT_TRUE(SelectPort(radios.silent));
    EXPECT_EQ(link.DeviceName(), "COM" + std::to_string(radios.silent));
    EXPECT_FALSE(Visible(IDC_NO_PORT_PANEL)) << "ports are listed";
}

// With no port, the panel above the list holds the longest reason with its fix, whole: an
// adapter without its driver, named with its hardware id.
TEST_F(WindowTest, TheNoPortPanelHoldsTheLongestReasonWhole) {
    Start();
    const UsbDeviceRecord adapter{"CP2102N USB to UART Bridge Controller",
                                  "USB\\VID_10C4&PID_EA60&REV_0100", 28};
    const std::wstring longest =
        Wide(ExplainNoPort(std::span<const PortInfo>{}, std::span(&adapter, 1)).detail);
    const HWND panel = Item(IDC_NO_PORT_PANEL);
    RECT room{};
    GetClientRect(panel, &room);
    RECT needed = room;
    const HDC dc = GetDC(panel);
    const HGDIOBJ old =
        SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(panel, WM_GETFONT, 0, 0)));
    DrawTextW(dc, longest.c_str(), static_cast<int>(longest.size()), &needed,
              DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EDITCONTROL);
    SelectObject(dc, old);
    ReleaseDC(panel, dc);
    EXPECT_LE(needed.bottom, room.bottom) << "the reason is cut: " << Utf8(longest);
    EXPECT_LE(needed.right, room.right);
    RECT panelFrame{};
    RECT listFrame{};
    RECT specialFrame{};
    GetWindowRect(panel, &panelFrame);
    GetWindowRect(Item(IDC_PORT_LIST), &listFrame);
    GetWindowRect(Item(IDC_SPECIAL_SETTINGS), &specialFrame);
    EXPECT_LE(panelFrame.bottom, listFrame.top) << "above the port list";
    EXPECT_LE(panelFrame.right, specialFrame.left) << "left of Special Settings";
}

TEST_F(WindowTest, EveryWayOutAsksFirst) {
    struct Way {
        const char* name;
        UINT message;
        WPARAM wParam;
    };
    const Way ways[] = {
        {"Exit, Escape, Enter on Exit", WM_COMMAND, IDCANCEL},
        {"the OK command", WM_COMMAND, IDOK},
        {"the close box", WM_CLOSE, 0},
        {"Close in the system menu, Alt+F4", WM_SYSCOMMAND, SC_CLOSE},
    };
    for (const Way& way : ways) {
        for (const BoxAnswer answer : {BoxAnswer::Cancel, BoxAnswer::Ok}) {
            SCOPED_TRACE(std::string(way.name) + (answer == BoxAnswer::Ok ? ", OK" : ", Cancel"));
            Start();
            prompts.boxes.clear();
            prompts.answer = [answer](const MessageBox&) { return answer; };
            SendMessageW(window->Handle(), way.message, way.wParam, 0);
            EXPECT_EQ(prompts.boxes, std::vector<MessageBox>{ExitQuestionBox()});
            EXPECT_EQ(window->Ended(), answer == BoxAnswer::Ok);
            EXPECT_EQ(IsWindowVisible(window->Handle()) != 0, answer == BoxAnswer::Cancel);
            prompts.answer = nullptr;
            window.reset();
        }
    }
}

// The system menu's entry and F1 open the About box; its caption and labels are the program's.
TEST_F(WindowTest, TheAboutBoxOpensFromTheSystemMenuAndF1) {
    Start();
    const HMENU menu = GetSystemMenu(window->Handle(), FALSE);
    EXPECT_NE(GetMenuState(menu, IDM_ABOUT, MF_BYCOMMAND), static_cast<UINT>(-1));
    const std::wstring caption = L"Updater for QV-310/QV-410(HW V2.0)         Ver. R731-2T";
    for (const UINT message : {static_cast<UINT>(WM_SYSCOMMAND), static_cast<UINT>(WM_HELP)}) {
        std::wstring product;
        std::wstring notice;
        WhenWindowOpens(caption, [&](HWND about) {
            wchar_t text[256] = {};
            GetDlgItemTextW(about, IDC_ABOUT_PRODUCT, text, 256);
            product = text;
            GetDlgItemTextW(about, IDC_ABOUT_NOTICE, text, 256);
            notice = text;
            SendDlgItemMessageW(about, IDOK, BM_CLICK, 0, 0);
        });
        HELPINFO help{};
        help.cbSize = sizeof(help);
        SendMessageW(window->Handle(), message, message == WM_SYSCOMMAND ? IDM_ABOUT : 0,
                     message == WM_HELP ? reinterpret_cast<LPARAM>(&help) : 0);
        EXPECT_EQ(product, L"Updater for QV-310/QV-410(HW V2.0)") << message;
        EXPECT_EQ(notice, Wide(AboutNoticeText())) << message;
        EXPECT_NE(notice.find(Wide(kProgramVersion)), std::wstring::npos) << message;
    }
    EXPECT_TRUE(prompts.boxes.empty());
}

TEST_F(WindowTest, TheBannerShowsOnlyWhenEnabledAndClosesItselfAfterFiveSeconds) {
    EnableBanner(0);
    ShowBanner(nullptr);
    EXPECT_EQ(CurrentBannerWindow(), nullptr) << "not enabled";

    EnableBanner(1);
    SetBannerTexts({L"Updater for QV-310/QV-410(HW V2.0)         Ver. DEMO-1.0",
                    L"Checking COM Port Connection....."});
    ShowBanner(nullptr);
    const HWND banner = CurrentBannerWindow();
    ASSERT_NE(banner, nullptr);
    ShowBanner(nullptr);
    EXPECT_EQ(CurrentBannerWindow(), banner) << "a second banner while one shows";
    RECT frame{};
    GetWindowRect(banner, &frame);
    EXPECT_EQ(frame.right - frame.left, 438);
    EXPECT_EQ(frame.bottom - frame.top, 270);
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_LE(std::abs((frame.left + frame.right) - (work.left + work.right)), 2) << "centred";
    EXPECT_TRUE(IsWindowVisible(banner));

    const auto shown = std::chrono::steady_clock::now();
    EXPECT_TRUE(PumpUntil([] { return CurrentBannerWindow() == nullptr; }, 8s));
    EXPECT_GE(std::chrono::steady_clock::now() - shown, 4500ms);
    EXPECT_FALSE(IsWindow(banner));
    CloseBanner();  // none showing: nothing happens
}

}  // namespace
}  // namespace qv::test
