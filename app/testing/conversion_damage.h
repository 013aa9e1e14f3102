#pragma once
// Test support: a table of damage cases over a sample company. The intact
// company is converted once through the road of the demo (the conversion job
// prepares against the cloud stand-in and sends); then, for each table the
// readers read and each damage made to it, a fresh copy of the company is
// damaged and converted again, and what reached the cloud is held against the
// intact conversion:
//   - a kind that arrives short, or with any record changed (a field emptied
//     by a lost side table), has its row about the whole kind, or each record
//     has its own: an Error row for one refused, a Warning row for one that
//     went without a value it could not read;
//   - the counts add up: the records of the intact conversion are among the
//     records that arrived and those refused, or the kind has its row;
//   - company settings arrive exactly as the company's, or not at all, with
//     an Error row; SIE files arrive as the intact ones, or not at all, with a row;
//   - a damaged table is named in a row of every kind it feeds; a table that a
//     company may lack is, when removed, named nowhere.
// A sample company of any line plugs in with its tables and what each feeds;
// the damages are the line's own (DbfFileDamages and DbfLayoutDamages for
// tables that are files; DbfValueDamages for the values in them), the same for
// every table or, as DamageCases, some for some tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <nlohmann/json.hpp>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/import_job.h"
#include "app/reader_interfaces/import_kind.h"
#include "app/reader_interfaces/report_row.h"
#include "app/reader_interfaces/source_company.h"
#include "app/testing/sample_table.h"
#include "klcr/klcr.h"
#include "klcr/service.h"
#include "platform/fake/held_lock.h"
#include "platform/fake/scripted_prompter.h"
#include "platform/folders.h"
#include "platform/paths.h"
#include "tools/cloud_standin/standin_process.h"

namespace conversion_damage {

namespace fs = std::filesystem;

// One way of damaging a table, made by test code on the company's copy.
struct Damage {
  std::string name;
  // Damages the table in `company`; what it returns is held while the company
  // is converted (a lock), or null.
  std::function<std::shared_ptr<void>(const fs::path& company, const SampleTable& table)> apply;
  bool removes = false;
  // Whether every kind the table feeds meets the damage; false for one that a
  // reader may never come upon (a value in a column it does not read), which
  // then only has to be told where it costs something.
  bool metByEveryReader = true;
};

// A sample company of one line and the road of the wizard for it.
struct SampleCompany {
  int sourceKind = kSourceNone;
  // Writes the intact company into the folder given.
  std::function<void(const fs::path&)> write;
  // The company as the company choice identifies it (before any damage).
  std::function<SourceCompany(const fs::path&)> identify;
  std::string priceListCode;
  std::vector<SampleTable> tables;
  // Makes a copy of the company its own where a file of it names another by
  // its full path (an SQL company's ftg.ini names its database); may be empty.
  std::function<void(const fs::path& original, const fs::path& copy)> ownCopy;
};

// Some tables of a company and the damages made to each of them in turn.
struct DamageCases {
  std::vector<SampleTable> tables;
  std::vector<Damage> damages;
};

// The path of a table inside the company folder, found as the readers find it.
inline fs::path TablePath(const fs::path& company, const SampleTable& table) {
  return platform::ResolveNoCase(company.string(), table.name);
}

// The bytes of a table that is one file, and its layout as its header gives it.
struct DbfFile {
  fs::path path;
  std::string bytes;

