// The converter with a guide: runs the same program as molnix_converter and
// walks its wizard unattended, for the demo and for tests of the whole program.
// Each window that opens is photographed (when asked) and answered:
//   login          fills in the e-mail and password when empty, then OK
//   company choice chooses the cloud company and the source company when none is, then "Nästa"
//                  (or, the first time when asked, "Logga ut")
//   prepare-send   waits for the report, then "Avbryt", or, when asked, "Skicka till Molnix"; a send
//                  that does not end the dialog (a failure, a "Nej") is followed by "Avbryt"
//   message box    its default button (OK, or "Ja")
// Every step is written to stdout as one line. Settings come from the environment
// (the command line is the converter's):
//   MOLNIX_TOUR_SHOTS     folder for a PNG of each window, as shown to the user
//   MOLNIX_TOUR_EMAIL, MOLNIX_TOUR_PASSWORD   what the login types
//   MOLNIX_TOUR_TARGET    a text of the cloud company's entry to choose (its registration number, say)
//   MOLNIX_TOUR_SOURCE    a text of the source company's entry to choose (its name, say); the first one when
//                         unset; when no entry holds it, the company choice is left with "Avbryt"
//   MOLNIX_TOUR_LOGOUT    when set, the first company choice is left with "Logga ut"
//   MOLNIX_TOUR_SEND      when set, the report is followed by "Skicka till Molnix"
//   MOLNIX_TOUR_REPORT    file into which the report is written (UTF-8) once it stands
//   MOLNIX_TOUR_WATCH     when set, the tour answers nothing and never gives up: the user walks the
//                         wizard, and the tour only writes the report down
//   MOLNIX_TOUR_SECONDS   the tour gives up and ends the program after this long (120)
#include <unistd.h>

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <clocale>
#include <cstdio>
#include <string>
#include <vector>

#include "app/converter.h"
#include "app/ui/company_choice_dialog.h"
#include "app/ui/login_dialog.h"
#include "app/ui/prepare_send_dialog.h"

namespace {

QString Setting(const char* name) { return qEnvironmentVariable(name); }

void Say(const QString& line) {
  std::printf("%s\n", line.toUtf8().constData());
  std::fflush(stdout);
}

class Tour final : public QObject {
 public:
  Tour() : shots_(Setting("MOLNIX_TOUR_SHOTS")) {
    if (!shots_.isEmpty()) QDir().mkpath(shots_);
  }

  bool WatchOnly() const { return watchOnly_; }

  bool eventFilter(QObject* object, QEvent* event) override {
    auto* window = qobject_cast<QWidget*>(object);
    if (event->type() == QEvent::Show && window && window->isWindow() && !window->property(kSeen).toBool()) {
      window->setProperty(kSeen, true);
      // Let the window lay itself out and finish what it does on showing.
      QTimer::singleShot(300, window, [this, window] { Visit(window); });
    }
    return false;
  }

 private:
  static constexpr const char* kSeen = "molnixTourSeen";

  void Visit(QWidget* window) {
    if (watchOnly_) {
      if (auto* prepare = qobject_cast<PrepareSendDialog*>(window)) AwaitReport(prepare);
      return;
    }
    if (auto* login = qobject_cast<LoginDialog*>(window)) return Login(login);
    if (auto* choice = qobject_cast<CompanyChoiceDialog*>(window)) return Choose(choice);
    if (auto* prepare = qobject_cast<PrepareSendDialog*>(window)) return AwaitReport(prepare);
    if (auto* box = qobject_cast<QMessageBox*>(window)) return Answer(box);
  }

  void Login(LoginDialog* dialog) {
    if (dialog->emailEdit()->text().isEmpty()) dialog->emailEdit()->setText(Setting("MOLNIX_TOUR_EMAIL"));
    if (dialog->passwordEdit()->text().isEmpty()) dialog->passwordEdit()->setText(Setting("MOLNIX_TOUR_PASSWORD"));
    Shoot(dialog, "login");
    QString line = "login: " + dialog->emailEdit()->text();
    if (!dialog->orgNoEdit()->text().isEmpty()) {
      line += " orgnr " + dialog->orgNoEdit()->text() + (dialog->orgNoEdit()->isEnabled() ? "" : " fixed");
    }
    Say(line);
    Press(dialog->okButton()->isEnabled() ? dialog->okButton() : dialog->cancelButton());
  }

