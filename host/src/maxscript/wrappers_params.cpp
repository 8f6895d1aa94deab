// Parameters of host objects, read and written through IParamBlock2. What a type is
// stored as, what scripts see and how user units differ from stored ones come from the
// shared parameter-type table.
#include "maxscript/wrappers_params.h"

#include <cfloat>
#include <cmath>
#include <vector>

#include <ifnpub.h>
#include <imtl.h>

#include "base/param_types.h"
#include "base/text.h"
#include "maxscript/collection.h"
#include "maxscript/heap.h"
#include "maxscript/ops.h"

namespace maxhost::mxs {
namespace {

ValueMetaClass ParamArray_class(L"ArrayParameter");

// One entry in the block's own form.
struct Slot {
  float f = 0.0f;
  int i = 0;
  Point3 p = Point3(0.0f, 0.0f, 0.0f);
  AColor c = AColor(0.0f, 0.0f, 0.0f, 1.0f);
  std::wstring s;
  ReferenceTarget* r = nullptr;
};

const ParamTypeInfo& info_of(const ParamLocation& loc) {
  const ParamTypeInfo* info = FindParamType(loc.type);
  if (info == nullptr) throw RuntimeError(L"Unsupported parameter type: ", loc.name.c_str());
  return *info;
}

bool load(IParamBlock2* pb, const ParamLocation& loc, const ParamTypeInfo& info, int tab, Slot& s) {
  Interval valid = FOREVER;
  switch (info.storage) {
    case ParamStorage::Float:
      return pb->GetValue(loc.id, 0, s.f, valid, tab);
    case ParamStorage::Int:
      return pb->GetValue(loc.id, 0, s.i, valid, tab);
    case ParamStorage::Point3:
      if (info.type == TYPE_RGBA) {
        Color c;
        if (!pb->GetValue(loc.id, 0, c, valid, tab)) return false;
        s.p = Point3(c.r, c.g, c.b);
        return true;
      }
      return pb->GetValue(loc.id, 0, s.p, valid, tab);
    case ParamStorage::Point4:
      return pb->GetValue(loc.id, 0, s.c, valid, tab);
    case ParamStorage::String: {
      const MCHAR* text = nullptr;
      if (!pb->GetValue(loc.id, 0, text, valid, tab)) return false;
      s.s = text ? text : L"";
      return true;
    }
    case ParamStorage::Reference:
      s.r = pb->GetReferenceTarget(loc.id, 0, tab);
      return true;
  }
  return false;
}

Value* value_of(const ParamTypeInfo& info, const Slot& s) {
  switch (info.storage) {
    case ParamStorage::Float:
      return new Float(static_cast<float>(ToUserValue(info.type, s.f)));
    case ParamStorage::Int:
      if (info.script == ScriptForm::Boolean) return bool_result(s.i != 0);
      return Integer::intern(s.i);
    case ParamStorage::Point3:
      if (info.script == ScriptForm::Color)
        return new ColorValue(s.p.x * 255.f, s.p.y * 255.f, s.p.z * 255.f);
      return new Point3Value(s.p.x, s.p.y, s.p.z);
    case ParamStorage::Point4:
      if (info.script == ScriptForm::Color)
        return new ColorValue(s.c.r * 255.f, s.c.g * 255.f, s.c.b * 255.f, s.c.a * 255.f);
      return new Point3Value(s.c.r, s.c.g, s.c.b);
    case ParamStorage::String:
      return new String(s.s);
    case ParamStorage::Reference:
      return s.r ? wrap(s.r) : &undefined;
  }
  return &undefined;
}

[[noreturn]] void out_of_range(const ParamLocation& loc, const wchar_t* range, Value* v) {
  throw RuntimeError((loc.name + L" needs " + range + L", got: ").c_str(), v);
}

ReferenceTarget* target_of(const ParamLocation& loc, const ParamTypeInfo& info, Value* v) {
  if (v == &undefined) return nullptr;
  auto* w = dynamic_cast<MAXWrapper*>(v);
  if (w == nullptr) throw ConversionError(v, L"MAXWrapper");
  ReferenceTarget* r = w->get_ref();
  if (r == nullptr) deleted_error();
  if (info.accepts != 0 && r->SuperClassID() != info.accepts)
    throw RuntimeError((loc.name + L" cannot hold: ").c_str(), v);
  return r;
}

// The script value in the block's form, checked against the parameter's range. `current`
// supplies what scripts cannot give (the alpha of a four-component colour).
Slot slot_from(const ParamLocation& loc, const ParamTypeInfo& info, Value* v, const Slot& current) {
  Slot s = current;
  switch (info.storage) {
    case ParamStorage::Float: {
      if (!is_number(v)) throw ConversionError(v, L"Float");
      const double stored = FromUserValue(info.type, v->to_double());
      if (!(std::fabs(stored) <= FLT_MAX)) out_of_range(loc, L"a number within float range", v);
      s.f = static_cast<float>(stored);
      break;
    }
    case ParamStorage::Int:
      if (info.script == ScriptForm::Boolean) {
        if (is_bool(v))
          s.i = v == &true_value ? 1 : 0;
        else if (is_number(v))
          s.i = v->to_double() != 0.0 ? 1 : 0;
        else
          throw ConversionError(v, L"BooleanClass");
        break;
      }
      if (!is_number(v)) throw ConversionError(v, L"Integer");
      if (!FitsInt32(v->to_double()))
        out_of_range(loc, L"an integer from -2147483648 to 2147483647", v);
      s.i = static_cast<int>(v->to_double());
      break;
    case ParamStorage::Point3:
    case ParamStorage::Point4: {
      if (info.script == ScriptForm::Color && is_color(v)) {
        // A Color is on the 0 to 255 scale; a Point3 given for a colour is stored as is.
        auto* c = static_cast<ColorValue*>(v);
        s.p = Point3(c->r / 255.f, c->g / 255.f, c->b / 255.f);
        s.c = AColor(s.p.x, s.p.y, s.p.z, c->a / 255.f);
        break;
      }
      if (!is_kind(v, Point3Value)) throw ConversionError(v, L"Point3");
      auto* p = static_cast<Point3Value*>(v);
      s.p = Point3(p->x, p->y, p->z);
      s.c = AColor(p->x, p->y, p->z, current.c.a);
      break;
    }
    case ParamStorage::String:
      if (!is_string(v) && !is_name(v)) throw ConversionError(v, L"String");
      s.s = v->to_string();
      break;
    case ParamStorage::Reference:
      s.r = target_of(loc, info, v);
      break;
  }
  return s;
}

// The reference system refuses a reference that closes a loop; scripts are told why
// before anything changes.
void refuse_loop(IParamBlock2* pb, const Slot& s, Value* v) {
  if (s.r != nullptr && (s.r == pb || s.r->HasReferenceTo(pb)))
    throw RuntimeError(L"a map cannot contain itself: ", v);
}

Slot prepare(IParamBlock2* pb, const ParamLocation& loc, const ParamTypeInfo& info, Value* v,
             int tab) {
  Slot current;
  if (info.storage == ParamStorage::Point4) load(pb, loc, info, tab, current);
  Slot s = slot_from(loc, info, v, current);
  refuse_loop(pb, s, v);
  return s;
}

BOOL store(IParamBlock2* pb, const ParamLocation& loc, const ParamTypeInfo& info, const Slot& s,
           int tab) {
  switch (info.storage) {
    case ParamStorage::Float:
      return pb->SetValue(loc.id, 0, s.f, tab);
    case ParamStorage::Int:
      return pb->SetValue(loc.id, 0, s.i, tab);
    case ParamStorage::Point3:
      if (info.type == TYPE_RGBA) return pb->SetValue(loc.id, 0, Color(s.p.x, s.p.y, s.p.z), tab);
      return pb->SetValue(loc.id, 0, s.p, tab);
    case ParamStorage::Point4:
      return pb->SetValue(loc.id, 0, s.c, tab);
    case ParamStorage::String:
      return pb->SetValue(loc.id, 0, s.s.c_str(), tab);
    case ParamStorage::Reference:
      if (info.type == TYPE_TEXMAP) return pb->SetValue(loc.id, 0, dynamic_cast<Texmap*>(s.r), tab);
      if (info.type == TYPE_MTL) return pb->SetValue(loc.id, 0, dynamic_cast<Mtl*>(s.r), tab);
      return pb->SetValue(loc.id, 0, s.r, tab);
  }
  return FALSE;
}

void commit(IParamBlock2* pb, const ParamLocation& loc, const ParamTypeInfo& info, const Slot& s,
            int tab, Value* v) {
  if (!store(pb, loc, info, s, tab)) throw RuntimeError((loc.name + L" cannot hold: ").c_str(), v);
}

bool same(const ParamTypeInfo& info, const Slot& a, const Slot& b) {
  switch (info.storage) {
    case ParamStorage::Float:
      return a.f == b.f;
    case ParamStorage::Int:
      return a.i == b.i;
    case ParamStorage::Point3:
      return a.p == b.p;
    case ParamStorage::Point4:
      return a.c == b.c;
    case ParamStorage::String:
      return a.s == b.s;
    case ParamStorage::Reference:
      return a.r == b.r;
  }
  return false;
}

template <typename T, typename Get>
void append_as(IParamBlock2* pb, ParamID id, const std::vector<Slot>& slots, Get get) {
  std::vector<T> items;
  items.reserve(slots.size());
  for (const Slot& s : slots) items.push_back(get(s));
  pb->Append(id, static_cast<int>(items.size()), items.data());
}

// Appends entries in one list operation (one structure change), then checks that the
// block took each of them; entries it refused are removed again and reported.
void append_slots(IParamBlock2* pb, const ParamLocation& loc, const ParamTypeInfo& info,
                  const std::vector<Slot>& slots, Array* values) {
  if (slots.empty()) return;
  const int before = pb->Count(loc.id);
  switch (info.storage) {
    case ParamStorage::Float:
      append_as<float>(pb, loc.id, slots, [](const Slot& s) { return s.f; });
      break;
    case ParamStorage::Int:
      append_as<int>(pb, loc.id, slots, [](const Slot& s) { return s.i; });
      break;
    case ParamStorage::Point3:
    case ParamStorage::Point4:
      if (info.type == TYPE_POINT3 || info.type == TYPE_HSV)
        append_as<Point3>(pb, loc.id, slots, [](const Slot& s) { return s.p; });
      else
        append_as<Color>(pb, loc.id, slots,
                         [](const Slot& s) { return Color(s.p.x, s.p.y, s.p.z); });
      break;
    case ParamStorage::String:
      append_as<const MCHAR*>(pb, loc.id, slots, [](const Slot& s) { return s.s.c_str(); });
      break;
    case ParamStorage::Reference:
      if (info.type == TYPE_TEXMAP)
        append_as<Texmap*>(pb, loc.id, slots,
                           [](const Slot& s) { return dynamic_cast<Texmap*>(s.r); });
      else if (info.type == TYPE_MTL)
        append_as<Mtl*>(pb, loc.id, slots, [](const Slot& s) { return dynamic_cast<Mtl*>(s.r); });
      else
        append_as<ReferenceTarget*>(pb, loc.id, slots, [](const Slot& s) { return s.r; });
      break;
  }
  const int added = pb->Count(loc.id) - before;
  for (std::size_t k = 0; k < slots.size(); ++k) {
    const int tab = before + static_cast<int>(k);
    bool taken = added == static_cast<int>(slots.size());
    if (taken && info.storage == ParamStorage::Point4)
      taken = store(pb, loc, info, slots[k], tab) != FALSE;
    if (taken && info.storage == ParamStorage::Reference)
      taken = pb->GetReferenceTarget(loc.id, 0, tab) == slots[k].r;
    if (!taken) {
      if (added > 0) pb->Delete(loc.id, before, added);
      throw RuntimeError((loc.name + L" cannot hold: ").c_str(), values->get(static_cast<int>(k)));
    }
  }
}

// Reference messages held back for a scope: the steps of one list replacement that the
// dependents should see as a single structure change.
class QuietMessages {
 public:
  QuietMessages() { DisableRefMsgs(); }
  ~QuietMessages() { EnableRefMsgs(); }
  QuietMessages(const QuietMessages&) = delete;
  QuietMessages& operator=(const QuietMessages&) = delete;
};

// A list parameter of a host object, read and written through its block.
class ParamArray : public Value, public CollectionOps {
 public:
  ParamArray(MAXWrapper* owner, const ParamLocation& loc) : owner_(owner), loc_(loc) {
    tag = &ParamArray_class;
  }

