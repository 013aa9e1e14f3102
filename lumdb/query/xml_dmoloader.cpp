#include "lumdb/query/xml_dmoloader.h"

namespace lumdb {

xml_dmoloader_c::xml_dmoloader_c(std::string path, datamodel_c& model, bool unresolved)
    : datamodel_loader_c(model, unresolved), path_(std::move(path)) {}

xml_dmoloader_c::~xml_dmoloader_c() = default;

bool xml_dmoloader_c::parse() { return false; }

}  // namespace lumdb
