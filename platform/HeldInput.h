// The process-wide record of synthetic input the program holds pressed right now (keys
// and the pointer button, over every desktop connection), so that whatever ends the
// program can let go of it: a key or button left down keeps repeating or dragging in the
// user's session after we are gone.
//
// A backend registers a releaser for itself, notes each press and release it sends, and
// unregisters before it closes. releaseAllHeldInput() calls the releaser of every
// backend that still holds something; it is safe to call from any thread, any number of
// times (but not from a signal handler).
#pragma once

#include <functional>
#include <vector>

namespace zorvexa {

using HeldInputOwner = const void*;

// `releaser` lets go of everything `owner` holds (it reads its own record).
void registerHeldInputOwner(HeldInputOwner owner, std::function<void()> releaser);
void unregisterHeldInputOwner(HeldInputOwner owner);

// Press and release notes; `code` is the backend's own (keycode, or a button id).
void noteInputDown(HeldInputOwner owner, int code);
void noteInputUp(HeldInputOwner owner, int code);
// Codes `owner` holds down, in no particular order.
std::vector<int> heldInputOf(HeldInputOwner owner);
// How many codes are held over every owner.
int heldInputCount();

// Calls the releaser of every owner that holds something.
void releaseAllHeldInput();

} // namespace zorvexa