  IParamBlock2* block() { return block_of(owner_->get_ref(), loc_); }
  int count() { return block()->Count(loc_.id); }

  Array* snapshot() {
    auto* a = new Array(0);
    TempRoots roots;
    roots.add(a);
    IParamBlock2* pb = block();
    int n = pb->Count(loc_.id);
    for (int i = 0; i < n; ++i) a->append(read_param(pb, loc_, i));
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
      Value* n = arg_list[0];
      if (!is_number(n) || n->to_double() < 0 || n->to_double() > 1000000)
        throw RuntimeError(L"Array count must be +ve number, got: ", n);
      block()->SetCount(loc_.id, n->to_int());
      return n;
    }
    return Value::set_property(arg_list, c);
  }

  Value* get_vf(Value** arg_list, int) override {
    const int k = index_of(arg_list[0]);
    return k > count() ? static_cast<Value*>(&undefined) : read_param(block(), loc_, k - 1);
  }
  Value* put_vf(Value** arg_list, int) override {
    const int k = index_of(arg_list[0]);
    IParamBlock2* pb = block();
    const ParamTypeInfo& info = info_of(loc_);
    const int old = pb->Count(loc_.id);
    if (k > 1000000) throw RuntimeError(L"array index too large: ", arg_list[0]);
    Slot s = prepare(pb, loc_, info, arg_list[1], k <= old ? k - 1 : 0);
    if (k > old) pb->SetCount(loc_.id, k);
    try {
      commit(pb, loc_, info, s, k - 1, arg_list[1]);
    } catch (...) {
      if (k > old) pb->SetCount(loc_.id, old);
      throw;
    }
    return arg_list[1];
  }

