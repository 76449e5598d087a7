// Boxes that do not wait: a box is a window among the others, the thread goes
// on handling events while it is up, and what the user answers comes back
// through a callback. They look as the system's message boxes do (caption,
// icon, text, "OK" or "はい"/"いいえ"), so that tools that find and press
// those find these too.
#pragma once

#include <windows.h>

#include <compare>
#include <functional>
#include <string>

#include "state/state.h"

namespace rm::win {

enum class BoxButtons { Ok, YesNo };
enum class BoxIcon { None, Warning, Error, Question };

struct BoxContent {
    std::string Text;
    BoxButtons Buttons = BoxButtons::Ok;
    BoxIcon Icon = BoxIcon::None;
    std::string Caption = AppTitle;
    auto operator<=>(const BoxContent&) const = default;
};

// Shows the box at once. answered, when given, runs once the user has
// answered, with true for "OK" and "はい"; at once with false when the box
// cannot be shown. A box of the same content already up stays the only one:
// its answer goes to every asker.
void ShowBox(HWND owner, const BoxContent& content, std::function<void(bool yes)> answered = {});

// Every box goes, without an answer (at exit).
void CloseAllBoxes();

}  // namespace rm::win
