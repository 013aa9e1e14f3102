#include "sources/sqladmin/customer_reader.h"

#include "app/sources/company_identification.h"
#include "app/sources/identity_number.h"
#include "lumdb/query/filter.h"
#include "lumdb/query/query.h"

namespace {

constexpr const char* kOwnColumns[] = {
    "KUNDNR", "ORGNR", "REF", "ANTECK_1", "ANTECK_2", "ANTECK_3", "ANTECK_4", "REF_SIGN", "VALUTAKOD", "EANLOC",
    "EPOST", "POSTADR", "POSTADR2", "ORT", "LANDKOD", "POSTNR", "LEVNAMN", "LEVADR", "LEVADR2", "LEVORT",
    "LEVLANDKOD", "LEVPOSTNR", "LEVSAETT", "LEVVILLK", "NAMN", "BYGGTJANST", "MBTEL", "TEL", "BETVILLK",
    "MOMSREGNR", "EREDIREF"};
constexpr int kEqual = 1;

}  // namespace

CSqlAdminCustomerDb::CSqlAdminCustomerDb(std::string companyFolder) : CAdmDbSql(std::move(companyFolder)) {
  static_assert(std::size(kOwnColumns) == kColumnCount);
  const lumdb::datamodel_c* model = session() ? session()->datamodel() : nullptr;
  if (model == nullptr) return;
  const SqlTableColumns customers(*model, "KUND");
  if (customers.table == nullptr) return;
  for (int column = 0; column < kColumnCount; ++column) own_[column] = customers.Column(kOwnColumns[column]);
  const lumdb::field_desc_t* inactive = customers.Column("INAKTIV");
  const SqlTableColumns terms(*model, "BETVILLK");
  termsCode_ = terms.Column("BETVILLK");
  termsName_ = terms.Column("TEXT");
  termsPaymentCode_ = terms.Column("BETKOD");
  const SqlTableColumns contacts(*model, "KONTAKT");
  contactSign_ = contacts.Column("SIGN");
  contactNumber_ = contacts.Column("KUNDNR");
  contactEmail_ = contacts.Column("EPOST");
  contactMobile_ = contacts.Column("MBTEL");
  contactPhone_ = contacts.Column("TEL");
  const SqlTableColumns notes(*model, "KUNDNOTE");
  noteNumber_ = notes.Column("KUNDNR");
  noteText_ = notes.Column("TXT");
  if (connectionError() || Own(kNumber) == nullptr) return;

  // A join whose key columns are missing is left out, and so are its columns.
  const bool termsJoin = Own(kTerms) != nullptr && termsCode_ != nullptr;
  const bool contactJoin = Own(kReferenceSign) != nullptr && contactSign_ != nullptr && contactNumber_ != nullptr;
  const bool noteJoin = noteNumber_ != nullptr;
  if (!termsJoin) termsCode_ = termsName_ = termsPaymentCode_ = nullptr;
  if (!contactJoin) contactSign_ = contactNumber_ = contactEmail_ = contactMobile_ = contactPhone_ = nullptr;
  if (!noteJoin) noteText_ = nullptr;
  if (Own(kNote1) == nullptr) own_[kNote2] = own_[kNote3] = own_[kNote4] = nullptr;

  lumdb::query_c query(session());
  std::vector<lumdb::colexpr_c> columns;
  for (const lumdb::field_desc_t* field : own_)
    if (field != nullptr) columns.emplace_back(field->id);
  const lumdb::filter_node_t active =
      inactive != nullptr ? lumdb::filter_node_t(lumdb::colexpr_c(inactive->id), kEqual, false) : lumdb::filter_node_t();
  query.setup_select(customers.table->id, columns, &active);
  query.set_order_by(lumdb::colexpr_c(Own(kNumber)->id));
  auto addColumns = [&query](lumdb::join_path_t& path, int from, std::initializer_list<const lumdb::field_desc_t*> fields) {
    path = {from};
    for (const lumdb::field_desc_t* field : fields)
      if (field != nullptr) query.add_column(field->id, path);
  };
  if (termsJoin) addColumns(termsPath_, Own(kTerms)->id, {termsCode_, termsName_, termsPaymentCode_});
  if (contactJoin)
    addColumns(contactPath_, Own(kNumber)->id,
               {contactSign_, contactNumber_, contactEmail_, contactMobile_, contactPhone_});
  if (noteJoin) addColumns(notePath_, Own(kNumber)->id, {noteNumber_, noteText_});

  std::unique_ptr<lumdb::dbrecordset_scroll_c> recordset = CreateScrollRecordset(session()->connection(), query);
  int joinId = 0;
  if (termsJoin) (void)recordset->add_join(terms.table->id, {Own(kTerms)->id}, {termsCode_->id}, nullptr, &joinId);
  if (contactJoin)
    (void)recordset->add_join(contacts.table->id, {Own(kNumber)->id, Own(kReferenceSign)->id},
                              {contactNumber_->id, contactSign_->id}, nullptr, &joinId);
  if (noteJoin) (void)recordset->add_join(notes.table->id, {Own(kNumber)->id}, {noteNumber_->id}, nullptr, &joinId);
  OpenRecordset(std::move(recordset));
}

bool CSqlAdminCustomerDb::IsAvailable() { return IdentifyCompany(companyFolder(), false).edition != 200; }

std::string CSqlAdminCustomerDb::GetNote() {
  return RegisterNote(*this, {Own(kNote1), Own(kNote2), Own(kNote3), Own(kNote4)}, noteText_, notePath_);
}

bool CSqlAdminCustomerDb::GetReverseChargeOnConstructionServices() {
  return !GetVatNumber().empty() && GetColumnBool(Own(kConstructionServices));
}

std::string CSqlAdminCustomerDb::GetTermsOfPaymentCode() {
  return TermsOfPaymentCode(*this, termsPaymentCode_, termsPath_, Own(kTerms));
}

bool CSqlAdminCustomerDb::IsPrivatePerson() { return IsValidIdentityNumber(GetCorporateIdentityNumber()); }