  void append_item(Value* v) override {
    IParamBlock2* pb = block();
    const ParamTypeInfo& info = info_of(loc_);
    auto* one = new Array(1);
    TempRoots roots;
    roots.add(one);
    one->append(v);
    append_slots(pb, loc_, info, {prepare(pb, loc_, info, v, 0)}, one);
  }
  void delete_item(int index) override {
    IParamBlock2* pb = block();
    if (index < 1 || index > pb->Count(loc_.id))
      throw RuntimeError(L"Array index out of bounds: ", Integer::intern(index));
    pb->Delete(loc_.id, index - 1, 1);
  }

 private:
  static int index_of(Value* i) {
    if (!is_number(i) || i->to_double() < 1 || !FitsInt32(i->to_double()))
      throw RuntimeError(L"array index must be +ve number, got: ", i);
    return i->to_int();
  }

  MAXWrapper* owner_;
  ParamLocation loc_;
};

}  // namespace

bool find_param(ReferenceTarget* obj, const MCHAR* name, ParamLocation& out) {
  for (int i = 0; i < obj->NumParamBlocks(); ++i) {
    IParamBlock2* pb = obj->GetParamBlock(i);
    if (pb == nullptr || pb->GetDesc() == nullptr) continue;
    ParamBlockDesc2* desc = pb->GetDesc();
    int idx = desc->NameToIndex(name);
    if (idx < 0) continue;
    const ParamDef& def = desc->paramdefs[static_cast<std::size_t>(idx)];
    out.block = pb->ID();
    out.id = def.ID;
    out.type = def.type;
    out.name = def.int_name ? def.int_name : name;
    return true;
  }
  return false;
}