  DbfFile(const fs::path& company, const SampleTable& table) : path(TablePath(company, table)) {
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  void Write() const { std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes; }

  std::size_t U16(std::size_t at) const {
    return bytes.size() < at + 2 ? 0
                                 : static_cast<std::size_t>(static_cast<unsigned char>(bytes[at]) |
                                                            static_cast<unsigned char>(bytes[at + 1]) << 8);
  }
  void PutU16(std::size_t at, std::size_t value) {
    if (bytes.size() < at + 2) return;
    bytes[at] = static_cast<char>(value & 0xFF);
    bytes[at + 1] = static_cast<char>(value >> 8 & 0xFF);
  }
  std::size_t HeaderLength() const { return U16(8); }
  std::size_t RecordLength() const { return U16(10); }
  std::size_t Records() const {
    return RecordLength() == 0 || bytes.size() < HeaderLength() ? 0 : (bytes.size() - HeaderLength()) / RecordLength();
  }
  // Where the middle record starts; npos without records.
  std::size_t MiddleRecord() const {
    return Records() == 0 ? std::string::npos : HeaderLength() + Records() / 2 * RecordLength();
  }
  // The offsets in the file of the field descriptors, up to the terminator.
  std::vector<std::size_t> Descriptors() const {
    std::vector<std::size_t> at;
    for (std::size_t d = 32; d + 32 <= std::min(bytes.size(), HeaderLength()) && bytes[d] != 0x0D; d += 32) at.push_back(d);
    return at;
  }
  // The offset within a record of the first field of one of the types, and its length; {0, 0} for none.
  std::pair<std::size_t, std::size_t> FirstField(std::string_view types) const {
    std::size_t offset = 1;  // after the deletion flag
    for (const std::size_t d : Descriptors()) {
      const std::size_t length = static_cast<unsigned char>(bytes[d + 16]);
      if (types.find(bytes[d + 11]) != std::string_view::npos) return {offset, length};
      offset += length;
    }
    return {0, 0};
  }
};

// A damage that rewrites some bytes of a table file.
inline Damage DbfBytesDamage(std::string name, std::function<void(DbfFile&)> change, bool metByEveryReader) {
  return {std::move(name),
          [change](const fs::path& company, const SampleTable& table) -> std::shared_ptr<void> {
            DbfFile file(company, table);
            change(file);
            file.Write();
            return nullptr;
          },
          false, metByEveryReader};
}

// The damages of a table that is one file: cut in the middle of a record (the
// middle record, of a table with records), zero length, removed, a folder in
// its place, and held locked for writing by another program.
inline std::vector<Damage> DbfFileDamages() {
  return {
      {"cut in a record",
       [](const fs::path& company, const SampleTable& table) -> std::shared_ptr<void> {
         const DbfFile file(company, table);
         fs::resize_file(file.path, file.HeaderLength() + file.Records() / 2 * file.RecordLength() +
                                        file.RecordLength() / 2);
         return nullptr;
       }},
      {"zero length",
       [](const fs::path& company, const SampleTable& table) -> std::shared_ptr<void> {
         fs::resize_file(TablePath(company, table), 0);
         return nullptr;
       }},
      {"removed",
       [](const fs::path& company, const SampleTable& table) -> std::shared_ptr<void> {
         fs::remove(TablePath(company, table));
         return nullptr;
       },
       true},
      {"a folder in its place",
       [](const fs::path& company, const SampleTable& table) -> std::shared_ptr<void> {
         const fs::path path = TablePath(company, table);
         fs::remove(path);
         fs::create_directory(path);
         return nullptr;
       }},
      {"held locked",
       [](const fs::path& company, const SampleTable& table) -> std::shared_ptr<void> {
         return std::make_shared<platform::fake::HeldWriteLock>(TablePath(company, table));
       }},
  };
}

// The damages of a table file whose header or records lie about the layout:
// the header length one byte too large (the file's size still fits: the
// records would start one byte late), the middle field descriptor with length
// 0, and the middle record with a deletion flag that is neither blank nor "*"
// (0x00, "X").
inline std::vector<Damage> DbfLayoutDamages() {
  const auto flag = [](char byte) {
    return [byte](DbfFile& file) {
      if (const std::size_t at = file.MiddleRecord(); at < file.bytes.size()) file.bytes[at] = byte;
    };
  };
  return {
      DbfBytesDamage("header length one byte too large",
                     [](DbfFile& file) {
                       const std::size_t header = file.HeaderLength(), record = file.RecordLength();
                       // Without the end-of-file mark one byte more keeps the size fitting the records.
                       if (record != 0 && file.bytes.size() >= header && (file.bytes.size() - header) % record == 0)
                         file.bytes.push_back('\x1a');
                       file.PutU16(8, header + 1);
                     },
                     true),
      DbfBytesDamage("a field of length 0",
                     [](DbfFile& file) {
                       const std::vector<std::size_t> descriptors = file.Descriptors();
                       if (!descriptors.empty()) file.bytes[descriptors[descriptors.size() / 2] + 16] = 0;
                     },
                     true),
      DbfBytesDamage("a record flagged 0x00", flag('\0'), true),
      DbfBytesDamage("a record flagged \"X\"", flag('X'), true),
  };
}

// The damages of a value of the middle record that does not read as its
// field's type: letters in the first number field ("N" or "F"), and in the
// first date field ("D"). A table without such a field is left whole; a
// reader that does not read the field never meets the damage.
inline std::vector<Damage> DbfValueDamages() {
  const auto letters = [](std::string_view types) {
    return [types](DbfFile& file) {
      const auto [offset, length] = file.FirstField(types);
      const std::size_t at = file.MiddleRecord();
      if (length == 0 || at == std::string::npos) return;
      std::string value = "abc";
      value.resize(length, ' ');
      file.bytes.replace(at + offset, length, value);
    };
  };
  return {
      DbfBytesDamage("a number field holding letters", letters("NF"), false),
      DbfBytesDamage("a date field holding letters", letters("D"), false),
  };
}

// A table that is one file, left with its header and no record: a table of a
// company's settings, which holds one record, without it.
inline Damage DbfFileWithoutRecords() {
  return {"without its record", [](const fs::path& company, const SampleTable& table) -> std::shared_ptr<void> {
            const fs::path path = TablePath(company, table);
            std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
            char header[12] = {};
            file.read(header, sizeof header);
            const std::size_t length = static_cast<unsigned char>(header[8]) | static_cast<unsigned char>(header[9]) << 8;
            file.seekp(4);
            file.write("\0\0\0\0", 4);  // the count of records
            file.seekp(static_cast<std::streamoff>(length));
            file.put('\x1a');  // the end-of-file mark after the header
            file.close();
            fs::resize_file(path, length + 1);
            return nullptr;
          }};
}

// The name of each kind in the stand-in's pending import.
inline const char* CloudName(ImportKind kind) {
  static constexpr const char* kNames[kImportKindCount] = {
      "companySettings", "articles",           "customers",           "suppliers", "deliveryTerms",
      "deliveryMethods", "customerLedgerItems", "supplierLedgerItems", "sie"};
  return kNames[kind];
}

inline bool IsRecordKind(ImportKind kind) { return kind != kImportCompany && kind != kImportSie; }

// What one conversion left: each kind's rows and what of it reached the cloud.
struct Conversion {
  std::array<std::vector<ReportRow>, kImportKindCount> rows;
  std::array<nlohmann::json, kImportKindCount> arrived;  // records (a list), or the SIE files; null for none
  bool settingsUnreadable = false;

