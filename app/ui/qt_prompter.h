#pragma once
// Message boxes through Qt, with the Swedish button texts.
#include "platform/prompter.h"

class QWidget;

class QtPrompter final : public platform::Prompter {
 public:
  // Boxes are owned by `parent`; none makes them stand alone.
  explicit QtPrompter(QWidget* parent = nullptr) : parent_(parent) {}
  void SetParent(QWidget* parent) { parent_ = parent; }
  platform::PromptAnswer Ask(const platform::Prompt& prompt) override;

 private:
  QWidget* parent_;
};
