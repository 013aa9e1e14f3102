#pragma once
// The prepare-and-send step as a Qt dialog: a thin view over PrepareSendController.
#include <QDialog>

#include "app/ui/prepare_send.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;
class QKeyEvent;
class QShowEvent;
class QWidget;

// Runs the prepare-and-send step modally for the job and answers its result:
// 1013 after "Börja om"; 2 after "Avbryt", Esc, the close box or a completed transfer.
int RunPrepareAndSendDialog(CMlxImportJob& job, platform::Prompter& prompter, platform::UrlOpener& urlOpener,
                            QWidget* parent = nullptr);

class PrepareSendDialog final : public QDialog, public PrepareSendView {
  Q_OBJECT

 public:
  explicit PrepareSendDialog(QWidget* parent = nullptr);
  // The controller that handles this dialog's events; set before the dialog is used.
  void Attach(PrepareSendController& controller) { controller_ = &controller; }
  // Runs the dialog modally; answers its result code.
  int Run();

  void SetTexts(const std::string& caption, const std::string& heading) override;
  void ShowReport(const std::string& text) override;
  void RunWhileWaiting(const std::function<void()>& work, const std::function<void(int seconds)>& waited) override;
  void EnableButtons(bool send, bool restart, bool cancel) override;
  void PostPrepare() override;
  void EndDialog(int result) override { done(result); }

  void reject() override;  // Esc and the close box act as "Avbryt"

  QLabel* headingLabel() const { return heading_; }
  QPlainTextEdit* reportBox() const { return report_; }
  QPushButton* helpButton() const { return help_; }
  QPushButton* restartButton() const { return restart_; }
  QPushButton* sendButton() const { return send_; }
  QPushButton* cancelButton() const { return cancel_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;  // Enter presses the focused button only

 private:
  PrepareSendController* controller_ = nullptr;
  QLabel* heading_;
  QPlainTextEdit* report_;
  QPushButton* help_;
  QPushButton* restart_;
  QPushButton* send_;
  QPushButton* cancel_;
};