  // The records of a kind as a multiset, in any order.
  std::multiset<std::string> Records(ImportKind kind) const {
    std::multiset<std::string> records;
    if (arrived[kind].is_array())
      for (const auto& record : arrived[kind]) records.insert(record.dump());
    return records;
  }
  std::size_t Refused(ImportKind kind) const {
    return std::count_if(rows[kind].begin(), rows[kind].end(), [](const ReportRow& row) {
      return row.kind == report::kError && !report::IsAboutWholeKind(row);
    });
  }
  // The rows about the whole kind (a table that cannot be read whole, a reader not built).
  std::vector<std::string> KindRows(ImportKind kind) const {
    std::vector<std::string> texts;
    for (const ReportRow& row : rows[kind])
      if (row.kind == report::kError && report::IsAboutWholeKind(row)) texts.push_back(row.text);
    return texts;
  }
  // The rows of the kind that warn of something (a value that cannot be read and is not sent).
  std::size_t Warned(ImportKind kind) const {
    return std::count_if(rows[kind].begin(), rows[kind].end(),
                         [](const ReportRow& row) { return row.kind == report::kWarning; });
  }
  // Whether a Warning row tells of something the whole kind goes without (a value every record would take).
  bool WarnedOfWholeKind(ImportKind kind) const {
    return std::any_of(rows[kind].begin(), rows[kind].end(), [](const ReportRow& row) {
      return row.kind == report::kWarning && report::IsAboutWholeKind(row);
    });
  }
  // The records of the kind that arrived but not as in `other`.
  std::size_t Changed(const Conversion& other, ImportKind kind) const {
    std::multiset<std::string> theirs = other.Records(kind);
    std::size_t changed = 0;
    for (const std::string& record : Records(kind)) {
      if (const auto found = theirs.find(record); found != theirs.end()) {
        theirs.erase(found);
      } else {
        ++changed;
      }
    }
    return changed;
  }
  // Whether a row of the kind stops what it would send (an Error or a chart the cloud cannot take).
  bool HasFault(ImportKind kind) const {
    return std::any_of(rows[kind].begin(), rows[kind].end(), [](const ReportRow& row) {
      return row.kind == report::kError || row.kind == report::kAccountType;
    });
  }
  // The records of the kind that are not in `other`'s, one a line, for the message of a failed check.
  std::string NotIn(const Conversion& other, ImportKind kind) const {
    const std::multiset<std::string> theirs = other.Records(kind);
    std::string shown;
    for (const std::string& record : Records(kind))
      if (!theirs.contains(record)) shown += "\n  " + record;
    return shown;
  }
  // The rows of a kind, one a line, for the message of a failed check.
  std::string Shown(ImportKind kind) const {
    std::string shown = "\nrows:";
    for (const ReportRow& row : rows[kind]) shown += "\n  " + row.key + " | " + row.name + " | " + row.kind + " | " + row.text;
    return shown;
  }
  // Whether a row names the table as a word of its own (PRM, not PRM2).
  bool NamesTable(ImportKind kind, const std::string& table) const {
    const auto partOfWord = [](const std::string& text, std::size_t at) {
      const auto c = static_cast<unsigned char>(text[at]);
      return std::isalnum(c) || c >= 0x80 || c == '_';
    };
    return std::any_of(rows[kind].begin(), rows[kind].end(), [&](const ReportRow& row) {
      for (std::size_t at = row.text.find(table); at != std::string::npos; at = row.text.find(table, at + 1)) {
        const std::size_t end = at + table.size();
        if ((at == 0 || !partOfWord(row.text, at - 1)) && (end == row.text.size() || !partOfWord(row.text, end)))
          return true;
      }
      return false;
    });
  }
};

class Harness {
 public:
  explicit Harness(SampleCompany sample)
      : sample_(std::move(sample)), work_(*platform::MakeUniqueFolder(platform::TempFolder(), "damage-")) {
    klcr::detail::ForgetRunState();
    KLCRMiscFunc::SetIniPath(work_.string());
    KLCRMiscFunc::SetTimeout(60);
    KLCR_ServiceDirectory::KLCRSDMiscFunc::SetBaseUrl(cloud_.BaseUrl());
    sample_.write(Pristine());
    company_ = sample_.identify(Pristine());
  }
  ~Harness() {
    KLCR_ServiceDirectory::KLCRSDMiscFunc::SetBaseUrl("http://127.0.0.1:9");
    klcr::detail::ForgetRunState();
    KLCRMiscFunc::SetIniPath("");
    std::error_code ec;
    fs::remove_all(work_, ec);
  }
  Harness(const Harness&) = delete;
  Harness& operator=(const Harness&) = delete;

