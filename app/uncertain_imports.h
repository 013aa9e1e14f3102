#pragma once
// The imports whose completion stayed unknown, kept in a file of the per-user
// data folder: a later run, after a crash or a killed window, still asks the
// service about them first and asks the user before a second import.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct UncertainImport {
  std::string cloudCompanyId;
  std::string sourceCompanyPath;  // the source company's folder: with the cloud company, the key
  std::string sourceCompanyName;
  std::string importId;

  friend bool operator==(const UncertainImport&, const UncertainImport&) = default;
};

class UncertainImportStore {
 public:
  // The file in the per-user data folder.
  static std::filesystem::path DefaultFile();

  explicit UncertainImportStore(std::filesystem::path file) : file_(std::move(file)) {}

  // The imports of the cloud company, of any source company. A file that cannot
  // be read as it was written says nothing of which imports it held: every cloud
  // company then has one import of unknown source and id (all fields but the
  // cloud company empty), until the user chooses a new import all the same.
  std::vector<UncertainImport> Of(const std::string& cloudCompanyId) const;
  // Replaces the import kept for its cloud and source company.
  void Remember(const UncertainImport& import);
  // Forgets the import of that id of the cloud company.
  void Forget(const std::string& cloudCompanyId, const std::string& importId);
  // Forgets every import of the cloud company, and a damage the file had.
  void ForgetAllOf(const std::string& cloudCompanyId);

 private:
  struct Content {
    std::vector<UncertainImport> imports;
    bool damaged = false;  // an earlier file could not be read: any company may have an import
  };
  Content Read() const;
  void Write(const Content& content) const;

  std::filesystem::path file_;
};
