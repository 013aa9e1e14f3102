#include "lumdb/record/program_locale.h"

#include <atomic>
#include <clocale>
#include <codecvt>
#include <stdexcept>

namespace lumdb {
namespace {

std::atomic<bool> g_initialised{false};
std::atomic<const std::locale*> g_programLocale{nullptr};

std::locale UserLocale() {
  try {
    return std::locale("");
  } catch (const std::runtime_error&) {
    return std::locale::classic();
  }
}

}  // namespace

void init_program_locale() {
  bool expected = false;
  if (!g_initialised.compare_exchange_strong(expected, true)) return;

  const std::locale user = UserLocale();
  std::locale combined = std::locale::classic()
                             .combine<std::ctype<char>>(user)
                             .combine<std::collate<char>>(user)
                             .combine<std::ctype<wchar_t>>(user)
                             .combine<std::collate<wchar_t>>(user);
  // The standard's UTF-8 facet is deprecated but still the library's only
  // locale-independent one; it does exactly the conversion needed here.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  combined = std::locale(combined, new std::codecvt_utf8<wchar_t>);
#pragma GCC diagnostic pop
  std::locale::global(combined);
  delete g_programLocale.exchange(new std::locale());
  // The C run time's character functions see UTF-8 too (Windows used its ANSI code page).
  std::setlocale(LC_CTYPE, "C.UTF-8");
}

const std::locale* program_locale() { return g_programLocale.load(); }

}  // namespace lumdb
