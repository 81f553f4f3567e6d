// Gives one top-level window its own X11 WM_CLASS (Qt gives every window of a program the
// program's class), so window lists and rules can tell it apart. Does nothing on other
// platforms.
#pragma once

class QWidget;

namespace zorvexa {

void setNativeWindowClass(QWidget* window, const char* className);

} // namespace zorvexa
