#pragma once

// The end of the user's action now under way: the event handler that runs
// it returns to the event loop, or, where a menu is open over it, the
// menu's command has run after the menu closed. A window that refused an
// entry within the action keeps silent about it until then, so that a menu
// that commits when it opens and again for its command shows one message.

#include <functional>

class QObject;

// Calls done once the action has ended, unless context is gone by then.
void CallWhenUserActionEnds(QObject* context, std::function<void()> done);
