// Tooltip texts of the toolbar, chosen by command id and the button's current state.
#pragma once

namespace zorvexa {

// Button state bits, as a toolbar reports them.
namespace button_state {
constexpr int kChecked = 0x01;
constexpr int kPressed = 0x02;
constexpr int kEnabled = 0x04;
} // namespace button_state

// The tooltip of `commandId` for a button in `state`; null for ids without a tooltip.
// "Enabled" means exactly kEnabled with no other bit set: a pressed or disabled button
// shows the second text.
const char* toolbarTooltip(int commandId, int state);

} // namespace zorvexa