IParamBlock2* block_of(ReferenceTarget* obj, const ParamLocation& loc) {
  if (obj == nullptr) deleted_error();
  IParamBlock2* pb = obj->GetParamBlockByID(loc.block);
  if (pb == nullptr) deleted_error();
  return pb;
}

Value* read_param(IParamBlock2* pb, const ParamLocation& loc, int tab) {
  const ParamTypeInfo& info = info_of(loc);
  Slot s;
  if (!load(pb, loc, info, tab, s)) return &undefined;
  return value_of(info, s);
}

void write_param(IParamBlock2* pb, const ParamLocation& loc, Value* v, int tab) {
  const ParamTypeInfo& info = info_of(loc);
  commit(pb, loc, info, prepare(pb, loc, info, v, tab), tab, v);
}

Value* make_param_array(MAXWrapper* owner, const ParamLocation& loc) {
  return new ParamArray(owner, loc);
}

// Values that differ are set one by one (change messages). A new count, or another order
// of references, replaces the list as one structure change: the new entries go in before
// the old ones leave, so a target present in both never loses its last reference.
void assign_list(IParamBlock2* pb, const ParamLocation& loc, Value* v) {
  const ParamTypeInfo& info = info_of(loc);
  Array* items = iterable_items(v);
  TempRoots roots;
  roots.add(items);
  const int old = pb->Count(loc.id);
  std::vector<Slot> fresh, now(static_cast<std::size_t>(old));
  for (int i = 0; i < items->count(); ++i)
    fresh.push_back(prepare(pb, loc, info, items->get(i), i < old ? i : 0));
  for (int i = 0; i < old; ++i) load(pb, loc, info, i, now[static_cast<std::size_t>(i)]);
  bool replace = fresh.size() != now.size();
  for (std::size_t i = 0; !replace && i < fresh.size(); ++i)
    replace = info.storage == ParamStorage::Reference && fresh[i].r != now[i].r;
  if (!replace) {
    for (std::size_t i = 0; i < fresh.size(); ++i)
      if (!same(info, fresh[i], now[i]))
        commit(pb, loc, info, fresh[i], static_cast<int>(i), items->get(static_cast<int>(i)));
    return;
  }
  if (old == 0) {
    append_slots(pb, loc, info, fresh, items);
    return;
  }
  {
    QuietMessages quiet;
    append_slots(pb, loc, info, fresh, items);
  }
  pb->Delete(loc.id, 0, old);
}

}  // namespace maxhost::mxs

