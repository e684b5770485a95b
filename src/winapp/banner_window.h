#pragma once
// The start-up banner: a borderless picture (bitmap 165) with up to six lines of text, shown
// while the ports are probed. At most one exists; it is reached only through the four
// functions below.

#include "winapp/windows_header.h"

#include <array>
#include <string>

#include "frontend/banner_layout.h"

namespace qv {

using BannerTexts = std::array<std::wstring, kBannerTextCount>;

void EnableBanner(int flag);
void SetBannerTexts(const BannerTexts& texts);
void ShowBanner(HWND owner);
void CloseBanner();

// The banner's window while one is showing, or null.
HWND CurrentBannerWindow();

class BannerWindow {
  public:
    explicit BannerWindow(HWND owner);
    ~BannerWindow();
    BannerWindow(const BannerWindow&) = delete;
    BannerWindow& operator=(const BannerWindow&) = delete;

    // Loads the picture and creates the visible window; false when either fails.
    bool Create();
    HWND Handle() const { return window_; }
    // Destroys the window; the object deletes itself once the window is gone.
    void Hide();

  private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void OnCreate(HWND window);
    void OnPaint();
    void DrawTexts(HDC target, int width) const;

    HWND owner_;
    HWND window_ = nullptr;
    bool created_ = false;  // the window exists: it deletes the object when it is gone
    HBITMAP picture_ = nullptr;
    SIZE pictureSize_{};
    HFONT largeFont_;
    HFONT middleFont_;
    HFONT smallFont_;
};

}  // namespace qv
