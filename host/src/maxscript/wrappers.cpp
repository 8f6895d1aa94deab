// Wrappers of host objects: creation by class name, parameters as properties (list
// parameters as live arrays), published interface properties, and the methods of the
// SDK's bitmap texture interface.
#include <atomic>
#include <map>
#include <mutex>
#include <unordered_map>

#include <ifnpub.h>
#include <imtl.h>
#include <iparamb2.h>
#include <ref.h>
#include <stdmat.h>

#include "base/param_types.h"
#include "base/text.h"
#include "core/class_directory.h"
#include "maxscript/engine.h"
#include "maxscript/heap.h"
#include "maxscript/interp.h"
#include "maxscript/values_util.h"
#include "maxscript/wrappers_params.h"
#include "core/year_forms.h"

namespace maxhost::mxs {
namespace {

// The superclasses scripts compare against (`superClassOf m == textureMap`).
ValueMetaClass TextureMap_class(L"textureMap");
ValueMetaClass Material_class(L"material");

// The host's counters for the names of new maps and materials ("Map #1", "Material #1").
std::atomic<int> g_map_number{0};
std::atomic<int> g_material_number{0};

void assign_new_name(ReferenceTarget* obj) {
  auto* m = dynamic_cast<MtlBase*>(obj);
  if (m == nullptr || !m->GetName().isNull()) return;
  const bool map = obj->SuperClassID() == TEXMAP_CLASS_ID;
  const int n = (map ? g_map_number : g_material_number).fetch_add(1) + 1;
  m->SetName(MSTR(((map ? L"Map #" : L"Material #") + std::to_wstring(n)).c_str()));
}

ValueMetaClass BoundMethod_class(L"Primitive");

// Watches one host object through a weak reference, so that wrappers learn of its
// deletion without keeping it alive.
class RefWatcher : public ReferenceMaker {
 public:
  explicit RefWatcher(ReferenceTarget* t) { ReplaceReference(0, t); }
  ReferenceTarget* target = nullptr;
  int NumRefs() override { return 1; }
  RefTargetHandle GetReference(int) override { return target; }
  BOOL IsRealDependency(ReferenceTarget*) override { return FALSE; }
  SClass_ID SuperClassID() override { return 0; }

 protected:
  void SetReference(int, RefTargetHandle r) override { target = r; }
  RefResult NotifyRefChanged(const Interval&, RefTargetHandle, PartID&, RefMessage message,
                             BOOL) override {
    if (message == REFMSG_TARGET_DELETED) target = nullptr;
    return REF_SUCCEED;
  }
};

std::mutex g_watch_mutex;
std::unordered_map<ReferenceTarget*, RefWatcher*>& watchers() {
  static auto* m = new std::unordered_map<ReferenceTarget*, RefWatcher*>;
  return *m;
}

RefWatcher* watch(ReferenceTarget* t) {
  std::lock_guard<std::mutex> lock(g_watch_mutex);
  RefWatcher*& w = watchers()[t];
  // A watcher whose object died may share the address of a new object.
  if (w == nullptr || w->target != t) w = new RefWatcher(t);
  return w;
}

Value* class_value(ClassDesc* cd);

// A published interface property of the object, with the interface that serves it.
bool find_interface_prop(ReferenceTarget* obj, Value* name, FPInterface*& fpi,
                         const FPPropDef*& prop) {
  ClassDesc* cd = FindClassDesc(obj->SuperClassID(), obj->ClassID());
  if (cd == nullptr) return false;
  for (int i = 0; i < cd->NumInterfaces(); ++i) {
    FPInterface* fi = cd->GetInterfaceAt(i);
    FPInterfaceDesc* d = fi ? fi->GetDesc() : nullptr;
    if (d == nullptr) continue;
    const FPPropDef* p = d->FindProp(name->to_string());
    if (p == nullptr) continue;
    fpi = dynamic_cast<FPInterface*>(obj->GetInterface(d->ID));
    if (fpi == nullptr && !(d->flags & FP_MIXIN)) fpi = fi;
    if (fpi == nullptr) continue;
    prop = p;
    return true;
  }
  return false;
}

// A native method bound to its object (`tex.reload`).
class BoundMethod : public Value {
 public:
  using Fn = Value* (*)(Value* self, Value** args, int count);
  BoundMethod(Value* s, std::wstring n, Fn f) : self(s), name(std::move(n)), fn(f) {
    tag = &BoundMethod_class;
  }
  Value* self;
  std::wstring name;
  Fn fn;
  void gc_trace() override { gc_mark(self); }
  void sprin1(CharStream* s) override { s->puts((name + L"()").c_str()); }
  Value* apply(Value** args, int count, CallContext*) override { return fn(self, args, count); }
};

class ObjectWrapper : public MAXWrapper {
 public:
  explicit ObjectWrapper(ReferenceTarget* t) : watcher_(watch(t)) {}
  ReferenceTarget* get_ref() override { return watcher_->target; }
  ReferenceTarget* to_reftarg() override {
    if (get_ref() == nullptr) deleted_error();
    return get_ref();
  }
  ReferenceTarget* live() {
    ReferenceTarget* r = get_ref();
    if (r == nullptr) deleted_error();
    return r;
  }

