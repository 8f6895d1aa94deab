// Wrappers of host objects: creation by class name, parameters as properties (list
// parameters as live arrays), published interface properties, and bitmap texture
// methods.
#include <cwctype>
#include <map>
#include <mutex>
#include <unordered_map>

#include <ifnpub.h>
#include <imtl.h>
#include <iparamb2.h>
#include <ref.h>
#include <stdmat.h>

#include "core/class_directory.h"
#include "core/param_block.h"
#include "maxscript/collection.h"
#include "maxscript/heap.h"
#include "maxscript/interp.h"
#include "maxscript/ops.h"
#include "maxscript/values_util.h"

namespace maxhost::mxs {
namespace {

ValueMetaClass ParamArray_class(L"ArrayParameter");
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

class ObjectWrapper;
Value* wrap(ReferenceTarget* t);
Value* class_value(ClassDesc* cd);

[[noreturn]] void deleted_error() {
  throw RuntimeError(L"Attempt to access deleted scene object", static_cast<Value*>(nullptr));
}

int base_type(int type) {
  return type & ~TYPE_TAB;
}

bool is_float_type(int t) {
  return t == TYPE_FLOAT || t == TYPE_ANGLE || t == TYPE_PCNT_FRAC || t == TYPE_WORLD ||
         t == TYPE_COLOR_CHANNEL;
}
bool is_int_type(int t) {
  return t == TYPE_INT || t == TYPE_INDEX || t == TYPE_TIMEVALUE || t == TYPE_RADIOBTN_INDEX;
}

Value* from_pb(int type, const PBValue& v) {
  int t = base_type(type);
  if (is_float_type(t)) return new Float(v.f);
  if (is_int_type(t)) return Integer::intern(v.i);
  if (t == TYPE_BOOL) return bool_result(v.i != 0);
  if (t == TYPE_STRING || t == TYPE_FILENAME) return new String(v.s);
  if (t == TYPE_POINT3 || t == TYPE_RGBA || t == TYPE_FRGBA)
    return new Point3Value(v.p.x, v.p.y, v.p.z);
  if (IsReferenceType(t)) return v.r ? wrap(v.r) : &undefined;
  return &undefined;
}

PBValue to_pb(int type, Value* v) {
  int t = base_type(type);
  PBValue out;
  if (is_float_type(t)) {
    if (!is_number(v)) throw ConversionError(v, L"Float");
    out.f = v->to_float();
  } else if (is_int_type(t)) {
    if (!is_number(v)) throw ConversionError(v, L"Integer");
    out.i = v->to_int();
  } else if (t == TYPE_BOOL) {
    if (is_bool(v))
      out.i = v == &true_value ? 1 : 0;
    else if (is_number(v))
      out.i = v->to_int() != 0;
    else
      throw ConversionError(v, L"BooleanClass");
  } else if (t == TYPE_STRING || t == TYPE_FILENAME) {
    if (!is_string(v) && !is_name(v)) throw ConversionError(v, L"String");
    out.s = v->to_string();
  } else if (t == TYPE_POINT3 || t == TYPE_RGBA || t == TYPE_FRGBA) {
    if (!is_kind(v, Point3Value)) throw ConversionError(v, L"Point3");
    auto* p = static_cast<Point3Value*>(v);
    out.p = Point3(p->x, p->y, p->z);
  } else if (IsReferenceType(t)) {
    if (v == &undefined)
      out.r = nullptr;
    else if (auto* w = dynamic_cast<MAXWrapper*>(v)) {
      out.r = w->get_ref();
      if (out.r == nullptr) deleted_error();
    } else {
      throw ConversionError(v, L"MAXWrapper");
    }
  } else {
    throw RuntimeError(L"Unsupported parameter type", static_cast<Value*>(nullptr));
  }
  return out;
}

bool same_pb(int type, const PBValue& a, const PBValue& b) {
  int t = base_type(type);
  if (is_float_type(t)) return a.f == b.f;
  if (is_int_type(t) || t == TYPE_BOOL) return a.i == b.i;
  if (t == TYPE_STRING || t == TYPE_FILENAME) return a.s == b.s;
  if (IsReferenceType(t)) return a.r == b.r;
  return a.p.x == b.p.x && a.p.y == b.p.y && a.p.z == b.p.z;
}

// Where a named parameter lives: the block ID and the parameter's definition.
struct ParamLocation {
  BlockID block = -1;
  ParamID id = -1;
  int type = TYPE_VOID;
};

bool find_param(ReferenceTarget* obj, Value* name, ParamLocation& out) {
  const MCHAR* text = name->to_string();
  for (int i = 0; i < obj->NumParamBlocks(); ++i) {
    IParamBlock2* pb = obj->GetParamBlock(i);
    if (pb == nullptr || pb->GetDesc() == nullptr) continue;
    ParamBlockDesc2* desc = pb->GetDesc();
    int idx = desc->NameToIndex(text);
    if (idx < 0) continue;
    const ParamDef& def = desc->paramdefs[static_cast<std::size_t>(idx)];
    out.block = pb->ID();
    out.id = def.ID;
    out.type = def.type;
    return true;
  }
  return false;
}

ParamBlock2* block_of(ReferenceTarget* obj, BlockID id) {
  if (obj == nullptr) deleted_error();
  auto* pb = dynamic_cast<ParamBlock2*>(obj->GetParamBlockByID(id));
  if (pb == nullptr) deleted_error();
  return pb;
}

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

Value* from_fp(const FPValue& v) {
  switch (static_cast<int>(v.type)) {
    case TYPE_VALUE:
      return v.v ? v.v : &undefined;
    case TYPE_INT:
    case TYPE_INDEX:
    case TYPE_TIMEVALUE:
    case TYPE_RADIOBTN_INDEX:
      return Integer::intern(v.i);
    case TYPE_FLOAT:
    case TYPE_ANGLE:
    case TYPE_PCNT_FRAC:
    case TYPE_WORLD:
      return new Float(v.f);
    case TYPE_BOOL:
      return bool_result(v.i != 0);
    case TYPE_bool:
      return bool_result(v.b);
    case TYPE_STRING:
    case TYPE_FILENAME:
      return new String(v.s ? v.s : L"");
    case TYPE_TSTR:
      return new String(v.tstr ? v.tstr->data() : L"");
    case TYPE_TEXMAP:
    case TYPE_MTL:
    case TYPE_REFTARG:
      return v.r ? wrap(v.r) : &undefined;
    case TYPE_VOID:
      return &ok;
    default:
      return &undefined;
  }
}

void to_fp(ParamType2 type, Value* v, FPValue& out) {
  switch (static_cast<int>(type)) {
    case TYPE_VALUE:
      out.Load(TYPE_VALUE, v);
      return;
    case TYPE_INT:
    case TYPE_INDEX:
      out.Load(type, v->to_int());
      return;
    case TYPE_FLOAT:
      out.Load(type, v->to_float());
      return;
    case TYPE_BOOL:
      out.Load(type, static_cast<int>(v->to_bool()));
      return;
    case TYPE_bool:
      out.Load(type, v->to_bool() != 0);
      return;
    case TYPE_STRING:
      out.LoadString(v->to_string());
      out.type = TYPE_STRING;
      return;
    case TYPE_TEXMAP:
    case TYPE_MTL:
    case TYPE_REFTARG:
      out.LoadPtr(type, v == &undefined ? nullptr : v->to_reftarg());
      return;
    default:
      throw RuntimeError(L"Unsupported interface property type", static_cast<Value*>(nullptr));
  }
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
    MSTR cls;
    r->GetClassName(cls);
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

  Value* get_property(Value** arg_list, int count) override;
  Value* set_property(Value** arg_list, int count) override;

 private:
  RefWatcher* watcher_;
};

// A list parameter of a host object, read and written through its block.
class ParamArray : public Value, public CollectionOps {
 public:
  ParamArray(ObjectWrapper* owner, const ParamLocation& loc) : owner_(owner), loc_(loc) {
    tag = &ParamArray_class;
  }

