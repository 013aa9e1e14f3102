#include "app/ui/qt_prompter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

platform::PromptAnswer QtPrompter::Ask(const platform::Prompt& prompt) {
  // Without an owner of its own, a box belongs to the dialog that is open, if any.
  QMessageBox box(parent_ ? parent_ : QApplication::activeModalWidget());
  box.setWindowTitle(QString::fromStdString(prompt.caption));
  // Messages carry texts of the cloud, of files and of the user: shown as they are.
  box.setTextFormat(Qt::PlainText);
  box.setText(QString::fromStdString(prompt.text));
  switch (prompt.icon) {
    case platform::PromptIcon::Information: box.setIcon(QMessageBox::Information); break;
    case platform::PromptIcon::Warning: box.setIcon(QMessageBox::Warning); break;
    case platform::PromptIcon::Error: box.setIcon(QMessageBox::Critical); break;
    case platform::PromptIcon::Question: box.setIcon(QMessageBox::Question); break;
    case platform::PromptIcon::None: break;
  }
  if (prompt.buttons == platform::PromptButtons::Ok) {
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
    return platform::PromptAnswer::Ok;
  }
  QPushButton* yes = box.addButton(QStringLiteral("Ja"), QMessageBox::YesRole);
  QPushButton* no = box.addButton(QStringLiteral("Nej"), QMessageBox::NoRole);
  box.setDefaultButton(prompt.defaultAnswer == platform::PromptAnswer::No ? no : yes);
  box.setEscapeButton(no);
  box.exec();
  return box.clickedButton() == yes ? platform::PromptAnswer::Yes : platform::PromptAnswer::No;
}
