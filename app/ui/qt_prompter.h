#pragma once
// Message boxes through Qt, with the Swedish button texts.
#include "platform/prompter.h"

class QWidget;

class QtPrompter final : public platform::Prompter {
 public:
  // Boxes are owned by `parent`; without one, by the modal dialog that is open, if any.
  explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }
  platform::PromptAnswer Ask(const platform::Prompt& prompt) override;

 private:
  QWidget* parent_;
};
