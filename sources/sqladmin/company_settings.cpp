#include "sources/sqladmin/company_settings.h"

#include "lumdb/query/datamodel.h"
#include "lumdb/query/query.h"
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
  if (field == nullptr) throw std::runtime_error(std::string("no column ") + column);
  return field->id;
}

const lumdb::table_desc_t* TableOf(const lumdb::datamodel_c& model, const char* name) {
  return model.table_by_id(model.table_id_by_name(name));
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
  if (ReadDataSourceIni(info, companyFolder)) {
    CompanySession session;
    if (const std::error_code connected = OpenCompanySession(info, session)) {
      unreachable_ = true;
      WriteLog("Kunde inte öppna företagets databas " + info.databaseName + " på " + info.server + " (fel " +
               std::to_string(connected.value()) + ")");
    } else {
      const lumdb::datamodel_scope scope = session.ModelScope();
      const lumdb::datamodel_c& model = *session.datamodel();
      lumdb::sqldb_c* connection = session.connection();
      if (const lumdb::table_desc_t* prm = TableOf(model, "PRM")) {
        try {
          static constexpr const char* kColumns[] = {"ORGNR", "NAMN",      "POSTADR", "POSTNR",    "ORT",
                                                     "TEL",   "EPOST",     "WWW",     "MOMSREGNR", "BGIRO",
                                                     "PGIRO", "SATE",      "EANLOC",  "EJ_FSKATT", "H_SKVHUS",
                                                     "PRG_TYPE", "SWIFT_ADR", "IBAN_NR"};
          std::vector<int> ids;
          std::vector<lumdb::colexpr_c> columns;
          for (const char* column : kColumns) {
            ids.push_back(FieldId(model, *prm, column));
            columns.emplace_back(ids.back());
          }
          lumdb::query_c query(&session);
          query.setup_select(prm->id, columns, nullptr);
          lumdb::dbrecordset_fwd_c row = OpenForwardRecordset(connection, query);
          if (!row.fetch()) {
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
          }
        } catch (const std::exception&) {
          // what was taken stays
        }
      }
      const lumdb::table_desc_t* prm2 = programType_ == "W" ? nullptr : TableOf(model, "PRM2");
      if (prm2 != nullptr) {
        try {
          const int period = FieldId(model, *prm2, "MVSREDPER");
          lumdb::query_c query(&session);
          query.setup_select(prm2->id, {lumdb::colexpr_c(period)}, nullptr);
          const int v = QueryFirstInt(connection, query, period);
          settings_.vatPeriod = v == 1 ? 3 : v == 2 ? 4 : 1;
        } catch (const std::exception&) {
        }
      }
      if (const lumdb::table_desc_t* numbers = TableOf(model, "NEWNUM")) {
        try {
          const int id = FieldId(model, *numbers, "ID");
          const int nr = FieldId(model, *numbers, "NR");
          lumdb::query_c query(&session);
          query.setup_select(numbers->id, {lumdb::colexpr_c(id), lumdb::colexpr_c(nr)}, nullptr);
          lumdb::dbrecordset_fwd_c rows = OpenForwardRecordset(connection, query);
          while (!rows.fetch()) {
            int* target = nullptr;
            switch (rows.get_int(id)) {
              case 3: target = &settings_.nextCustomerInvoiceNumber; break;
              case 2: target = &settings_.nextCustomerOrderNumber; break;
              case 1: target = &settings_.nextCustomerQuoteNumber; break;
              default: continue;
            }
            *target = static_cast<int>(static_cast<std::uint32_t>(rows.get_int64(nr)));
          }
        } catch (const std::exception&) {
        }
      }
    }
  }
  const auto profile = companyFolder.empty() ? std::nullopt
                                             : platform::ProfileFile::Load(platform::ResolveNoCase(companyFolder, "ftg.ini"));
  if (profile) settings_.usesReversedConstructionVat = profile->GetInt("Byggtjanst", "Active", 0) == 1;
  settings_.exportApplication = ExportApplicationOf(programType_);
  settings_.companyType = CompanyTypeOf(settings_.corporateIdentityNumber, settings_.name);
}

void CSqlAdminCompanySettingsDb::AddWarnings(std::vector<ReportRow>& rows) {
  if (!unreachable_) return;
  rows.push_back({"", "", report::kError, report::kCaptionError,
                  "Företagets databas kunde inte öppnas, så dess inställningar saknas."});
}