  void Choose(CompanyChoiceDialog* dialog) {
    if (logoutOnce_) {
      logoutOnce_ = false;
      Shoot(dialog, "company-choice");
      Say("company choice: Logga ut");
      return Press(Button(dialog, "Logga ut"));
    }
    QComboBox* target = dialog->targetBox();
    if (target->count() > 1 && target->currentIndex() <= 0) {
      const int wanted = target->findText(Setting("MOLNIX_TOUR_TARGET"), Qt::MatchContains);
      target->setCurrentIndex(wanted > 0 ? wanted : 1);
    }
    QComboBox* source = dialog->sourceBox();
    const QString wantedSource = Setting("MOLNIX_TOUR_SOURCE");
    if (source->count() > 1 && source->currentIndex() <= 0) {
      const int wanted = wantedSource.isEmpty() ? 1 : source->findText(wantedSource, Qt::MatchContains);
      if (wanted > 0) source->setCurrentIndex(wanted);
    }
    Shoot(dialog, "company-choice");
    // Another company than the one asked for is never converted in its place.
    if (!wantedSource.isEmpty() && !source->currentText().contains(wantedSource)) {
      Say("company choice: " + wantedSource + " is not offered, Avbryt");
      return Press(Button(dialog, "Avbryt"));
    }
    Say("company choice: " + target->currentText() + " <- " + source->currentText());
    QPushButton* next = dialog->nextButton();
    Press(next->isEnabled() ? next : Button(dialog, "Avbryt"));
  }

  static QPushButton* Button(QWidget* window, const char* text) {
    for (QPushButton* button : window->findChildren<QPushButton*>()) {
      if (button->text() == QString::fromUtf8(text)) return button;
    }
    return nullptr;
  }

  // The preparation runs once the dialog is shown; the way out opens when it is done.
  void AwaitReport(PrepareSendDialog* dialog) {
    if (!dialog->cancelButton()->isEnabled()) {
      QTimer::singleShot(200, dialog, [this, dialog] { AwaitReport(dialog); });
      return;
    }
    Shoot(dialog, "prepare-send");
    const QString report = dialog->reportBox()->toPlainText();
    Say("prepare-send: " + report.section('\n', 0, 0));
    KeepReport(report);
    if (watchOnly_) return;
    if (!send_ || !dialog->sendButton()->isEnabled()) return Press(dialog->cancelButton());
    Say("prepare-send: Skicka till Molnix");
    Press(dialog->sendButton());
    QTimer::singleShot(200, dialog, [this, dialog] { AwaitSendEnd(dialog); });
  }

  // A completed send ends the dialog; any other end of it opens the buttons again.
  void AwaitSendEnd(PrepareSendDialog* dialog) {
    if (dialog->isVisible() && !dialog->cancelButton()->isEnabled()) {
      QTimer::singleShot(200, dialog, [this, dialog] { AwaitSendEnd(dialog); });
      return;
    }
    if (!dialog->isVisible()) return;
    Say("prepare-send: not sent, Avbryt");
    Press(dialog->cancelButton());
  }

  static void KeepReport(const QString& report) {
    const QString path = Setting("MOLNIX_TOUR_REPORT");
    if (path.isEmpty()) return;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(report.toUtf8()) < 0) {
      Say("tour: the report could not be written to " + path);
    }
  }

  void Answer(QMessageBox* box) {
    Shoot(box, "message");
    Say("message: " + box->text());
    QAbstractButton* button = box->defaultButton();
    if (!button && !box->buttons().isEmpty()) button = box->buttons().first();
    if (button) Press(button);
  }

  // Clicked once the visit is over: a click may start a nested event loop (a message box).
  static void Press(QAbstractButton* button) {
    if (!button) return;
    QTimer::singleShot(0, button, [button] { button->click(); });
  }

  void Shoot(QWidget* window, const char* name) {
    if (shots_.isEmpty()) return;
    const QString file = QDir(shots_).filePath(QString::asprintf("%02d-%s.png", ++shotCount_, name));
    if (window->grab().save(file)) Say("shot: " + file);
  }

  QString shots_;
  int shotCount_ = 0;
  bool logoutOnce_ = !Setting("MOLNIX_TOUR_LOGOUT").isEmpty();
  const bool send_ = !Setting("MOLNIX_TOUR_SEND").isEmpty();
  const bool watchOnly_ = !Setting("MOLNIX_TOUR_WATCH").isEmpty();
};

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  std::setlocale(LC_NUMERIC, "C");

  Tour tour;
  application.installEventFilter(&tour);
  // Whatever happens in the program, the tour never keeps a script waiting.
  const int seconds = Setting("MOLNIX_TOUR_SECONDS").isEmpty() ? 120 : Setting("MOLNIX_TOUR_SECONDS").toInt();
  if (!tour.WatchOnly()) {
    QTimer::singleShot(seconds * 1000, &application, [] {
      Say("tour: gave up waiting");
      _exit(3);
    });
  }

  const int code = RunConverter(std::vector<std::string>(argv + 1, argv + argc));
  Say("tour: the converter ended with " + QString::number(code));
  return code;
}