namespace maxhost::mxs {

Value* from_fp(const FPValue& v) {
  switch (static_cast<int>(v.type)) {
    case TYPE_VALUE:
      return v.v ? v.v : &undefined;
    case TYPE_bool:
      return bool_result(v.b);
    case TYPE_TSTR:
      return new String(v.tstr ? v.tstr->data() : L"");
    case TYPE_VOID:
      return &ok;
    default:
      break;
  }
  const ParamTypeInfo* info = FindParamType(v.type);
  if (info == nullptr) return &undefined;
  switch (info->storage) {
    case ParamStorage::Float:
      return new Float(static_cast<float>(ToUserValue(info->type, v.f)));
    case ParamStorage::Int:
      if (info->script == ScriptForm::Boolean) return bool_result(v.i != 0);
      return Integer::intern(v.i);
    case ParamStorage::String:
      return new String(v.s ? v.s : L"");
    case ParamStorage::Reference: {
      // The published value is held in the member of its own type.
      ReferenceTarget* r = info->type == TYPE_TEXMAP ? v.tex : info->type == TYPE_MTL ? v.mtl : v.r;
      return r ? wrap(r) : &undefined;
    }
    case ParamStorage::Point3:
      if (info->type == TYPE_RGBA)
        return v.clr ? static_cast<Value*>(
                           new ColorValue(v.clr->r * 255.f, v.clr->g * 255.f, v.clr->b * 255.f))
                     : &undefined;
      return v.p ? static_cast<Value*>(new Point3Value(v.p->x, v.p->y, v.p->z)) : &undefined;
    case ParamStorage::Point4:
      break;
  }
  return &undefined;
}

void to_fp(ParamType2 type, Value* v, FPValue& out) {
  if (type == TYPE_VALUE) return out.Load(TYPE_VALUE, v);
  if (type == TYPE_bool) return out.Load(type, v->to_bool() != 0);
  const ParamTypeInfo* info = FindParamType(type);
  const ParamStorage storage = info ? info->storage : ParamStorage::Point4;
  switch (storage) {
    case ParamStorage::Float: {
      if (!is_number(v)) throw ConversionError(v, L"Float");
      const double stored = FromUserValue(type, v->to_double());
      if (!(std::fabs(stored) <= FLT_MAX))
        throw RuntimeError(L"Interface property needs a number within float range, got: ", v);
      return out.Load(type, static_cast<float>(stored));
    }
    case ParamStorage::Int:
      if (info->script == ScriptForm::Boolean)
        return out.Load(type, static_cast<int>(v->to_bool()));
      if (!is_number(v)) throw ConversionError(v, L"Integer");
      if (!FitsInt32(v->to_double()))
        throw RuntimeError(L"Interface property needs a 32-bit integer, got: ", v);
      return out.Load(type, static_cast<int>(v->to_double()));
    case ParamStorage::String:
      if (!is_string(v) && !is_name(v)) throw ConversionError(v, L"String");
      out.LoadString(v->to_string());
      out.type = TYPE_STRING;
      return;
    case ParamStorage::Reference:
      return out.LoadPtr(type, v == &undefined ? nullptr : v->to_reftarg());
    case ParamStorage::Point3:
    case ParamStorage::Point4:
      break;
  }
  throw RuntimeError(L"Unsupported interface property type", static_cast<Value*>(nullptr));
}

}  // namespace maxhost::mxs
