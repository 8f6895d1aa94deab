#include "dotnet/bridge.h"

#include <cmath>
#include <span>
#include <unordered_set>

#include "base/text.h"
#include "dotnet/controls.h"
#include "maxscript/engine.h"
#include "maxscript/heap.h"
#include "maxscript/interp.h"
#include "maxscript/value_numbers.h"
#include "maxscript/values_util.h"

namespace maxhost::dotnet {

// Inside script value classes the bare name Value means the engine's class.
using NetValue = dotnet::Value;

namespace {

ValueMetaClass dotNetObject_class(L"dotNetObject");
ValueMetaClass dotNetClass_class(L"dotNetClass");
ValueMetaClass dotNetMethod_class(L"dotNetMethod");
ValueMetaClass dotNetMXSValue_class(L"dotNetMXSValue");
ValueMetaClass dotNetInterface_class(L"Interface");

[[noreturn]] void rethrowAsScriptError(const DotNetError& e) {
  throw RuntimeError((L".NET runtime exception: " + e.message()).c_str(),
                     static_cast<::Value*>(nullptr));
}

template <class F>
auto guarded(F&& f) -> decltype(f()) {
  try {
    return f();
  } catch (const DotNetError& e) {
    rethrowAsScriptError(e);
  }
}

std::wstring nameText(::Value* v) {
  if (is_name(v) || is_string(v)) return v->to_string();
  return mxs::printed(v);
}

// ---- the proxy: a .NET object holding a script value

class MXSValueProxy : public Object {
 public:
  explicit MXSValueProxy(::Value* v) : Object(typeNamed(L"dotNetMXSValue")), value(v) {}
  ::Value* value;
  std::wstring toString() const override { return mxs::printed(value); }
};

// ---- marking script values held by .NET objects

// Handlers hold script functions; proxies hold script values. Everything reachable from
// a marked .NET object is marked, each object once per collection.
class ScriptEventHandler;
void markGraph(const NetValue& root);

struct MarkEpoch {
  std::size_t collection = SIZE_MAX;
  std::unordered_set<const Object*> visited;
};
MarkEpoch& epoch() {
  static MarkEpoch e;
  return e;
}

// Objects handed to .NET's lifetime control (dotNet.setLifetimeControl obj #dotnet).
std::vector<std::weak_ptr<Object>>& lifetimeControlled() {
  static std::vector<std::weak_ptr<Object>> list;
  return list;
}

// ---- script values standing for .NET things

class DotNetObjectValue : public ::Value {
 public:
  explicit DotNetObjectValue(NetValue v) : value(std::move(v)) {
    tag = proxy() ? &dotNetMXSValue_class : &dotNetObject_class;
  }
  NetValue value;

  MXSValueProxy* proxy() const {
    return value.kind() == NetValue::Kind::Object
               ? dynamic_cast<MXSValueProxy*>(value.asObject().get())
               : nullptr;
  }

  void sprin1(CharStream* s) override {
    if (MXSValueProxy* p = proxy()) {
      s->puts(L"dotNetMXSValue:");
      p->value->sprin1(s);
      return;
    }
    s->puts((L"dotNetObject:" + value.typeName()).c_str());
  }

  ::Value* get_property(::Value** args, int count) override;
  ::Value* set_property(::Value** args, int count) override;
  ::Value* get_vf(::Value** args, int) override {
    return guarded([&] { return toScript(getIndexed(value, {toDotNet(args[0])})); });
  }
  ::Value* put_vf(::Value** args, int) override {
    guarded([&] {
      setIndexed(value, {toDotNet(args[0])}, toDotNet(args[1]));
      return 0;
    });
    return args[1];
  }
  bool equals(::Value* other) override {
    auto* o = dynamic_cast<DotNetObjectValue*>(other);
    return o && valuesEqual(value, o->value);
  }
  ::Value* iterate_items() override;
  void gc_trace() override { markGraph(value); }
};

// A method of an object or a class, called by juxtaposition or with ().
class DotNetMethodValue : public ::Value {
 public:
  DotNetMethodValue(NetValue target, const TypeInfo* type, std::wstring name)
      : target(std::move(target)), type(type), name(std::move(name)) {
    tag = &dotNetMethod_class;
  }
  NetValue target;       // null for static methods
  const TypeInfo* type;  // the class for static methods
  std::wstring name;

