#pragma once
// Reads a data-model XML file ("kolmadm.xml") with the Xerces-C SAX2 parser
// and turns each element into calls of the builder it derives from. The
// file's own declared encoding is honoured; every text becomes UTF-8. No DTD
// or schema validation, no namespaces, no external entities.
#include <string>

#include "lumdb/query/datamodel_loader.h"

namespace lumdb {

class xml_dmoloader_c : public datamodel_loader_c {
 public:
  xml_dmoloader_c(std::string path, datamodel_c& model, bool unresolved);
  ~xml_dmoloader_c() override;

  // Parses this document instead of reading the file; the path then only
  // names the document in the log.
  void set_document(std::string xml) { document_ = std::move(xml); }

 protected:
  bool parse() override;

 private:
  class handler_c;

  std::string path_;
  std::string document_;
};

}  // namespace lumdb
