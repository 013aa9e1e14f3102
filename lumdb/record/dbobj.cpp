#include "lumdb/record/dbobj.h"

#include <atomic>

namespace lumdb {
namespace {
std::atomic<datamodel_c*> g_defaultModel{nullptr};
thread_local datamodel_c* t_scopedModel = nullptr;
}  // namespace

datamodel_c* dbobj_c::datamodel() const {
  if (parent_) return parent_->datamodel();
  return t_scopedModel ? t_scopedModel : default_datamodel();
}

session_c* dbobj_c::session() const { return parent_ ? parent_->session() : nullptr; }

bool set_default_datamodel(datamodel_c* model) {
  if (!model) {
    g_defaultModel.exchange(nullptr);
    return true;
  }
  datamodel_c* expected = nullptr;
  return g_defaultModel.compare_exchange_strong(expected, model);
}

datamodel_c* default_datamodel() { return g_defaultModel.load(); }

datamodel_scope::datamodel_scope(datamodel_c* model) : outer_(t_scopedModel) { t_scopedModel = model; }

datamodel_scope::~datamodel_scope() { t_scopedModel = outer_; }

}  // namespace lumdb