  ParamBlock2* block() { return block_of(owner_->get_ref(), loc_.block); }
  int count() { return block()->Count(loc_.id); }

  Value* item(int i) {
    PBValue v;
    Interval valid = FOREVER;
    if (!block()->GetGeneric(loc_.id, 0, v, valid, i)) return &undefined;
    return from_pb(loc_.type, v);
  }

  Array* snapshot() {
    auto* a = new Array(0);
    TempRoots roots;
    roots.add(a);
    int n = count();
    for (int i = 0; i < n; ++i) a->append(item(i));
    return a;
  }

  void gc_trace() override { gc_mark(owner_); }
  void sprin1(CharStream* s) override { snapshot()->sprin1(s); }
  Value* iterate_items() override { return snapshot(); }
  Value* coerce(ValueMetaClass* target) override {
    if (target == &Array_class) return snapshot();
    return Value::coerce(target);
  }

  Value* get_property(Value** arg_list, int c) override {
    if (arg_list[0] == Name::intern(L"count")) return Integer::intern(count());
    return Value::get_property(arg_list, c);
  }
  Value* set_property(Value** arg_list, int c) override {
    if (arg_list[1] == Name::intern(L"count")) {
      int n = arg_list[0]->to_int();
      if (n < 0) throw RuntimeError(L"Array count must be +ve number, got: ", arg_list[0]);
      block()->SetCount(loc_.id, n);
      return arg_list[0];
    }
    return Value::set_property(arg_list, c);
  }

  Value* get_vf(Value** arg_list, int) override {
    Value* i = arg_list[0];
    if (!is_number(i) || i->to_int() < 1)
      throw RuntimeError(L"array index must be +ve number, got: ", i);
    return i->to_int() > count() ? static_cast<Value*>(&undefined) : item(i->to_int() - 1);
  }
  Value* put_vf(Value** arg_list, int) override {
    Value* i = arg_list[0];
    if (!is_number(i) || i->to_int() < 1)
      throw RuntimeError(L"array index must be +ve number, got: ", i);
    int k = i->to_int();
    ParamBlock2* pb = block();
    PBValue v = to_pb(loc_.type, arg_list[1]);
    if (k > pb->Count(loc_.id)) {
      if (k > 1000000) throw RuntimeError(L"array index too large: ", i);
      pb->SetCount(loc_.id, k);
    }
    pb->SetGeneric(loc_.id, 0, v, k - 1);
    return arg_list[1];
  }