  void sprin1(CharStream* s) override { s->puts((L"dotNetMethod:" + name).c_str()); }
  ::Value* apply(::Value** arglist, int count, CallContext* = nullptr) override {
    Args args;
    int n = positional_arg_count(arglist, count);
    for (int i = 0; i < n; ++i) args.push_back(toDotNet(arglist[i]));
    return guarded([&] {
      return toScript(type ? callStatic(*type, name, args) : callMethod(target, name, args));
    });
  }
  void gc_trace() override { markGraph(target); }
};

// `obj.Item`: indexed with [i] to read or assign.
class DotNetIndexedValue : public ::Value {
 public:
  explicit DotNetIndexedValue(NetValue target) : target(std::move(target)) {
    tag = &dotNetObject_class;
  }
  NetValue target;
  void sprin1(CharStream* s) override {
    s->puts((L"dotNetObject:" + target.typeName() + L".Item").c_str());
  }
  ::Value* get_vf(::Value** args, int) override {
    return guarded([&] { return toScript(getIndexed(target, {toDotNet(args[0])})); });
  }
  ::Value* put_vf(::Value** args, int) override {
    guarded([&] {
      setIndexed(target, {toDotNet(args[0])}, toDotNet(args[1]));
      return 0;
    });
    return args[1];
  }
  void gc_trace() override { markGraph(target); }
};

class DotNetClassValue : public ::Value {
 public:
  explicit DotNetClassValue(const TypeInfo& t) : type(&t) { tag = &dotNetClass_class; }
  const TypeInfo* type;
  void sprin1(CharStream* s) override { s->puts((L"dotNetClass:" + type->fullName()).c_str()); }
  ::Value* get_property(::Value** args, int) override {
    std::wstring name = nameText(args[0]);
    if (type->findStaticProperty(name))
      return guarded([&] { return toScript(getStatic(*type, name)); });
    if (hasStaticMethod(*type, name)) return new DotNetMethodValue(NetValue(), type, name);
    throw AccessorError(this, args[0]);
  }
  ::Value* set_property(::Value** args, int) override {
    std::wstring name = nameText(args[1]);
    guarded([&] {
      setStatic(*type, name, toDotNet(args[0]));
      return 0;
    });
    return args[0];
  }
  bool equals(::Value* other) override {
    auto* o = dynamic_cast<DotNetClassValue*>(other);
    return o && o->type == type;
  }
};

::Value* DotNetObjectValue::get_property(::Value** args, int) {
  std::wstring name = nameText(args[0]);
  if (MXSValueProxy* p = proxy(); p && EqualsNoCase(name, L"value")) return p->value;
  return guarded([&]() -> ::Value* {
    const TypeInfo* t =
        value.kind() == NetValue::Kind::Object ? &value.asObject()->type() : value.enumType();
    if (t && t->findProperty(name)) return toScript(getProperty(value, name));
    if (hasMethod(value, name)) return new DotNetMethodValue(value, nullptr, name);
    if (t && EqualsNoCase(name, L"Item") && t->findIndexer()) return new DotNetIndexedValue(value);
    // Enum members through a value, and primitive members.
    try {
      return toScript(getProperty(value, name));
    } catch (const DotNetError&) {
      throw AccessorError(this, args[0]);
    }
  });
}

::Value* DotNetObjectValue::set_property(::Value** args, int) {
  std::wstring name = nameText(args[1]);
  if (MXSValueProxy* p = proxy(); p && EqualsNoCase(name, L"value")) {
    p->value = args[0];
    return args[0];
  }
  guarded([&] {
    setProperty(value, name, toDotNet(args[0]));
    return 0;
  });
  return args[0];
}

// `for x in collection`: anything with Count and an indexer.
::Value* DotNetObjectValue::iterate_items() {
  return guarded([&]() -> ::Value* {
    if (value.kind() != NetValue::Kind::Object) return nullptr;
    const TypeInfo& t = value.asObject()->type();
    if (!t.findIndexer() || !(t.findProperty(L"Count") || t.findProperty(L"Length")))
      return nullptr;
    int64_t n = getProperty(value, t.findProperty(L"Count") ? L"Count" : L"Length").asInt();
    mxs::TempRoots roots;
    auto* out = new ::Array(0);
    roots.add(out);
    for (int64_t i = 0; i < n; ++i)
      out->append(toScript(getIndexed(value, {NetValue::int32(int(i))})));
    return out;
  });
}

// ---- event handlers

int positionalParams(::Value* fn) {
  if (auto* f = dynamic_cast<mxs::ScriptFunction*>(fn)) {
    int n = 0;
    for (std::size_t i = 0; i + 1 < f->def->kids.size(); ++i)
      if (f->def->kid(i)->kind == mxs::NodeKind::Param && !f->def->kid(i)->flag) ++n;
    return n;
  }
  return 2;
}

class ScriptEventHandler : public EventHandler {
 public:
  explicit ScriptEventHandler(::Value* fn) : fn(fn) {}
  ::Value* fn;