  // The folder the intact company is written to; the sample's other files may lie beside it.
  fs::path Pristine() const { return work_ / "intakt" / "Åsa Öberg AB"; }

  // The intact company converted, then every damage of every table.
  void Run(const std::vector<Damage>& damages) { Run({{sample_.tables, damages}}); }
  // The intact company converted, then each table of each case with each of its damages.
  void Run(const std::vector<DamageCases>& cases) {
    const Conversion intact = Convert(nullptr, nullptr);
    CheckIntact(intact);
    for (const DamageCases& some : cases) {
      for (const SampleTable& table : some.tables) {
        for (const Damage& damage : some.damages) {
          SCOPED_TRACE(table.name + ", " + damage.name);
          Check(intact, Convert(&table, &damage), table, damage);
        }
      }
    }
  }

  // A copy of the intact company, damaged, converted as the wizard converts it:
  // log in, choose the cloud company, the company and the price list, prepare, send.
  Conversion Convert(const SampleTable* table, const Damage* damage) {
    const fs::path copy = work_ / "fall" / Pristine().filename();
    fs::remove_all(copy.parent_path());
    fs::create_directories(copy.parent_path());
    fs::copy(Pristine(), copy, fs::copy_options::recursive);
    if (sample_.ownCopy) sample_.ownCopy(Pristine(), copy);
    std::shared_ptr<void> held = damage ? damage->apply(copy, *table) : nullptr;

    SourceCompany company = company_;
    company.path = copy.string();
    platform::fake::ScriptedPrompter prompter;  // told, when the desktop program would be started
    CMlxImportJob job(sample_.sourceKind, &prompter);
    job.SetEmail("anna@example.se");
    job.SetPassword("hemligt");
    EXPECT_TRUE(job.SetCredentials());
    job.SetCloudCompany(CloudCompany{.id = kCloudCompany});
    EXPECT_EQ(job.FetchApiToken(), 0);
    job.SetSourceCompany(company);
    job.SetPriceListCode(sample_.priceListCode);
    job.CreateImports();
    job.CheckAll(nullptr);
    EXPECT_EQ(job.UploadAll(), 0);

    Conversion conversion;
    const nlohmann::json pending = cloud_.State()["companies"][kCloudCompany]["pending"];
    for (int k = 0; k < kImportKindCount; ++k) {
      const auto kind = static_cast<ImportKind>(k);
      conversion.rows[kind] = job.Rows(kind);
      if (pending.is_object() && pending.contains(CloudName(kind))) conversion.arrived[kind] = pending[CloudName(kind)];
    }
    conversion.settingsUnreadable = job.IsUnreadable(kImportCompany);
    return conversion;
  }

