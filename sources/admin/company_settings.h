#pragma once
// The company settings of a DBF company: read once at construction from
// PRM.DBF, PRM2.DBF, NEWNUM.DBF and ftg.ini, and kept in the form the cloud
// service takes. The getters only hand out copies, so they still answer after
// Close (the settings are uploaded after the check has closed the reader).
#include <string>
#include <vector>

#include "app/reader_interfaces/stored_company_settings.h"
#include "sources/admin/parameter_tables.h"

class CAdminCompanySettings : public CAdminPrm, public StoredCompanySettings {
 public:
  explicit CAdminCompanySettings(std::string folder);

  bool IsAvailable() override { return true; }
  void Close() override { CloseTable(); }
  // An "Error" row for each settings table that is missing, cannot be read
  // whole or lacks its record, and for each value the settings need that the
  // tables lack or that does not read: the settings are then not sent, since a
  // value that was not read would go out as the company's.
  void AddWarnings(std::vector<ReportRow>& rows) override {
    AddSettingsTableRows(rows);
    rows.insert(rows.end(), unreadValueRows_.begin(), unreadValueRows_.end());
  }
  bool MoveFirst() override { return MoveFirstRecord(); }
  bool MoveNext() override { return MoveNextRecord(); }

 private:
  void ReadNextNumbers();
  // Adds the row about `checked` of `table` when its current value does not
  // read, or, for a column the settings cannot go without (`required`), when
  // the table has records but lacks it.
  void CheckValue(const CAdminCompanyDb& table, const CheckedColumn& checked, bool required);

  std::vector<ReportRow> unreadValueRows_;

  // Looked up only when PRM.DBF has records (-1 otherwise), after the base's own columns.
  int colPostAdr_ = Column("POSTADR"), colPostNr_ = Column("POSTNR"), colOrt_ = Column("ORT"),
      colTel_ = Column("TEL"), colEpost_ = Column("EPOST"), colWww_ = Column("WWW"),
      colMomsRegNr_ = Column("MOMSREGNR"), colBgiro_ = Column("BGIRO"), colPgiro_ = Column("PGIRO"),
      colSate_ = Column("SATE"), colEanLoc_ = Column("EANLOC"), colEjFSkatt_ = Column("EJ_FSKATT"),
      colHSkvHus_ = Column("H_SKVHUS"), colIbanNr_ = Column("IBAN_NR"), colSwiftAdr_ = Column("SWIFT_ADR");
};

