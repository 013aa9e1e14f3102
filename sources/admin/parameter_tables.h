#pragma once
// The parameter tables of a DBF company: PRM.DBF and PRM2.DBF hold the
// company's settings in their first record, NEWNUM.DBF one record per number
// series with its next number. The parameter tables are read in the state
// construction leaves: record 0 current, even when it is marked deleted.
#include <string>

#include "app/reader_interfaces/open_invoice_link.h"
#include "sources/admin/company_db.h"

class CAdminPrm : public CAdminCompanyDb {
 public:
  static constexpr const char* kFileName = "PRM.DBF";
  explicit CAdminPrm(std::string folder);

  std::string GetOrgNr() const { return GetFieldNoBlanks(orgNr_); }
  std::string GetName() const { return GetField(name_); }
  std::string GetPrg() const { return GetField(prg_); }
  std::string GetPrgType() const { return GetField(prgType_); }
  std::string GetVersion() const { return GetField(version_); }
  std::string GetCurrencyCode() const { return GetField(currencyCode_); }
  std::string GetAkiOcr() const { return GetField(akiOcr_); }
  CheckedColumn AkiOcrColumn() const { return {"AKI_OCR", akiOcr_, ValueForm::Logical}; }
  // Empty when the company has no link to the cloud service.
  std::string GetKlFkRecId() const { return GetField(klFkRecId_); }

 private:
  int orgNr_ = Column("ORGNR");
  int name_ = Column("NAMN");
  int prg_ = Column("PRG");
  int prgType_ = Column("PRG_TYPE");
  int version_ = Column("VERSION");
  int currencyCode_ = Column("VALUTAKOD");
  int akiOcr_ = Column("AKI_OCR");
  int klFkRecId_ = Column("KL_FKRECID");
};

// Takes the company's link to the cloud service (KL_FKRECID of PRM.DBF) into
// `link` and gives its answer: a PRM.DBF missing, damaged or without its record
// is a link that cannot be read.
bool TakeCloudLink(const std::string& folder, OpenInvoiceLink& link);

class CAdminPrm2 : public CAdminCompanyDb {
 public:
  static constexpr const char* kFileName = "PRM2.DBF";
  explicit CAdminPrm2(std::string folder);

  std::string GetVatPeriodCode() const { return GetField(vatPeriod_); }
  CheckedColumn VatPeriodColumn() const { return {"MVSREDPER", vatPeriod_, ValueForm::Number}; }

 private:
  int vatPeriod_ = Column("MVSREDPER");
};

class CAdminNewNumDb : public CAdminCompanyDb {
 public:
  static constexpr const char* kFileName = "NEWNUM.DBF";
  explicit CAdminNewNumDb(std::string folder);

  std::string GetId() const { return GetField(id_); }
  std::string GetNr() const { return GetField(nr_); }
  CheckedColumn IdColumn() const { return {"ID", id_, ValueForm::WholeNumber}; }
  CheckedColumn NrColumn() const { return {"NR", nr_, ValueForm::WholeNumber}; }

 private:
  int id_ = Column("ID");
  int nr_ = Column("NR");
};
