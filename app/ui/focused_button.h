#pragma once
// The wizard's dialogs have no default button: Enter presses the button that
// has the focus, and in any other control it does nothing.
#include <QKeyEvent>
#include <QPushButton>
#include <QWidget>

// True when `event` was Enter and has been dealt with.
inline bool PressFocusedButtonOnEnter(QWidget& dialog, QKeyEvent& event) {
  if (event.key() != Qt::Key_Return && event.key() != Qt::Key_Enter) return false;
  if (auto* button = qobject_cast<QPushButton*>(dialog.focusWidget()); button && button->isEnabled()) {
    button->click();
  }
  event.accept();
  return true;
}
