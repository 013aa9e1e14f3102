#pragma once
// A prompter that records every message and answers questions from a script.
// A question with no scripted answer throws, so a test notices an unexpected one.
#include <deque>
#include <stdexcept>
#include <vector>

#include "platform/prompter.h"

namespace platform::fake {

class ScriptedPrompter final : public Prompter {
 public:
  explicit ScriptedPrompter(std::deque<PromptAnswer> answers = {}) : answers_(std::move(answers)) {}

  PromptAnswer Ask(const Prompt& prompt) override {
    shown.push_back(prompt);
    if (prompt.buttons == PromptButtons::Ok) return PromptAnswer::Ok;
    if (answers_.empty()) throw std::logic_error("unscripted question: " + prompt.text);
    const PromptAnswer answer = answers_.front();
    answers_.pop_front();
    return answer;
  }

  void Script(PromptAnswer answer) { answers_.push_back(answer); }
  bool ScriptUsedUp() const { return answers_.empty(); }

  std::vector<Prompt> shown;

 private:
  std::deque<PromptAnswer> answers_;
};

}  // namespace platform::fake
