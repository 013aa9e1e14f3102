#pragma once
// What the dialogs' tests share: the user's keys, a cloud stand-in for one test,
// and a watch on a window while it waits on the cloud.
#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QObject>
#include <QPushButton>
#include <QWidget>
#include <algorithm>
#include <string>
#include <vector>

#include "klcr/klcr.h"
#include "klcr/service.h"
#include "platform/fake/scoped_environment.h"
#include "tools/cloud_standin/standin_process.h"

namespace dialog_test {

inline void PressEscape(QWidget& widget) {
  QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
  QApplication::sendEvent(&widget, &escape);
}

// Enter where the focus is; a key the focused control leaves goes on to the dialog.
inline void PressEnterOn(QWidget& focused) {
  focused.setFocus();
  QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
  QApplication::sendEvent(&focused, &enter);
}

// What an impatient user does to a window that seems to hang: clicks the
// buttons, presses Enter on each, then Esc, then the close box.
inline void PressEverything(QWidget& window, const std::vector<QPushButton*>& buttons) {
  for (QPushButton* button : buttons) button->click();
  for (QPushButton* button : buttons) PressEnterOn(*button);
  PressEscape(window);
  window.close();
}

// The cloud library at a stand-in of its own, its settings in a folder of their
// own; pointed at no service again afterwards.
class CloudStandin {
 public:
  CloudStandin() {
    klcr::detail::ForgetRunState();
    KLCRMiscFunc::SetIniPath(settings_.root().string());
    KLCR_ServiceDirectory::KLCRSDMiscFunc::SetBaseUrl(cloud.BaseUrl());
  }
  ~CloudStandin() {
    KLCR_ServiceDirectory::KLCRSDMiscFunc::SetBaseUrl("http://127.0.0.1:9");
    KLCRMiscFunc::SetTimeout(60);
    klcr::detail::ForgetRunState();
  }
  CloudStandin(const CloudStandin&) = delete;
  CloudStandin& operator=(const CloudStandin&) = delete;

  // How many requests of the route the stand-in has had.
  long Requests(const std::string& route) const {
    const auto requests = cloud.State()["requests"];
    return std::count_if(requests.begin(), requests.end(), [&](const auto& r) { return r["route"] == route; });
  }

  cloud_standin::StandinProcess cloud{cloud_standin::ExampleFixture()};

 private:
  platform::fake::TempTree settings_;
};

// Paints of a window, and of the controls in it, while the wait cursor is shown:
// while a call to the cloud runs. A window that waits on its own thread paints
// nothing then.
class PaintsWhileBusy final : public QObject {
 public:
  explicit PaintsWhileBusy(QWidget& window) : window_(window) { QApplication::instance()->installEventFilter(this); }
  ~PaintsWhileBusy() override { QApplication::instance()->removeEventFilter(this); }
  PaintsWhileBusy(const PaintsWhileBusy&) = delete;
  PaintsWhileBusy& operator=(const PaintsWhileBusy&) = delete;

  bool eventFilter(QObject* receiver, QEvent* event) override {
    auto* widget = qobject_cast<QWidget*>(receiver);
    if (event->type() == QEvent::Paint && QApplication::overrideCursor() && widget &&
        (widget == &window_ || window_.isAncestorOf(widget))) {
      ++count;
    }
    return false;
  }
  int count = 0;

 private:
  QWidget& window_;
};

}  // namespace dialog_test