  // Errors inside a handler are reported as the host reports them and stop there.
  void invoke(const ObjectPtr& sender, const ObjectPtr& args) override {
    try {
      mxs::TempRoots roots;
      roots.add(fn);
      ::Value* argv[2] = {roots.add(toScript(NetValue::object(sender))),
                          roots.add(toScript(NetValue::object(args)))};
      switch (positionalParams(fn)) {
        case 0:
          mxs::call_value(fn, argv, 0);
          break;
        case 1:
          mxs::call_value(fn, argv + 1, 1);
          break;
        default:
          mxs::call_value(fn, argv, 2);
          break;
      }
    } catch (MAXScriptException& e) {
      mxs::report_script_error(e);
    } catch (const DotNetError& e) {
      RuntimeError error((L".NET runtime exception: " + e.message()).c_str(),
                         static_cast<::Value*>(nullptr));
      mxs::report_script_error(error);
    } catch (const std::exception&) {
      UnknownSystemException error(0, MSTR());
      mxs::report_script_error(error);
    }
  }
};

void markObject(const Object& o);

void markGraph(const NetValue& root) {
  if (root.kind() == NetValue::Kind::Object) markObject(*root.asObject());
}

void markObject(const Object& o) {
  MarkEpoch& e = epoch();
  if (e.collection != mxs::collection_count()) {
    e.collection = mxs::collection_count();
    e.visited.clear();
  }
  if (!e.visited.insert(&o).second) return;
  if (auto* p = dynamic_cast<const MXSValueProxy*>(&o)) ::Value::gc_mark(p->value);
  o.forEachHandler([](const EventHandlerPtr& h) {
    if (auto* s = dynamic_cast<ScriptEventHandler*>(h.get())) ::Value::gc_mark(s->fn);
  });
  o.forEachHeld([](const NetValue& v) { markGraph(v); });
}

// Roots: every open form with its controls, and every live object under .NET's lifetime
// control. A closed (disposed) form no longer keeps its handlers.
void markLiveObjects() {
  for (const FormPtr& f : Application::instance().openForms()) markObject(*f);
  auto& kept = lifetimeControlled();
  std::vector<std::weak_ptr<Object>> alive;
  for (auto& w : kept) {
    auto o = w.lock();
    if (!o || o->isDisposed()) continue;
    markObject(*o);
    alive.push_back(w);
  }
  kept.swap(alive);
}

// ---- globals

// A named group of functions (`dotNet.addEventHandler`, `colorMan.getColor`).
class FunctionGroup : public ::Value {
 public:
  explicit FunctionGroup(std::wstring name) : name(std::move(name)) {
    tag = &dotNetInterface_class;
  }
  std::wstring name;
  std::vector<std::pair<std::wstring, Primitive*>> functions;
  void add(const std::wstring& fn, Primitive::Fn f) {
    functions.emplace_back(fn, new Primitive((name + L"." + fn).c_str(), std::move(f)));
  }
  void sprin1(CharStream* s) override { s->puts((L"<Interface:" + name + L">").c_str()); }
  ::Value* get_property(::Value** args, int) override {
    std::wstring n = nameText(args[0]);
    for (auto& [fn, p] : functions)
      if (EqualsNoCase(fn, n)) return p;
    throw AccessorError(this, args[0]);
  }
  void gc_trace() override {
    for (auto& [fn, p] : functions) gc_mark(p);
  }
};

void needArgs(const wchar_t* fn, ::Value** a, int n, int wanted) {
  int got = positional_arg_count(a, n);
  if (got < wanted) throw ArgCountError(fn, wanted, got);
}

const TypeInfo& needType(::Value* v) {
  if (auto* c = dynamic_cast<DotNetClassValue*>(v)) return *c->type;
  if (!is_string(v) && !is_name(v)) throw TypeError(L"dotNet type name expected, got: ", v);
  const TypeInfo* t = TypeRegistry::instance().lookup(v->to_string());
  if (!t)
    throw RuntimeError(
        (L"No constructor found which matched argument list: " + std::wstring(v->to_string()))
            .c_str(),
        static_cast<::Value*>(nullptr));
  return *t;
}

::Value* fnDotNetObject(::Value** a, int n) {
  needArgs(L"dotNetObject", a, n, 1);
  const TypeInfo& t = needType(a[0]);
  Args args;
  int count = positional_arg_count(a, n);
  for (int i = 1; i < count; ++i) args.push_back(toDotNet(a[i]));
  return guarded([&] { return toScript(construct(t, args)); });
}

::Value* fnDotNetClass(::Value** a, int n) {
  needArgs(L"dotNetClass", a, n, 1);
  if (auto* o = dynamic_cast<DotNetObjectValue*>(a[0])) {
    if (o->value.kind() == NetValue::Kind::Object)
      return new DotNetClassValue(o->value.asObject()->type());
    if (o->value.kind() == NetValue::Kind::Enum) return new DotNetClassValue(*o->value.enumType());
  }
  return new DotNetClassValue(needType(a[0]));
}

::Value* fnDotNetMXSValue(::Value** a, int n) {
  needArgs(L"dotNetMXSValue", a, n, 1);
  return new DotNetObjectValue(NetValue::object(std::make_shared<MXSValueProxy>(a[0])));
}

ObjectPtr needObject(const wchar_t* fn, ::Value* v) {
  ObjectPtr o = objectOf(v);
  if (!o) throw TypeError((std::wstring(fn) + L" needs a dotNetObject, got: ").c_str(), v);
  return o;
}

::Value* fnAddEventHandler(::Value** a, int n) {
  needArgs(L"dotNet.addEventHandler", a, n, 3);
  ObjectPtr o = needObject(L"dotNet.addEventHandler", a[0]);
  if (!is_function(a[2])) throw TypeError(L"Function expected, got: ", a[2]);
  std::wstring event = nameText(a[1]);
  guarded([&] {
    o->addHandler(event, std::make_shared<ScriptEventHandler>(a[2]));
    return 0;
  });
  return &ok;
}

::Value* fnRemoveEventHandler(::Value** a, int n) {
  needArgs(L"dotNet.removeEventHandler", a, n, 3);
  ObjectPtr o = needObject(L"dotNet.removeEventHandler", a[0]);
  std::wstring event = nameText(a[1]);
  std::vector<EventHandlerPtr> remove;
  o->forEachHandler([&](const EventHandlerPtr& h) {
    if (auto* s = dynamic_cast<ScriptEventHandler*>(h.get()); s && s->fn == a[2])
      remove.push_back(h);
  });
  for (auto& h : remove) o->removeHandler(event, h);
  return &ok;
}

::Value* fnRemoveAllEventHandlers(::Value** a, int n) {
  needArgs(L"dotNet.removeAllEventHandlers", a, n, 1);
  ObjectPtr o = needObject(L"dotNet.removeAllEventHandlers", a[0]);
  for (const std::wstring& e : o->type().eventNames()) {
    std::vector<EventHandlerPtr> remove;
    o->forEachHandler([&](const EventHandlerPtr& h) { remove.push_back(h); });
    for (auto& h : remove) o->removeHandler(e, h);
  }
  return &ok;
}

::Value* fnSetLifetimeControl(::Value** a, int n) {
  needArgs(L"dotNet.setLifetimeControl", a, n, 2);
  ObjectPtr o = needObject(L"dotNet.setLifetimeControl", a[0]);
  std::wstring mode = nameText(a[1]);
  auto& kept = lifetimeControlled();
  kept.erase(std::remove_if(kept.begin(), kept.end(),
                            [&](const std::weak_ptr<Object>& w) { return w.lock() == o; }),
             kept.end());
  if (EqualsNoCase(mode, L"dotnet"))
    kept.push_back(o);
  else if (!EqualsNoCase(mode, L"mxs"))
    throw RuntimeError(L"setLifetimeControl expects #dotnet or #mxs, got: ", a[1]);
  return &ok;
}

::Value* fnCombineEnums(::Value** a, int n) {
  int count = positional_arg_count(a, n);
  if (count < 1) throw ArgCountError(L"dotNet.combineEnums", 1, 0);
  const TypeInfo* type = nullptr;
  int64_t bits = 0;
  for (int i = 0; i < count; ++i) {
    auto* o = dynamic_cast<DotNetObjectValue*>(a[i]);
    if (!o || o->value.kind() != NetValue::Kind::Enum)
      throw TypeError(L"dotNet.combineEnums needs enum values, got: ", a[i]);
    if (type && type != o->value.enumType())
      throw RuntimeError(L"dotNet.combineEnums needs enums of one type, got: ", a[i]);
    type = o->value.enumType();
    bits |= o->value.asInt();
  }
  return new DotNetObjectValue(NetValue::enumValue(*type, bits));
}

// Assemblies are built in: loading one always succeeds.
::Value* fnLoadAssembly(::Value**, int) {
  return &true_value;
}

::Value* fnGetColor(::Value** a, int n) {
  needArgs(L"colorMan.getColor", a, n, 1);
  UiColor c;
  if (!hostUiColor(nameText(a[0]), c)) throw RuntimeError(L"Unknown UI color: ", a[0]);
  return new Point3Value(c.r, c.g, c.b);
}

struct ScriptFunction {
  const wchar_t* name;
  Primitive::Fn fn;
};

const ScriptFunction kGlobalFunctions[] = {
    {L"dotNetObject", fnDotNetObject},
    {L"dotNetClass", fnDotNetClass},
    {L"dotNetMXSValue", fnDotNetMXSValue},
};
const ScriptFunction kDotNetFunctions[] = {
    {L"addEventHandler", fnAddEventHandler},
    {L"removeEventHandler", fnRemoveEventHandler},
    {L"removeAllEventHandlers", fnRemoveAllEventHandlers},
    {L"setLifetimeControl", fnSetLifetimeControl},
    {L"combineEnums", fnCombineEnums},
    {L"loadAssembly", fnLoadAssembly},
};
const ScriptFunction kColorManFunctions[] = {
    {L"getColor", fnGetColor},
};

void defineGroup(const wchar_t* name, std::span<const ScriptFunction> functions) {
  auto* group = new FunctionGroup(name);
  for (const ScriptFunction& f : functions) group->add(f.name, f.fn);
  mxs::define_global(name, group, true);
}

void registerGlobals() {
  for (const ScriptFunction& f : kGlobalFunctions)
    mxs::define_global(f.name, new Primitive(f.name, f.fn), true);
  defineGroup(L"dotNet", kDotNetFunctions);
  defineGroup(L"colorMan", kColorManFunctions);
}

}  // namespace

// The host's default dark theme.
bool hostUiColor(const std::wstring& name, UiColor& out) {
  struct Entry {
    const wchar_t* name;
    int r, g, b;
  };
  static const Entry table[] = {
      {L"window", 68, 68, 68},
      {L"windowText", 220, 220, 220},
      {L"background", 68, 68, 68},
      {L"text", 220, 220, 220},
      {L"activeCaption", 86, 86, 86},
      {L"hilight", 86, 133, 177},
      {L"hilightText", 255, 255, 255},
      {L"shadow", 40, 40, 40},
      {L"toolTipBackground", 90, 90, 90},
      {L"toolTipText", 220, 220, 220},
  };
  for (const Entry& e : table)
    if (EqualsNoCase(name, e.name)) {
      out = {e.r / 255.0f, e.g / 255.0f, e.b / 255.0f};
      return true;
    }
  return false;
}

NetValue toDotNet(::Value* v) {
  if (v == nullptr || is_undefined(v) || is_unsupplied(v)) return NetValue();
  if (is_integer(v)) return NetValue::int32(v->to_int());
  if (is_float(v)) return NetValue::single(v->to_float());
  if (is_kind(v, mxs::Integer64))
    return NetValue::int64(static_cast<mxs::Integer64Value*>(v)->value);
  if (is_kind(v, mxs::Double)) return NetValue::real(v->to_double());
  if (is_bool(v)) return NetValue::boolean(v->to_bool());
  if (is_string(v) || is_name(v)) return NetValue::string(v->to_string());
  if (is_array(v)) {
    auto* arr = static_cast<::Array*>(v);
    std::vector<NetValue> items;
    for (::Value* item : arr->data) items.push_back(toDotNet(item));
    return NetValue::object(std::make_shared<Array>(TypeRef::any(), std::move(items)));
  }
  if (auto* o = dynamic_cast<DotNetObjectValue*>(v)) return o->value;
  throw RuntimeError(L"No conversion to a .NET value for: ", v);
}

::Value* toScript(const NetValue& v) {
  switch (v.kind()) {
    case NetValue::Kind::Null:
      return &undefined;
    case NetValue::Kind::Boolean:
      return bool_result(v.asBool());
    case NetValue::Kind::Byte:
    case NetValue::Kind::Int64:
      // The stand-in's tables give many small integers as Int64; only what does not fit a
      // script Integer becomes an Integer64, instead of being cut to 32 bits.
      if (v.asInt() != static_cast<int32_t>(v.asInt())) return new mxs::Integer64Value(v.asInt());
      return Integer::intern(static_cast<int>(v.asInt()));
    case NetValue::Kind::Int16:
    case NetValue::Kind::Int32:
    case NetValue::Kind::UInt16:
    case NetValue::Kind::UInt32:
      return Integer::intern(static_cast<int>(v.asInt()));
    case NetValue::Kind::Decimal:
      // Convert.ToInt32(decimal): to the nearest integer, halves to even.
      return Integer::intern(static_cast<int>(std::nearbyint(v.asDouble())));
    case NetValue::Kind::Single:
    case NetValue::Kind::Double:
      return new Float(static_cast<float>(v.asDouble()));
    case NetValue::Kind::String:
      return new String(v.asString());
    case NetValue::Kind::Enum:
      return new DotNetObjectValue(v);
    case NetValue::Kind::Object: {
      if (auto arr = v.as<Array>()) {
        mxs::TempRoots roots;
        auto* out = new ::Array(0);
        roots.add(out);
        for (const NetValue& item : arr->items()) out->append(toScript(item));
        return out;
      }
      return new DotNetObjectValue(v);
    }
  }
  return &undefined;
}

ObjectPtr objectOf(::Value* v) {
  if (auto* o = dynamic_cast<DotNetObjectValue*>(v))
    return o->value.kind() == NetValue::Kind::Object ? o->value.asObject() : nullptr;
  return nullptr;
}

::Value* proxiedValue(const ObjectPtr& o) {
  auto* p = dynamic_cast<MXSValueProxy*>(o.get());
  return p ? p->value : nullptr;
}

void installBridge() {
  static bool installed = false;
  if (installed) return;
  installed = true;
  init_MAXScript();
  registerGlobals();
  mxs::add_root_marker(markLiveObjects);
}

}  // namespace maxhost::dotnet
