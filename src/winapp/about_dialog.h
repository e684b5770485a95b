#pragma once
// The About box (template 100): the program's name, its build label and a notice.

#include "winapp/windows_header.h"

namespace qv {

// Runs the box modally over owner.
void RunAboutDialog(HWND owner);

}  // namespace qv
