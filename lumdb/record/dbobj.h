#pragma once
// The common base of the connection-side objects: each finds its parent, its
// session and the data model in force through it.
namespace lumdb {

class datamodel_c;
class session_c;

class dbobj_c {
 public:
  explicit dbobj_c(dbobj_c* parent = nullptr) : parent_(parent) {}
  virtual ~dbobj_c() = default;

  // The parent's model, up to the root; the root uses the model of the
  // innermost datamodel_scope of this thread, else the process default.
  virtual datamodel_c* datamodel() const;
  virtual dbobj_c* parent() const { return parent_; }
  // The parent's session; null without a parent (a session answers itself).
  virtual session_c* session() const;

 private:
  dbobj_c* parent_;  // borrowed
};

// Installs the process default data model when none is installed (false
// otherwise, and the installed one stays); null removes it. The model is not
// owned: it lives as long as the process.
bool set_default_datamodel(datamodel_c* model);
datamodel_c* default_datamodel();

// While it lives, objects without a parent on this thread (expressions,
// filters) take `model` in place of the process default: a reader of one
// company builds and runs its statements in its own program's model, whichever
// programs' companies the run reads too. Scopes nest; the outer model applies
// again when an inner scope ends.
class datamodel_scope {
 public:
  explicit datamodel_scope(datamodel_c* model);
  ~datamodel_scope();
  datamodel_scope(const datamodel_scope&) = delete;
  datamodel_scope& operator=(const datamodel_scope&) = delete;

 private:
  datamodel_c* outer_;
};

}  // namespace lumdb
