#pragma once
// The wait cursor of the whole application while blocking work runs.
#include <QApplication>

#include "app/ui/wait_cursor.h"

class QtWaitCursor final : public BusyIndicator {
 public:
  void BeginBusy() override { QApplication::setOverrideCursor(Qt::WaitCursor); }
  void EndBusy() override { QApplication::restoreOverrideCursor(); }
};
