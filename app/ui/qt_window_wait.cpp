#include "app/ui/qt_window_wait.h"

#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <atomic>
#include <exception>
#include <thread>
#include <utility>
#include <vector>

namespace {

// Enter, Esc and the close box of one window, swallowed while installed on the application.
class WindowEndKeysFilter final : public QObject {
 public:
  explicit WindowEndKeysFilter(QWidget& window) : window_(window) {
    QCoreApplication::instance()->installEventFilter(this);
  }
  ~WindowEndKeysFilter() override { QCoreApplication::instance()->removeEventFilter(this); }
  WindowEndKeysFilter(const WindowEndKeysFilter&) = delete;
  WindowEndKeysFilter& operator=(const WindowEndKeysFilter&) = delete;

  bool eventFilter(QObject* receiver, QEvent* event) override {
    const bool ends = event->type() == QEvent::Close || IsEndKey(*event);
    if (!ends || !InWindow(receiver)) return false;
    event->ignore();  // a close event left accepted would close the window all the same
    return true;
  }

 private:
  static bool IsEndKey(const QEvent& event) {
    if (event.type() != QEvent::KeyPress) return false;
    const int key = static_cast<const QKeyEvent&>(event).key();
    return key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape;
  }
  bool InWindow(QObject* receiver) const {
    auto* widget = qobject_cast<QWidget*>(receiver);
    return widget && (widget == &window_ || window_.isAncestorOf(widget));
  }

  QWidget& window_;
};

// Disables the controls for its lifetime; then each is as it was, and the focus where it was.
class HeldControls {
 public:
  HeldControls(QWidget& window, std::initializer_list<QWidget*> controls) : focus_(window.focusWidget()) {
    for (QWidget* control : controls) {
      held_.emplace_back(control, control->isEnabled());
      control->setEnabled(false);
    }
  }
  ~HeldControls() {
    for (const auto& [control, enabled] : held_) control->setEnabled(enabled);
    if (focus_ && focus_->isEnabled()) focus_->setFocus();
  }
  HeldControls(const HeldControls&) = delete;
  HeldControls& operator=(const HeldControls&) = delete;

 private:
  QPointer<QWidget> focus_;
  std::vector<std::pair<QWidget*, bool>> held_;
};

}  // namespace

void RunWhileWindowWaits(QWidget& window, std::initializer_list<QWidget*> held, const std::function<void()>& work,
                         const std::function<void(int seconds)>& waited) {
  const HeldControls controls(window, held);
  const WindowEndKeysFilter endKeys(window);
  QEventLoop loop;
  QTimer seconds;
  seconds.setInterval(1000);
  int waitedSeconds = 0;
  if (waited) QObject::connect(&seconds, &QTimer::timeout, &loop, [&] { waited(++waitedSeconds); });
  std::exception_ptr failure;
  std::atomic<bool> done = false;
  // The worker touches nothing of Qt: a thread Qt did not start that posts to it
  // gets thread data of Qt's own, which can outlive the thread. The window's
  // thread looks for the end of the work instead.
  std::thread worker([&] {
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
    }
    done = true;
  });
  QTimer ended;
  ended.setInterval(10);
  QObject::connect(&ended, &QTimer::timeout, &loop, [&] {
    if (done) loop.quit();
  });
  ended.start();
  seconds.start();
  loop.exec();
  worker.join();
  if (failure) std::rethrow_exception(failure);
}
