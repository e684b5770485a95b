#pragma once
// <windows.h> for the window's files. Its MessageBox macro would rename the presenter's
// qv::MessageBox wherever both are seen: the window calls MessageBoxW by its own name.

#include <windows.h>

#undef MessageBox
