#include "sources/sqladmin/company_settings.h"

#include "lumdb/query/datamodel.h"
#include "lumdb/query/query.h"
#include "lumdb/record/errors.h"
#include "app/desktop/desktop_programs.h"
#include "platform/log.h"
#include "platform/paths.h"
#include "platform/profile.h"
#include "platform/text.h"
#include "sources/sqladmin/company_connection.h"

namespace {

int ExportApplicationOf(const std::string& programType) {
  if (programType.empty()) return -1;
  switch (programType.front()) {
    case '0': return 1;
    case '5': return 2;
    case '1': return 3;
    case '2': return 4;
    case 'W': return 5;
    case 'F': return 6;
    default: return 0;
  }
}

// Looks a column up; throws so that a step whose columns the model lacks reads nothing.
int FieldId(const lumdb::datamodel_c& model, const lumdb::table_desc_t& table, const char* column) {
  const lumdb::field_desc_t* field = model.field_by_id(table.field_id_by_name(column));
  if (field == nullptr) throw std::runtime_error(std::string("datamodellen saknar kolumnen ") + column);
  return field->id;
}

}  // namespace

int CompanyTypeOf(const std::string& orgNrText, const std::string& name) {
  // Only the digits count: a dash or a letter never shifts the month digits.
  std::string orgNr = orgNrText;
  std::erase_if(orgNr, [](char c) { return c < '0' || c > '9'; });
  if (orgNr.size() <= 4) return 0;
  return CompanyFormOf(StrToIntOrZero(orgNr.substr(2, 2)), orgNr.front(), name);
}

CSqlAdminCompanySettingsDb::CSqlAdminCompanySettingsDb(std::string companyFolder) {
  settings_.vatPeriod = -1;  // stays so when the company has no VAT period to tell
  DataSourceInfo info;
  if (ReadDataSourceIni(info, companyFolder)) ReadDatabase(info);
  const auto profile = companyFolder.empty() ? std::nullopt
                                             : platform::ProfileFile::Load(platform::ResolveNoCase(companyFolder, "ftg.ini"));
  if (profile) settings_.usesReversedConstructionVat = profile->GetInt("Byggtjanst", "Active", 0) == 1;
  settings_.exportApplication = ExportApplicationOf(programType_);
  settings_.companyType = CompanyTypeOf(settings_.corporateIdentityNumber, settings_.name);
}

