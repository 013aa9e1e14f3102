#include "app/application.h"

#include "platform/text.h"

CMolnixDataUploadApp theApp;

std::string GetAppCaption() { return "Tessal Molnix Converter"; }

void CMolnixDataUploadApp::SetCommandLine(const std::vector<std::string>& arguments) {
  std::string line;
  for (const auto& argument : arguments) {
    if (!line.empty()) line.push_back(' ');
    bool quote = argument.empty();
    for (char c : argument) quote = quote || platform::IsWhiteSpace(c);
    if (quote) {
      line += '"' + argument + '"';
    } else {
      line += argument;
    }
  }
  m_strCommandLine = std::move(line);
}

namespace {

// Where `option` stands as an option: at the start of an argument and outside
// quotes. An option's letters inside a value ("Anna-Maria@firma.se" holds "-M")
// do not count.
std::size_t FindOption(std::string_view line, std::string_view option) {
  bool inQuotes = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (c == '"') {
      inQuotes = !inQuotes;
      continue;
    }
    if (inQuotes) continue;
    const bool argumentStart = i == 0 || platform::IsWhiteSpace(line[i - 1]);
    if (argumentStart && line.substr(i, option.size()) == option) return i;
  }
  return std::string_view::npos;
}

}  // namespace

std::string CMolnixDataUploadApp::GetCommandLineOption(std::string_view option) const {
  if (option.empty()) return "";
  const std::size_t at = FindOption(m_strCommandLine, option);
  if (at == std::string_view::npos) return "";
  std::string_view value = platform::TrimLeft(std::string_view(m_strCommandLine).substr(at + option.size()));
  if (!value.empty() && value.front() == '"') {
    // The closing quote may be the last of the opening ones: "" before the next
    // option is an empty value, not the option that follows.
    std::size_t quotes = 0;
    while (quotes < value.size() && value[quotes] == '"') ++quotes;
    const std::size_t end = value.find("\" -", quotes - 1);
    if (end != std::string_view::npos) value = value.substr(0, end + 1);
    while (!value.empty() && value.front() == '"') value.remove_prefix(1);
    while (!value.empty() && value.back() == '"') value.remove_suffix(1);
  } else {
    const std::size_t end = value.find(" -");
    if (end != std::string_view::npos) value = value.substr(0, end + 1);
  }
  return std::string(platform::Trim(value));
}
