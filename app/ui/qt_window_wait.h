#pragma once
// A call to the cloud run on a thread of its own while a dialog's thread goes on
// with its event loop: the window paints and moves, and the user's input cannot
// start anything until the call has ended.
#include <functional>
#include <initializer_list>

class QWidget;

// Runs `work` to its end and comes back with what it threw. Meanwhile the
// controls in `held` are disabled (each gets its earlier state and the window
// its focus back after), Enter, Esc and the close box are ignored in `window`,
// and each second `waited` (when given) is called on this thread with the
// seconds so far. Input reaches the window during the wait and is used up
// there, so nothing pressed meanwhile is acted on once the call has ended.
// `work` must touch no widget: it runs on another thread.
void RunWhileWindowWaits(QWidget& window, std::initializer_list<QWidget*> held, const std::function<void()>& work,
                         const std::function<void(int seconds)>& waited = nullptr);
