#pragma once
// Message boxes and yes/no questions, behind an interface so that dialog
// controllers can be driven by scripted answers in tests.
#include <string>

namespace platform {

enum class PromptIcon { None, Information, Warning, Error, Question };
enum class PromptButtons { Ok, YesNo };
// The values are the Windows dialog answers.
enum class PromptAnswer { Ok = 1, Cancel = 2, Yes = 6, No = 7 };

struct Prompt {
  std::string text;
  std::string caption;
  PromptIcon icon = PromptIcon::None;
  PromptButtons buttons = PromptButtons::Ok;
  // The answer that Enter gives, for a question.
  PromptAnswer defaultAnswer = PromptAnswer::Yes;
  friend bool operator==(const Prompt&, const Prompt&) = default;
};

class Prompter {
 public:
  virtual ~Prompter() = default;
  virtual PromptAnswer Ask(const Prompt& prompt) = 0;

  void Tell(std::string text, std::string caption, PromptIcon icon) {
    Ask({std::move(text), std::move(caption), icon, PromptButtons::Ok});
  }
  bool AskYesNo(std::string text, std::string caption, PromptIcon icon = PromptIcon::Question,
                PromptAnswer defaultAnswer = PromptAnswer::Yes) {
    return Ask({std::move(text), std::move(caption), icon, PromptButtons::YesNo, defaultAnswer}) == PromptAnswer::Yes;
  }
};

}  // namespace platform