void CSqlAdminCompanySettingsDb::ReadDatabase(DataSourceInfo& info) {
  CompanySession session;
  const std::error_code connected = OpenCompanySession(info, session);
  lockMemory_ = session.LockMemory();
  if (const std::string model = DataModelFailure(*session.datamodel()); !model.empty()) {
    NotRead("Företagets datamodell saknas: " + model);
    return;
  }
  if (connected) {
    NotRead("Företagets databas kunde inte öppnas, så dess inställningar saknas: " + session.FailureWords(connected));
    return;
  }
  const lumdb::datamodel_scope scope = session.ModelScope();
  const lumdb::datamodel_c& model = *session.datamodel();
  lumdb::sqldb_c* connection = session.connection();
  ReadTable(session, "PRM", [&](const lumdb::table_desc_t& prm) {
    static constexpr const char* kColumns[] = {"ORGNR", "NAMN",      "POSTADR", "POSTNR",    "ORT",
                                               "TEL",   "EPOST",     "WWW",     "MOMSREGNR", "BGIRO",
                                               "PGIRO", "SATE",      "EANLOC",  "EJ_FSKATT", "H_SKVHUS",
                                               "PRG_TYPE", "SWIFT_ADR", "IBAN_NR"};
    std::vector<int> ids;
    std::vector<lumdb::colexpr_c> columns;
    for (const char* column : kColumns) {
      ids.push_back(FieldId(model, prm, column));
      columns.emplace_back(ids.back());
    }
    lumdb::query_c query(&session);
    query.setup_select(prm.id, columns, nullptr);
    lumdb::dbrecordset_fwd_c row = OpenForwardRecordset(connection, query);
    FetchFirstRow(row);  // without a row there are no settings to send, only made-up ones
    auto text = [&](int i) { return NarrowText(row.get_wstring(ids[i])); };
    auto compact = [&](int i) { return NarrowText(RemoveWhitespaceW(row.get_wstring(ids[i]))); };
    settings_.corporateIdentityNumber = compact(0);
    settings_.name = text(1);
    settings_.address1 = text(2);
    settings_.postalCode = compact(3);
    settings_.city = text(4);
    settings_.phone = compact(5);
    settings_.email = text(6);
    settings_.web = text(7);
    settings_.vatNumber = text(8);
    std::erase(settings_.vatNumber, '-');
    settings_.bankgiroNumber = compact(9);
    settings_.plusgiroNumber = compact(10);
    settings_.residence = text(11);
    settings_.ediGlnNumber = text(12);
    settings_.hasFTaxCard = !row.get_bool(ids[13]);
    settings_.usesRotReducedInvoicing = row.get_bool(ids[14]);
    programType_ = text(15);
    settings_.companyBankBic = compact(16);
    (settings_.companyBankBic.empty() ? settings_.companyBankAccountBban : settings_.companyBankAccountIban) = compact(17);
  });
  // The invoicing program has no VAT period to tell.
  if (programType_ != "W") {
    ReadTable(session, "PRM2", [&](const lumdb::table_desc_t& prm2) {
      const int period = FieldId(model, prm2, "MVSREDPER");
      lumdb::query_c query(&session);
      query.setup_select(prm2.id, {lumdb::colexpr_c(period)}, nullptr);
      const int v = QueryFirstInt(connection, query, period);
      settings_.vatPeriod = v == 1 ? 3 : v == 2 ? 4 : 1;
    });
  }
  ReadTable(session, "NEWNUM", [&](const lumdb::table_desc_t& numbers) {
    const int id = FieldId(model, numbers, "ID");
    const int nr = FieldId(model, numbers, "NR");
    lumdb::query_c query(&session);
    query.setup_select(numbers.id, {lumdb::colexpr_c(id), lumdb::colexpr_c(nr)}, nullptr);
    lumdb::dbrecordset_fwd_c rows = OpenForwardRecordset(connection, query);
    std::error_code fetched;
    while (!(fetched = rows.fetch())) {
      ThrowOnUnreadableValue(rows);
      int* target = nullptr;
      const int series = rows.get_int(id);
      switch (series) {
        case 3: target = &settings_.nextCustomerInvoiceNumber; break;
        case 2: target = &settings_.nextCustomerOrderNumber; break;
        case 1: target = &settings_.nextCustomerQuoteNumber; break;
        default: continue;
      }
      // A series without its next number has none to send: 0 would go out as the company's.
      const lumdb::field_c* next = rows.row_for_field(nr, nullptr).find_field(nr, nullptr);
      if (next == nullptr || next->is_null())
        throw std::runtime_error("kolumnen NEWNUM.NR saknar värde i raden med ID " + std::to_string(series));
      *target = static_cast<int>(static_cast<std::uint32_t>(rows.get_int64(nr)));
    }
    // A row that cannot be fetched is not the end of the number series.
    if (fetched.value() != lumdb::no_data) throw lumdb::db_error(fetched);
  });
}

template <class Step>
void CSqlAdminCompanySettingsDb::ReadTable(CompanySession& session, const char* name, Step step) {
  const lumdb::datamodel_c& model = *session.datamodel();
  const lumdb::table_desc_t* table = model.table_by_id(model.table_id_by_name(name));
  std::string words;
  if (table == nullptr) {
    // Without the table every value of it would be sent made up.
    words = "datamodellen saknar tabellen";
  } else if (words = session.LockMet(); words.empty()) {
    try {
      step(*table);
      return;
    } catch (const lumdb::db_error& error) {
      words = session.FailureWords(error.code());
    } catch (const std::exception& error) {
      words = error.what();
    }
  }
  NotRead("Tabellen " + std::string(name) + " kan inte läsas: " + words);
}

void CSqlAdminCompanySettingsDb::NotRead(std::string text) {
  WriteLog("Företagsinställningar: " + text);
  notRead_.push_back({"", "", report::kError, report::kCaptionError, std::move(text)});
}

void CSqlAdminCompanySettingsDb::AddWarnings(std::vector<ReportRow>& rows) {
  rows.insert(rows.end(), notRead_.begin(), notRead_.end());
}
