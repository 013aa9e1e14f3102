#include "app/sources/desktop_services.h"

#include "platform/folders.h"

std::string CreateExportTempFolder() {
  const auto folder = platform::MakeUniqueFolder(platform::TempFolder(), "mli");
  return folder ? folder->string() : std::string();
}

std::string GetHelpPagePath(int edition) {
  switch (edition) {
    case 200:
    case 500:
    case 1000:
    case 2000:
      return "/tessal-administration-" + std::to_string(edition) +
             "/default.htm#Tessal-Molnix/molnix-checklista-programbyte.htm";
    case 400:
      return "/tessal-fakturering/default.htm#Tessal-Molnix/molnix-checklista-programbyte.htm";
    case 800:
      return "/tessal-forening/default.htm#Tessal-Molnix/molnix-checklista-programbyte.htm";
    default:
      return {};
  }
}
