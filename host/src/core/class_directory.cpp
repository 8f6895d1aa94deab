// Class directory and the ClassDesc base (published interfaces).
#include "core/class_directory.h"

#include <algorithm>

#include <ifnpub.h>
#include <plugapi.h>

#include "base/text.h"
#include "core/year_forms.h"

namespace maxhost {
namespace {

std::vector<ClassDesc*>& Directory() {
  static std::vector<ClassDesc*> dir;
  return dir;
}

bool SameTextNoCase(const MCHAR* a, const MCHAR* b) {
  return a && b && EqualsNoCase(std::wstring_view(a), std::wstring_view(b));
}

}  // namespace

void RegisterClassDesc(ClassDesc* cd) {
  if (!cd) return;
  auto& dir = Directory();
  if (std::find(dir.begin(), dir.end(), cd) == dir.end()) dir.push_back(cd);
}

void UnregisterClassDesc(ClassDesc* cd) {
  auto& dir = Directory();
  dir.erase(std::remove(dir.begin(), dir.end(), cd), dir.end());
}

ClassDesc* FindClassDesc(SClass_ID sid, Class_ID cid) {
  for (ClassDesc* cd : Directory())
    if (cd->SuperClassID() == sid && cd->ClassID() == cid) return cd;
  return nullptr;
}

ClassDesc* FindClassDescByInternalName(const MCHAR* name) {
  if (!name) return nullptr;
  for (ClassDesc* cd : Directory())
    if (SameTextNoCase(cd->InternalName(), name)) return cd;
  for (ClassDesc* cd : Directory())
    if (SameTextNoCase(ScriptClassName(*cd), name)) return cd;
  return nullptr;
}

std::vector<ClassDesc*> AllClassDescs() {
  return Directory();
}

bool SameNameNoCase(const MCHAR* a, const MCHAR* b) {
  return SameTextNoCase(a, b);
}

}  // namespace maxhost

struct ClassDesc::InterfaceList {
  std::vector<FPInterface*> items;
};

ClassDesc::ClassDesc() : mInterfaces(new InterfaceList) {}

ClassDesc::~ClassDesc() {
  delete mInterfaces;
}

int ClassDesc::NumInterfaces() {
  return static_cast<int>(mInterfaces->items.size());
}

FPInterface* ClassDesc::GetInterfaceAt(int i) {
  if (i < 0 || i >= NumInterfaces()) return nullptr;
  return mInterfaces->items[static_cast<size_t>(i)];
}

FPInterface* ClassDesc::GetInterface(Interface_ID id) {
  for (FPInterface* f : mInterfaces->items)
    if (f->GetID() == id) return f;
  return nullptr;
}

FPInterface* ClassDesc::GetInterface(const MCHAR* name) {
  for (FPInterface* f : mInterfaces->items) {
    FPInterfaceDesc* d = f->GetDesc();
    if (d && maxhost::SameNameNoCase(d->internal_name, name)) return f;
  }
  return nullptr;
}

void ClassDesc::AddInterface(FPInterface* fpi) {
  if (!fpi) return;
  auto& v = mInterfaces->items;
  if (std::find(v.begin(), v.end(), fpi) == v.end()) v.push_back(fpi);
}

void ClassDesc::ClearInterfaces() {
  mInterfaces->items.clear();
}