  void sprin1(CharStream* s) override {
    ReferenceTarget* r = get_ref();
    if (r == nullptr) {
      s->puts(L"<Deleted scene object>");
      return;
    }
    const MSTR cls = ClassNameOf(*r, false);
    std::wstring name;
    if (auto* m = dynamic_cast<MtlBase*>(r)) name = m->GetName().data();
    s->puts(((name.empty() ? std::wstring(L"Map") : name) + L":" + cls.data()).c_str());
  }

  bool equals(Value* other) override {
    auto* w = dynamic_cast<MAXWrapper*>(other);
    return w != nullptr && w->get_ref() != nullptr && w->get_ref() == get_ref();
  }

  Value* classOf() override {
    ReferenceTarget* r = live();
    ClassDesc* cd = FindClassDesc(r->SuperClassID(), r->ClassID());
    return cd ? class_value(cd) : static_cast<Value*>(&MAXWrapper_class);
  }

  Value* superClassOf() override {
    switch (live()->SuperClassID()) {
      case TEXMAP_CLASS_ID:
        return &TextureMap_class;
      case MATERIAL_CLASS_ID:
        return &Material_class;
      default:
        return &MAXWrapper_class;
    }
  }

  Value* get_property(Value** arg_list, int count) override;
  Value* set_property(Value** arg_list, int count) override;

