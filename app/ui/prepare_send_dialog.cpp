#include "app/ui/prepare_send_dialog.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QMetaObject>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include "app/ui/focused_button.h"
#include "app/ui/qt_wait_cursor.h"
#include "app/ui/qt_window_wait.h"

int RunPrepareAndSendDialog(CMlxImportJob& job, platform::Prompter& prompter, platform::UrlOpener& urlOpener,
                            QWidget* parent) {
  PrepareSendDialog dialog(parent);
  QtWaitCursor busy;
  PrepareSendController controller(job, dialog, prompter, urlOpener, busy);
  dialog.Attach(controller);
  return dialog.Run();
}

PrepareSendDialog::PrepareSendDialog(QWidget* parent) : QDialog(parent) {
  setModal(true);
  heading_ = new QLabel;
  heading_->setTextFormat(Qt::PlainText);  // it names the companies as they are
  report_ = new QPlainTextEdit;
  report_->setReadOnly(true);
  report_->setLineWrapMode(QPlainTextEdit::NoWrap);
  report_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  report_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  // The report lines up its columns with tabs: a stop every three average characters.
  report_->setTabStopDistance(3 * QFontMetrics(report_->font()).averageCharWidth());
  auto* hint = new QLabel(QStringLiteral(
      "Vid eventuella fel kan du åtgärda felen i ditt nuvarande program och sedan välja Börja om för att hämta "
      "uppgifterna på nytt."));
  hint->setWordWrap(true);

  help_ = new QPushButton(QStringLiteral("Hjälp"));
  restart_ = new QPushButton(QStringLiteral("Börja om"));
  send_ = new QPushButton(QStringLiteral("Skicka till Molnix"));
  cancel_ = new QPushButton(QStringLiteral("Avbryt"));
  // No default button: Enter must not start a transfer.
  for (QPushButton* button : {help_, restart_, send_, cancel_}) button->setAutoDefault(false);

  auto* buttons = new QHBoxLayout;
  buttons->addWidget(help_);
  buttons->addWidget(restart_);
  buttons->addStretch(1);
  buttons->addWidget(send_);
  buttons->addWidget(cancel_);

  auto* layout = new QVBoxLayout(this);
  layout->addWidget(heading_);
  layout->addWidget(new QLabel(QStringLiteral("Resultatet visas i rutan nedan.")));
  layout->addWidget(report_, 1);
  layout->addWidget(hint);
  layout->addLayout(buttons);
  resize(640, 620);

  connect(help_, &QPushButton::clicked, this, [this] { controller_->OnHelp(); });
  connect(restart_, &QPushButton::clicked, this, [this] { controller_->OnRestart(); });
  connect(send_, &QPushButton::clicked, this, [this] { controller_->OnSend(); });
  connect(cancel_, &QPushButton::clicked, this, [this] { controller_->OnCancel(); });
}

int PrepareSendDialog::Run() {
  controller_->OnInitDialog();
  return exec();
}

void PrepareSendDialog::reject() { controller_->OnCancel(); }

void PrepareSendDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // Shown by the program, not restored by the window system.
  if (!event->spontaneous()) controller_->OnShown();
}

void PrepareSendDialog::SetTexts(const std::string& caption, const std::string& heading) {
  setWindowTitle(QString::fromStdString(caption));
  heading_->setText(QString::fromStdString(heading));
}

void PrepareSendDialog::ShowReport(const std::string& text) {
  QString shown = QString::fromStdString(text);
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  report_->setPlainText(shown);
  // The work runs on this thread without an event loop: paint now, or nothing is seen until it ends.
  report_->viewport()->repaint();
}

void PrepareSendDialog::RunWhileWaiting(const std::function<void()>& work,
                                        const std::function<void(int seconds)>& waited) {
  // The controller has disabled what could start anything; "Hjälp" and the report stay at hand.
  RunWhileWindowWaits(*this, {}, work, waited);
}

void PrepareSendDialog::EnableButtons(bool send, bool restart, bool cancel) {
  send_->setEnabled(send);
  restart_->setEnabled(restart);
  cancel_->setEnabled(cancel);
}

void PrepareSendDialog::PostPrepare() {
  QMetaObject::invokeMethod(this, [this] { controller_->OnPrepare(); }, Qt::QueuedConnection);
}

void PrepareSendDialog::keyPressEvent(QKeyEvent* event) {
  if (!PressFocusedButtonOnEnter(*this, *event)) QDialog::keyPressEvent(event);
}