 private:
  static constexpr const char* kCloudCompany = "c-1001";  // the stand-in's company of the samples' number

  // The intact company sends every kind whole, without a row about a whole kind.
  static void CheckIntact(const Conversion& intact) {
    SCOPED_TRACE("intact");
    for (int k = 0; k < kImportKindCount; ++k) {
      const auto kind = static_cast<ImportKind>(k);
      SCOPED_TRACE(CloudName(kind));
      EXPECT_EQ(intact.KindRows(kind), std::vector<std::string>{});
      EXPECT_FALSE(intact.arrived[kind].is_null());
    }
  }

  static void Check(const Conversion& intact, const Conversion& damaged, const SampleTable& table,
                    const Damage& damage) {
    const bool silentAbsence = damage.removes && table.mayBeMissing;
    for (int k = 0; k < kImportKindCount; ++k) {
      const auto kind = static_cast<ImportKind>(k);
      SCOPED_TRACE(CloudName(kind));
      const bool fed = std::find(table.feeds.begin(), table.feeds.end(), kind) != table.feeds.end();
      if (silentAbsence) {
        EXPECT_FALSE(damaged.NamesTable(kind, table.name)) << damaged.Shown(kind);
      } else if (fed && damage.metByEveryReader) {
        EXPECT_TRUE(damaged.NamesTable(kind, table.name)) << "no row names the table" << damaged.Shown(kind);
      }
      if (silentAbsence && fed) continue;  // a company without the table: what it feeds is not there

      if (IsRecordKind(kind)) {
        // Without a row about the whole kind, every record answers for itself: one
        // that did not arrive has its Error row, one that arrived changed a Warning
        // row (a value left out is named), and none is lost between them. A record
        // the intact company leaves out by a rule (a paid invoice) may be refused
        // when the damage hides whether the rule holds, so refusals may grow.
        const bool kindRow = !damaged.KindRows(kind).empty();
        if (!kindRow) {
          const std::size_t changed = damaged.Changed(intact, kind);
          if (!damaged.WarnedOfWholeKind(kind))
            EXPECT_LE(changed, damaged.Warned(kind) - std::min(damaged.Warned(kind), intact.Warned(kind)))
              << "arrived changed without a row: " << changed << damaged.Shown(kind) << "\nnot as sent whole:"
              << damaged.NotIn(intact, kind);
          EXPECT_GE(damaged.Records(kind).size() + damaged.Refused(kind),
                    intact.Records(kind).size() + intact.Refused(kind))
              << "arrived short without a row: " << damaged.Records(kind).size() << " of "
              << intact.Records(kind).size() << damaged.Shown(kind) << "\nnot as sent whole:"
              << damaged.NotIn(intact, kind);
        }
      } else if (kind == kImportCompany) {
        if (damaged.arrived[kind].is_null()) {
          EXPECT_TRUE(damaged.settingsUnreadable);
          EXPECT_FALSE(damaged.KindRows(kind).empty()) << damaged.Shown(kind);
        } else {
          EXPECT_EQ(damaged.arrived[kind], intact.arrived[kind]) << "settings not the company's" << damaged.Shown(kind);
        }
      } else if (damaged.arrived[kind] != intact.arrived[kind]) {
        EXPECT_TRUE(damaged.arrived[kind].is_null()) << "SIE files not the company's" << damaged.Shown(kind);
        EXPECT_TRUE(damaged.HasFault(kind)) << "no SIE file and no row" << damaged.Shown(kind);
      }
    }
  }

  SampleCompany sample_;
  fs::path work_;
  cloud_standin::StandinProcess cloud_{cloud_standin::ExampleFixture()};
  SourceCompany company_;
};

}  // namespace conversion_damage
