#pragma once
// A message box as the desktop application shows it: its text, caption, buttons and icon. Which
// box says what is chosen in window_boxes.h; each window only puts it on screen.

#include <string>

namespace qv {

enum class BoxButtons { Ok, OkCancel };
enum class BoxIcon { None, Information, Question, Exclamation, Stop };
enum class BoxAnswer { Ok, Cancel };

// OK is the default button; with Cancel, Escape gives Cancel.
struct MessageBox {
    std::string text;
    std::string caption;
    BoxButtons buttons = BoxButtons::Ok;
    BoxIcon icon = BoxIcon::None;

    bool operator==(const MessageBox&) const = default;
};

}  // namespace qv