 private:
  RefWatcher* watcher_;
};

Value* reload_method(Value* self, Value**, int) {
  auto* w = static_cast<ObjectWrapper*>(self);
  if (auto* bt = dynamic_cast<BitmapTex*>(w->live())) bt->ReloadBitmapAndUpdate();
  return &ok;
}

Value* ObjectWrapper::get_property(Value** arg_list, int count) {
  ReferenceTarget* obj = live();
  Value* name = arg_list[0];
  ParamLocation loc;
  if (find_param(obj, name->to_string(), loc)) {
    if (loc.type & TYPE_TAB) return make_param_array(this, loc);
    return read_param(block_of(obj, loc), loc, 0);
  }
  FPInterface* fpi = nullptr;
  const FPPropDef* prop = nullptr;
  if (find_interface_prop(obj, name, fpi, prop)) {
    if (prop->getter_ID == FP_NO_FUNCTION) throw AccessorError(this, name);
    FPValue result;
    if (fpi->Invoke(prop->getter_ID, 0, result, nullptr) != FPS_OK)
      throw RuntimeError(L"Interface property read failed: ", name);
    return from_fp(result);
  }
  if (auto* bt = dynamic_cast<BitmapTex*>(obj)) {
    if (name == Name::intern(L"filename") || name == Name::intern(L"fileName"))
      return new String(bt->GetMapName() ? bt->GetMapName() : L"");
    if (name == Name::intern(L"reload")) return new BoundMethod(this, L"reload", reload_method);
  }
  if (name == Name::intern(L"name")) {
    if (auto* m = dynamic_cast<MtlBase*>(obj)) return new String(m->GetName().data());
  }
  return Value::get_property(arg_list, count);
}

Value* ObjectWrapper::set_property(Value** arg_list, int count) {
  ReferenceTarget* obj = live();
  Value* v = arg_list[0];
  Value* name = arg_list[1];
  ParamLocation loc;
  if (find_param(obj, name->to_string(), loc)) {
    if (loc.type & TYPE_TAB)
      assign_list(block_of(obj, loc), loc, v);
    else
      write_param(block_of(obj, loc), loc, v, 0);
    return v;
  }
  FPInterface* fpi = nullptr;
  const FPPropDef* prop = nullptr;
  if (find_interface_prop(obj, name, fpi, prop)) {
    if (prop->setter_ID == FP_NO_FUNCTION)
      throw RuntimeError(L"Cannot set read-only property: ", name);
    FPParams params(1);
    to_fp(prop->prop_type, v, params.params[0]);
    FPValue result;
    if (fpi->Invoke(prop->setter_ID, 0, result, &params) != FPS_OK)
      throw RuntimeError(L"Interface property write failed: ", name);
    return v;
  }
  if (auto* bt = dynamic_cast<BitmapTex*>(obj)) {
    if (name == Name::intern(L"filename") || name == Name::intern(L"fileName")) {
      if (!is_string(v)) throw ConversionError(v, L"String");
      bt->SetMapName(v->to_string());
      return v;
    }
  }
  if (name == Name::intern(L"name")) {
    if (auto* m = dynamic_cast<MtlBase*>(obj)) {
      m->SetName(MSTR(v->to_string()));
      return v;
    }
  }
  return Value::set_property(arg_list, count);
}

// A host class as a script value: callable to create objects of the class.
class ClassValue : public MAXClass {
 public:
  explicit ClassValue(ClassDesc* c) : cd(c) {}
  ClassDesc* cd;
  void sprin1(CharStream* s) override {
    const MCHAR* n = cd->InternalName();
    s->puts(n && *n ? n : ScriptClassName(*cd));
  }
  Value* apply(Value** args, int count, CallContext*) override {
    int npos = positional_arg_count(args, count);
    if (npos != 0) throw ArgCountError(ScriptClassName(*cd), 0, npos);
    auto* a = static_cast<Animatable*>(cd->Create(FALSE));
    auto* obj = dynamic_cast<ReferenceTarget*>(a);
    if (obj == nullptr)
      throw RuntimeError(L"Cannot create an object of class ", ScriptClassName(*cd));
    assign_new_name(obj);
    TempRoots roots;
    Value* w = roots.add(wrap(obj));
    try {
      for (int i = npos + 1; i + 1 < count; i += 2) {
        Value* set[2] = {args[i + 1], args[i]};
        w->set_property(set, 2);
      }
    } catch (...) {
      obj->MaybeAutoDelete();
      throw;
    }
    return w;
  }
};

std::mutex g_class_mutex;
std::map<ClassDesc*, ClassValue*>& class_values() {
  static auto* m = new std::map<ClassDesc*, ClassValue*>;
  return *m;
}

Value* class_value(ClassDesc* cd) {
  std::lock_guard<std::mutex> lock(g_class_mutex);
  ClassValue*& v = class_values()[cd];
  if (v == nullptr) {
    v = new ClassValue(cd);
    v->make_heap_permanent();
  }
  return v;
}

}  // namespace

Value* wrap(ReferenceTarget* t) {
  return t ? new ObjectWrapper(t) : static_cast<Value*>(&undefined);
}

void deleted_error() {
  throw RuntimeError(L"Attempt to access deleted scene object", static_cast<Value*>(nullptr));
}

namespace {

std::wstring type_name_of(int type) {
  const ParamTypeInfo* info = FindParamType(type);
  std::wstring name = info ? WideFromUtf8(info->scriptType) : L"value";
  if ((type & TYPE_TAB) == 0) return name;
  // List parameters use the short names of integers and booleans.
  if (name == L"integer") name = L"int";
  if (name == L"boolean") name = L"bool";
  return name + L" array";
}

}  // namespace

bool list_properties(Value* v, std::vector<PropertyEntry>& out) {
  auto* w = dynamic_cast<MAXWrapper*>(v);
  if (w == nullptr) return false;
  ReferenceTarget* obj = w->get_ref();
  if (obj == nullptr) deleted_error();
  for (int i = 0; i < obj->NumParamBlocks(); ++i) {
    IParamBlock2* pb = obj->GetParamBlock(i);
    ParamBlockDesc2* desc = pb ? pb->GetDesc() : nullptr;
    if (desc == nullptr) continue;
    for (const ParamDef& def : desc->paramdefs)
      if (def.int_name != nullptr) out.push_back({def.int_name, type_name_of(def.type)});
  }
  ClassDesc* cd = FindClassDesc(obj->SuperClassID(), obj->ClassID());
  for (int i = 0; cd != nullptr && i < cd->NumInterfaces(); ++i) {
    FPInterface* fi = cd->GetInterfaceAt(i);
    FPInterfaceDesc* d = fi ? fi->GetDesc() : nullptr;
    if (d == nullptr) continue;
    for (const FPPropDef& p : d->props)
      if (p.internal_name != nullptr) out.push_back({p.internal_name, type_name_of(p.prop_type)});
  }
  return true;
}

Value* find_host_class(const std::wstring& name) {
  static const std::map<std::wstring, std::wstring> aliases = {{L"bitmaptex", L"Bitmaptexture"},
                                                               {L"bitmap", L"Bitmaptexture"}};
  std::wstring key = name;
  auto alias = aliases.find(FoldCase(name));
  if (alias != aliases.end()) key = alias->second;
  ClassDesc* cd = FindClassDescByInternalName(key.c_str());
  return cd ? class_value(cd) : nullptr;
}

void register_wrapper_classes() {
  define_global(L"textureMap", &TextureMap_class, true);
  define_global(L"material", &Material_class, true);
}

void reset_new_names() {
  g_map_number = 0;
  g_material_number = 0;
}

}  // namespace maxhost::mxs

Value* MAXClass::make_wrapper_for(ReferenceTarget* ref) {
  return maxhost::mxs::wrap(ref);
}
