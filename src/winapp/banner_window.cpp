#include "winapp/banner_window.h"

#include <chrono>

#include "frontend/window_texts.h"
#include "winapp/resource_ids.h"

namespace qv {

namespace {

constexpr UINT_PTR kLifetimeTimer = 1;
constexpr const wchar_t* kBannerClass = L"QvUpdaterBanner";

int bannerEnabled = 0;
BannerWindow* currentBanner = nullptr;
BannerTexts bannerTexts;

HFONT MakeBannerFont(int cellHeight) {
    // A positive height asks for the cell height (ascent plus descent), not the em.
    return CreateFontW(cellHeight, 0, 0, 0, kBannerFontWeight, FALSE, FALSE, FALSE, ANSI_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, L"Arial");
}

int TextWidth(HDC dc, const std::wstring& text) {
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
    return size.cx;
}

// Draws text at x, y with the font, or with a smaller one until the text fits the width.
void DrawFitted(HDC dc, HFONT font, int cellHeight, const std::wstring& text, int x, int y,
                int width) {
    HFONT fitted = nullptr;
    SelectObject(dc, font);
    for (int height = cellHeight; height > kBannerLeastPixels && TextWidth(dc, text) > width;) {
        --height;
        HFONT smaller = MakeBannerFont(height);
        SelectObject(dc, smaller);
        if (fitted != nullptr) {
            DeleteObject(fitted);
        }
        fitted = smaller;
    }
    TextOutW(dc, x, y, text.c_str(), static_cast<int>(text.size()));
    SelectObject(dc, font);
    if (fitted != nullptr) {
        DeleteObject(fitted);
    }
}

void CentreOver(HWND window, HWND owner) {
    RECT area{};
    if (owner != nullptr && IsWindowVisible(owner)) {
        GetWindowRect(owner, &area);
    } else {
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    }
    RECT frame{};
    GetWindowRect(window, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    SetWindowPos(window, nullptr, area.left + (area.right - area.left - width) / 2,
                 area.top + (area.bottom - area.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// No class styles, the arrow cursor, no background brush (the picture covers the window), no
// icon.
bool RegisterBannerClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW type{};
    type.cbSize = sizeof(type);
    if (GetClassInfoExW(instance, kBannerClass, &type) != 0) {
        return true;
    }
    type.lpfnWndProc = procedure;
    type.hInstance = instance;
    type.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    type.lpszClassName = kBannerClass;
    return RegisterClassExW(&type) != 0;
}

}  // namespace

void EnableBanner(int flag) {
    bannerEnabled = flag;
}

void SetBannerTexts(const BannerTexts& texts) {
    bannerTexts = texts;
}

HWND CurrentBannerWindow() {
    return currentBanner != nullptr ? currentBanner->Handle() : nullptr;
}

void ShowBanner(HWND owner) {
    if (bannerEnabled == 0 || currentBanner != nullptr) {
        return;
    }
    auto* banner = new BannerWindow(owner);
    currentBanner = banner;
    if (!banner->Create()) {
        delete banner;  // no picture or no window: no banner, no message
        return;
    }
    // Painted at once: the port probe that follows does not let the messages run.
    UpdateWindow(banner->Handle());
}

void CloseBanner() {
    if (bannerEnabled != 0 && currentBanner != nullptr) {
        currentBanner->Hide();
    }
}

BannerWindow::BannerWindow(HWND owner)
    : owner_(owner),
      largeFont_(MakeBannerFont(kBannerLargeCell)),
      middleFont_(MakeBannerFont(kBannerMiddleCell)),
      smallFont_(MakeBannerFont(kBannerSmallCell)) {}

BannerWindow::~BannerWindow() {
    DeleteObject(largeFont_);
    DeleteObject(middleFont_);
    DeleteObject(smallFont_);
    if (picture_ != nullptr) {
        DeleteObject(picture_);
    }
    if (currentBanner == this) {
        currentBanner = nullptr;
    }
}

bool BannerWindow::Create() {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    picture_ = static_cast<HBITMAP>(LoadImageW(instance, MAKEINTRESOURCEW(IDB_BANNER), IMAGE_BITMAP,
                                               0, 0, LR_CREATEDIBSECTION));
    BITMAP info{};
    if (picture_ == nullptr || GetObjectW(picture_, sizeof(info), &info) == 0 ||
        !RegisterBannerClass(instance, &WindowProc)) {
        return false;
    }
    pictureSize_ = {info.bmWidth, info.bmHeight};
    window_ = CreateWindowExW(0, kBannerClass, L"", WS_POPUP | WS_VISIBLE, 0, 0, pictureSize_.cx,
                              pictureSize_.cy, owner_, nullptr, instance, this);
    created_ = window_ != nullptr;
    return created_;
}

// Centred over its owner, or on the screen while the owner is not shown yet (at start-up).
void BannerWindow::OnCreate(HWND window) {
    window_ = window;
    CentreOver(window_, owner_);
    SetTimer(window_, kLifetimeTimer, static_cast<UINT>(kBannerLifetime.count()), nullptr);
}

void BannerWindow::Hide() {
    const HWND owner = owner_;
    if (currentBanner == this) {
        currentBanner = nullptr;
    }
    DestroyWindow(window_);  // deletes this once the window is gone
    if (owner != nullptr && IsWindowVisible(owner)) {
        UpdateWindow(owner);
    }
}

// The texts go onto a copy of the picture, so that each paint draws them once on clean pixels.
void BannerWindow::OnPaint() {
    PAINTSTRUCT paint;
    const HDC target = BeginPaint(window_, &paint);
    const HDC pictureDc = CreateCompatibleDC(target);
    const HDC canvasDc = CreateCompatibleDC(target);
    const HBITMAP canvas = CreateCompatibleBitmap(target, pictureSize_.cx, pictureSize_.cy);
    if (pictureDc != nullptr && canvasDc != nullptr && canvas != nullptr) {
        const HGDIOBJ oldPicture = SelectObject(pictureDc, picture_);
        const HGDIOBJ oldCanvas = SelectObject(canvasDc, canvas);
        const HGDIOBJ oldFont = SelectObject(canvasDc, largeFont_);
        BitBlt(canvasDc, 0, 0, pictureSize_.cx, pictureSize_.cy, pictureDc, 0, 0, SRCCOPY);
        DrawTexts(canvasDc, pictureSize_.cx);
        BitBlt(target, 0, 0, pictureSize_.cx, pictureSize_.cy, canvasDc, 0, 0, SRCCOPY);
        SelectObject(canvasDc, oldFont);
        SelectObject(canvasDc, oldCanvas);
        SelectObject(pictureDc, oldPicture);
    }
    if (canvas != nullptr) {
        DeleteObject(canvas);
    }
    if (canvasDc != nullptr) {
        DeleteDC(canvasDc);
    }
    if (pictureDc != nullptr) {
        DeleteDC(pictureDc);
    }
    EndPaint(window_, &paint);
}

void BannerWindow::DrawTexts(HDC dc, int width) const {
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, RGB(0, 0, 0));
    const int centredWidth = width - 2 * kBannerSideMargin;
    SetTextAlign(dc, TA_TOP | TA_CENTER);
    DrawFitted(dc, largeFont_, kBannerLargeCell, bannerTexts[0], width / 2, kBannerTitleTop,
               centredWidth);
    DrawFitted(dc, middleFont_, kBannerMiddleCell, bannerTexts[1], width / 2, kBannerSubtitleTop,
               centredWidth);
    SetTextAlign(dc, TA_TOP | TA_RIGHT);
    for (const BannerRightLine& line : kBannerRightLines) {
        DrawFitted(dc, smallFont_, kBannerSmallCell,
                   bannerTexts[static_cast<std::size_t>(line.textIndex)], kBannerRightEdge,
                   line.top, kBannerRightEdge - kBannerSideMargin);
    }
}

LRESULT CALLBACK BannerWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA,
                          reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* banner = reinterpret_cast<BannerWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (banner != nullptr) {
        switch (message) {
            case WM_CREATE:
                banner->OnCreate(window);
                return 0;
            case WM_PAINT:
                banner->OnPaint();
                return 0;
            case WM_TIMER:  // any timer: the banner's lifetime is over
                banner->Hide();
                return 0;
            case WM_NCDESTROY:
                // A window that failed in its creation leaves its object to ShowBanner.
                SetWindowLongPtrW(window, GWLP_USERDATA, 0);
                if (banner->created_) {
                    delete banner;
                }
                break;
            default:
                break;
        }
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace qv