  void append_item(Value* v) override {
    PBValue p = to_pb(loc_.type, v);
    block()->AssignTab(loc_.id, 0, with_appended(p));
  }
  void delete_item(int index) override {
    ParamBlock2* pb = block();
    if (index < 1 || index > pb->Count(loc_.id))
      throw RuntimeError(L"Array index out of bounds: ", Integer::intern(index));
    pb->Delete(loc_.id, index - 1, 1);
  }

 private:
  std::vector<PBValue> with_appended(const PBValue& extra) {
    ParamBlock2* pb = block();
    std::vector<PBValue> values;
    int n = pb->Count(loc_.id);
    for (int i = 0; i < n; ++i) {
      PBValue v;
      Interval valid = FOREVER;
      pb->GetGeneric(loc_.id, 0, v, valid, i);
      values.push_back(v);
    }
    values.push_back(extra);
    return values;
  }

  ObjectWrapper* owner_;
  ParamLocation loc_;
};

// Replaces a list parameter by the items of an array: values that differ are set one by
// one (change messages); a new count, or another order of references, replaces the list
// (one structure change).
void assign_list(ReferenceTarget* obj, const ParamLocation& loc, Value* v) {
  Array* items = iterable_items(v);
  TempRoots roots;
  roots.add(items);
  std::vector<PBValue> fresh;
  for (Value* e : items->data) fresh.push_back(to_pb(loc.type, e));
  ParamBlock2* pb = block_of(obj, loc.block);
  int n = pb->Count(loc.id);
  std::vector<PBValue> old(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) {
    Interval valid = FOREVER;
    pb->GetGeneric(loc.id, 0, old[static_cast<std::size_t>(i)], valid, i);
  }
  bool replace = fresh.size() != old.size();
  if (!replace && IsReferenceType(base_type(loc.type)))
    for (std::size_t i = 0; i < fresh.size(); ++i) replace = replace || fresh[i].r != old[i].r;
  if (replace) {
    pb->AssignTab(loc.id, 0, fresh);
    return;
  }
  for (std::size_t i = 0; i < fresh.size(); ++i)
    if (!same_pb(loc.type, fresh[i], old[i]))
      pb->SetGeneric(loc.id, 0, fresh[i], static_cast<int>(i));
}

Value* reload_method(Value* self, Value**, int) {
  auto* w = static_cast<ObjectWrapper*>(self);
  if (auto* bt = dynamic_cast<BitmapTex*>(w->live())) bt->ReloadBitmapAndUpdate();
  return &ok;
}

Value* ObjectWrapper::get_property(Value** arg_list, int count) {
  ReferenceTarget* obj = live();
  Value* name = arg_list[0];
  ParamLocation loc;
  if (find_param(obj, name, loc)) {
    if (loc.type & TYPE_TAB) return new ParamArray(this, loc);
    PBValue v;
    Interval valid = FOREVER;
    block_of(obj, loc.block)->GetGeneric(loc.id, 0, v, valid, 0);
    return from_pb(loc.type, v);
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
  if (find_param(obj, name, loc)) {
    if (loc.type & TYPE_TAB) {
      assign_list(obj, loc, v);
    } else {
      PBValue p = to_pb(loc.type, v);
      block_of(obj, loc.block)->SetGeneric(loc.id, 0, p, 0);
    }
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
    s->puts(n && *n ? n : cd->ClassName());
  }
  Value* apply(Value** args, int count, CallContext*) override {
    int npos = positional_arg_count(args, count);
    if (npos != 0) throw ArgCountError(cd->ClassName(), 0, npos);
    auto* a = static_cast<Animatable*>(cd->Create(FALSE));
    auto* obj = dynamic_cast<ReferenceTarget*>(a);
    if (obj == nullptr) throw RuntimeError(L"Cannot create an object of class ", cd->ClassName());
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

Value* wrap(ReferenceTarget* t) {
  return t ? new ObjectWrapper(t) : static_cast<Value*>(&undefined);
}

std::wstring lower(std::wstring s) {
  for (auto& c : s) c = static_cast<wchar_t>(std::towlower(c));
  return s;
}

}  // namespace

Value* find_host_class(const std::wstring& name) {
  static const std::map<std::wstring, std::wstring> aliases = {{L"bitmaptex", L"Bitmaptexture"},
                                                               {L"bitmap", L"Bitmaptexture"}};
  std::wstring key = name;
  auto alias = aliases.find(lower(name));
  if (alias != aliases.end()) key = alias->second;
  ClassDesc* cd = FindClassDescByInternalName(key.c_str());
  return cd ? class_value(cd) : nullptr;
}

void register_wrapper_classes() {}

}  // namespace maxhost::mxs

Value* MAXClass::make_wrapper_for(ReferenceTarget* ref) {
  return maxhost::mxs::wrap(ref);
}
