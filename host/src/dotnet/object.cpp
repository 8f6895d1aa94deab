#include "dotnet/object.h"

#include <algorithm>
#include <cmath>
#include <sstream>

#include "base/text.h"
#include "dotnet/registration.h"

namespace maxhost::dotnet {

bool NoCaseLess::operator()(const std::wstring& a, const std::wstring& b) const {
  return CompareNoCase(a, b) < 0;
}

DotNetError::DotNetError(std::wstring typeName, std::wstring message)
    : std::runtime_error(Utf8FromWide(typeName + L": " + message)),
      typeName_(std::move(typeName)),
      message_(std::move(message)) {}

void throwArgument(const std::wstring& message) {
  throw DotNetError(L"System.ArgumentException", message);
}
void throwOutOfRange(const std::wstring& message) {
  throw DotNetError(L"System.ArgumentOutOfRangeException", message);
}
void throwInvalidOperation(const std::wstring& message) {
  throw DotNetError(L"System.InvalidOperationException", message);
}

// ---- Value

Value Value::boolean(bool b) {
  Value v;
  v.kind_ = Kind::Boolean;
  v.integer_ = b ? 1 : 0;
  return v;
}
Value Value::int32(int32_t i) {
  return integral(Kind::Int32, i);
}
Value Value::int64(int64_t i) {
  return integral(Kind::Int64, i);
}
Value Value::integral(Kind kind, int64_t i) {
  Value v;
  v.kind_ = kind;
  v.integer_ = i;
  v.real_ = static_cast<double>(i);
  return v;
}
Value Value::single(float f) {
  Value v;
  v.kind_ = Kind::Single;
  v.real_ = f;
  return v;
}
Value Value::real(double d) {
  Value v;
  v.kind_ = Kind::Double;
  v.real_ = d;
  return v;
}
Value Value::decimal(double d) {
  Value v;
  v.kind_ = Kind::Decimal;
  v.real_ = d;
  return v;
}
Value Value::string(std::wstring s) {
  Value v;
  v.kind_ = Kind::String;
  v.string_ = std::move(s);
  return v;
}
Value Value::enumValue(const TypeInfo& type, int64_t i) {
  Value v;
  v.kind_ = Kind::Enum;
  v.enumType_ = &type;
  v.integer_ = i;
  return v;
}
Value Value::object(ObjectPtr o) {
  Value v;
  if (o) {
    v.kind_ = Kind::Object;
    v.object_ = std::move(o);
  }
  return v;
}

bool Value::isIntegral() const {
  switch (kind_) {
    case Kind::Byte:
    case Kind::Int16:
    case Kind::Int32:
    case Kind::Int64:
    case Kind::UInt16:
    case Kind::UInt32:
      return true;
    default:
      return false;
  }
}

bool Value::isNumeric() const {
  return isIntegral() || kind_ == Kind::Single || kind_ == Kind::Double || kind_ == Kind::Decimal;
}

int64_t Value::asInt() const {
  if (isIntegral() || kind_ == Kind::Enum || kind_ == Kind::Boolean) return integer_;
  if (kind_ == Kind::Single || kind_ == Kind::Double || kind_ == Kind::Decimal)
    return static_cast<int64_t>(real_);
  return 0;
}

double Value::asDouble() const {
  if (isIntegral() || kind_ == Kind::Enum) return static_cast<double>(integer_);
  return real_;
}

std::wstring Value::typeName() const {
  switch (kind_) {
    case Kind::Null:
      return L"null";
    case Kind::Boolean:
      return L"System.Boolean";
    case Kind::Byte:
      return L"System.Byte";
    case Kind::Int16:
      return L"System.Int16";
    case Kind::Int32:
      return L"System.Int32";
    case Kind::Int64:
      return L"System.Int64";
    case Kind::UInt16:
      return L"System.UInt16";
    case Kind::UInt32:
      return L"System.UInt32";
    case Kind::Single:
      return L"System.Single";
    case Kind::Double:
      return L"System.Double";
    case Kind::Decimal:
      return L"System.Decimal";
    case Kind::String:
      return L"System.String";
    case Kind::Enum:
      return enumType_->fullName();
    case Kind::Object:
      return object_->type().fullName();
  }
  return L"";
}

static std::wstring formatReal(double d) {
  std::wostringstream out;
  out.precision(15);
  out << d;
  return out.str();
}

std::wstring Value::toString() const {
  switch (kind_) {
    case Kind::Null:
      return L"";
    case Kind::Boolean:
      return integer_ ? L"True" : L"False";
    case Kind::Single:
    case Kind::Double:
    case Kind::Decimal:
      return formatReal(real_);
    case Kind::String:
      return string_;
    case Kind::Enum:
      return enumType_->enumName(integer_);
    case Kind::Object:
      return object_->toString();
    default:
      return std::to_wstring(integer_);
  }
}

bool valuesEqual(const Value& a, const Value& b) {
  if (a.isNull() || b.isNull()) return a.isNull() && b.isNull();
  if (a.isNumeric() && b.isNumeric()) return a.asDouble() == b.asDouble();
  if (a.kind() != b.kind()) return false;
  switch (a.kind()) {
    case Value::Kind::Boolean:
      return a.asBool() == b.asBool();
    case Value::Kind::String:
      return a.asString() == b.asString();
    case Value::Kind::Enum:
      return a.enumType() == b.enumType() && a.asInt() == b.asInt();
    case Value::Kind::Object:
      return a.asObject()->equals(*b.asObject());
    default:
      return false;
  }
}

// ---- conversions

static bool classFits(const Value& v, const TypeInfo& cls) {
  if (v.kind() == Value::Kind::Object) return v.asObject()->type().derivesFrom(cls);
  if (v.kind() == Value::Kind::Enum) return v.enumType()->derivesFrom(cls);
  return false;
}

int conversionScore(const Value& v, const TypeRef& type) {
  using K = TypeRef::Kind;
  switch (type.kind) {
    case K::Any:
      return 1;
    case K::Boolean:
      return v.kind() == Value::Kind::Boolean ? 3 : -1;
    case K::Int32:
    case K::Int64:
      if (v.isIntegral()) return 3;
      if (v.isNumeric()) return 1;
      if (v.kind() == Value::Kind::Enum) return 1;
      return -1;
    case K::Single:
    case K::Double:
    case K::Decimal:
      if (v.isNumeric()) return (v.isIntegral() ? 2 : 3);
      return -1;
    case K::String:
      if (v.kind() == Value::Kind::String) return 3;
      return v.isNull() ? 1 : -1;
    case K::Class:
      if (v.isNull()) return type.cls->isEnum() ? -1 : 1;
      if (classFits(v, *type.cls)) return 3;
      if (type.cls->isEnum() && v.isIntegral()) return 1;
      return -1;
    case K::Array: {
      if (v.isNull()) return 1;
      auto arr = v.as<Array>();
      if (!arr) return -1;
      TypeRef element{type.element, type.cls, K::Any};
      for (const Value& item : arr->items())
        if (conversionScore(item, element) < 0) return -1;
      return 2;
    }
  }
  return -1;
}

Value convert(const Value& v, const TypeRef& type) {
  using K = TypeRef::Kind;
  if (conversionScore(v, type) < 0)
    throwArgument(L"Object of type '" + v.typeName() +
                  L"' cannot be converted to the type "
                  L"the member expects.");
  switch (type.kind) {
    case K::Int32:
      return Value::int32(static_cast<int32_t>(v.asInt()));
    case K::Int64:
      return Value::int64(v.asInt());
    case K::Single:
      return Value::single(static_cast<float>(v.asDouble()));
    case K::Double:
      return Value::real(v.asDouble());
    case K::Decimal:
      return Value::decimal(v.asDouble());
    case K::Class:
      if (type.cls->isEnum() && v.isIntegral()) return Value::enumValue(*type.cls, v.asInt());
      return v;
    case K::Array: {
      if (v.isNull()) return v;
      auto arr = v.as<Array>();
      TypeRef element{type.element, type.cls, K::Any};
      std::vector<Value> items;
      for (const Value& item : arr->items()) items.push_back(convert(item, element));
      return Value::object(std::make_shared<Array>(element, std::move(items)));
    }
    default:
      return v;
  }
}

// ---- TypeInfo

TypeInfo::TypeInfo(std::wstring fullName, const TypeInfo* base)
    : fullName_(std::move(fullName)), base_(base) {}

std::wstring TypeInfo::shortName() const {
  auto dot = fullName_.rfind(L'.');
  return dot == std::wstring::npos ? fullName_ : fullName_.substr(dot + 1);
}

bool TypeInfo::derivesFrom(const TypeInfo& other) const {
  for (const TypeInfo* t = this; t; t = t->base_)
    if (t == &other) return true;
  return false;
}

const PropertyInfo* TypeInfo::findProperty(const std::wstring& name) const {
  for (const TypeInfo* t = this; t; t = t->base_) {
    auto it = t->properties_.find(name);
    if (it != t->properties_.end()) return &it->second;
  }
  return nullptr;
}

const std::vector<MethodInfo>* TypeInfo::findMethods(const std::wstring& name) const {
  for (const TypeInfo* t = this; t; t = t->base_) {
    auto it = t->methods_.find(name);
    if (it != t->methods_.end()) return &it->second;
  }
  return nullptr;
}

const IndexerInfo* TypeInfo::findIndexer() const {
  for (const TypeInfo* t = this; t; t = t->base_)
    if (!t->indexer_.empty()) return &t->indexer_.front();
  return nullptr;
}

bool TypeInfo::hasEvent(const std::wstring& name) const {
  for (const TypeInfo* t = this; t; t = t->base_)
    if (t->events_.count(name)) return true;
  return false;
}

const PropertyInfo* TypeInfo::findStaticProperty(const std::wstring& name) const {
  for (const TypeInfo* t = this; t; t = t->base_) {
    auto it = t->staticProperties_.find(name);
    if (it != t->staticProperties_.end()) return &it->second;
  }
  return nullptr;
}

const std::vector<MethodInfo>* TypeInfo::findStaticMethods(const std::wstring& name) const {
  for (const TypeInfo* t = this; t; t = t->base_) {
    auto it = t->staticMethods_.find(name);
    if (it != t->staticMethods_.end()) return &it->second;
  }
  return nullptr;
}

std::vector<std::wstring> TypeInfo::propertyNames() const {
  std::map<std::wstring, bool, NoCaseLess> names;
  for (const TypeInfo* t = this; t; t = t->base_)
    for (auto& [n, p] : t->properties_) names.emplace(n, true);
  std::vector<std::wstring> out;
  for (auto& [n, b] : names) out.push_back(n);
  return out;
}

std::vector<std::wstring> TypeInfo::methodNames() const {
  std::map<std::wstring, bool, NoCaseLess> names;
  for (const TypeInfo* t = this; t; t = t->base_)
    for (auto& [n, m] : t->methods_) names.emplace(n, true);
  std::vector<std::wstring> out;
  for (auto& [n, b] : names) out.push_back(n);
  return out;
}

std::vector<std::wstring> TypeInfo::eventNames() const {
  std::map<std::wstring, bool, NoCaseLess> names;
  for (const TypeInfo* t = this; t; t = t->base_)
    for (auto& [n, e] : t->events_) names.emplace(n, true);
  std::vector<std::wstring> out;
  for (auto& [n, b] : names) out.push_back(n);
  return out;
}

std::wstring TypeInfo::enumName(int64_t value) const {
  for (const EnumMember& m : enumMembers_)
    if (m.value == value) return m.name;
  if (isFlags_ && value != 0) {
    std::wstring out;
    int64_t rest = value;
    for (auto it = enumMembers_.rbegin(); it != enumMembers_.rend(); ++it) {
      if (it->value != 0 && (rest & it->value) == it->value) {
        out = out.empty() ? it->name : it->name + L", " + out;
        rest &= ~it->value;
      }
    }
    if (rest == 0) return out;
  }
  return std::to_wstring(value);
}

TypeInfo& TypeInfo::property(const std::wstring& name, TypeRef type,
                             std::function<Value(Object*)> get,
                             std::function<void(Object*, const Value&)> set) {
  properties_[name] = PropertyInfo{type, std::move(get), std::move(set)};
  return *this;
}

TypeInfo& TypeInfo::method(const std::wstring& name, std::vector<TypeRef> params, Invoker fn) {
  methods_[name].push_back(MethodInfo{std::move(params), std::move(fn)});
  return *this;
}

TypeInfo& TypeInfo::indexer(std::vector<TypeRef> params, Invoker get,
                            std::function<void(Object*, const Args&, const Value&)> set) {
  if (indexer_.empty()) indexer_.emplace_back();
  indexer_.front().get.push_back(MethodInfo{std::move(params), std::move(get)});
  if (set) indexer_.front().set = std::move(set);
  return *this;
}

TypeInfo& TypeInfo::event(const std::wstring& name) {
  events_[name] = true;
  return *this;
}

TypeInfo& TypeInfo::staticProperty(const std::wstring& name, TypeRef type,
                                   std::function<Value()> get,
                                   std::function<void(const Value&)> set) {
  PropertyInfo p;
  p.type = type;
  p.get = [get = std::move(get)](Object*) { return get(); };
  if (set) p.set = [set = std::move(set)](Object*, const Value& v) { set(v); };
  staticProperties_[name] = std::move(p);
  return *this;
}

TypeInfo& TypeInfo::staticMethod(const std::wstring& name, std::vector<TypeRef> params,
                                 Invoker fn) {
  staticMethods_[name].push_back(MethodInfo{std::move(params), std::move(fn)});
  return *this;
}

TypeInfo& TypeInfo::constructor(std::vector<TypeRef> params, Invoker fn) {
  constructors_.push_back(MethodInfo{std::move(params), std::move(fn)});
  return *this;
}

TypeInfo& TypeInfo::enumeration(std::vector<EnumMember> members, bool flags) {
  isEnum_ = true;
  isFlags_ = flags;
  enumMembers_ = std::move(members);
  for (const EnumMember& m : enumMembers_) {
    int64_t v = m.value;
    staticProperty(m.name, TypeRef::classOf(*this),
                   [this, v] { return Value::enumValue(*this, v); });
  }
  return *this;
}

// ---- registry

TypeRegistry& TypeRegistry::instance() {
  static TypeRegistry registry;
  return registry;
}

TypeRegistry::TypeRegistry() {
  types_[L"System.Object"] = std::make_unique<TypeInfo>(L"System.Object", nullptr);
  registerSystemTypes(*this);
  registerDrawingTypes(*this);
  registerFormsTypes(*this);
}

const TypeInfo* TypeRegistry::find(const std::wstring& fullName) const {
  auto it = types_.find(fullName);
  return it == types_.end() ? nullptr : it->second.get();
}

const TypeInfo* TypeRegistry::lookup(const std::wstring& name) const {
  for (const wchar_t* prefix : {L"", L"System.", L"System.Windows.Forms."})
    if (const TypeInfo* t = find(prefix + name)) return t;
  return nullptr;
}

const TypeInfo& TypeRegistry::get(const std::wstring& fullName) const {
  const TypeInfo* t = find(fullName);
  if (!t) throw DotNetError(L"System.TypeLoadException", L"Unknown type " + fullName);
  return *t;
}

TypeInfo& TypeRegistry::add(const std::wstring& fullName, const std::wstring& baseName) {
  const TypeInfo* base = &get(baseName);
  auto& slot = types_[fullName];
  slot = std::make_unique<TypeInfo>(fullName, base);
  return *slot;
}

// ---- Object

void Object::forEachHeld(const std::function<void(const Value&)>&) const {}

void Object::addHandler(const std::wstring& event, EventHandlerPtr handler) {
  if (!type_->hasEvent(event))
    throw DotNetError(L"System.MissingMemberException",
                      L"No event " + event + L" on " + type_->fullName());
  handlers_[event].push_back(std::move(handler));
}

void Object::removeHandler(const std::wstring& event, const EventHandlerPtr& handler) {
  auto it = handlers_.find(event);
  if (it == handlers_.end()) return;
  auto& list = it->second;
  list.erase(std::remove(list.begin(), list.end(), handler), list.end());
}

void Object::raise(const std::wstring& event, const ObjectPtr& args) {
  auto it = handlers_.find(event);
  if (it == handlers_.end()) return;
  // A handler may add or remove handlers; those apply from the next raise on.
  std::vector<EventHandlerPtr> list = it->second;
  ObjectPtr sender = shared_from_this();
  for (const EventHandlerPtr& h : list) h->invoke(sender, args);
}

bool Object::hasHandlers(const std::wstring& event) const {
  auto it = handlers_.find(event);
  return it != handlers_.end() && !it->second.empty();
}

void Object::forEachHandler(const std::function<void(const EventHandlerPtr&)>& visit) const {
  for (auto& [name, list] : handlers_)
    for (const EventHandlerPtr& h : list) visit(h);
}

// ---- reflective access

[[noreturn]] static void missing(const std::wstring& what, const std::wstring& name,
                                 const std::wstring& type) {
  throw DotNetError(L"System.MissingMemberException",
                    L"No " + what + L" '" + name + L"' on " + type);
}

static Object& targetObject(const Value& target, const std::wstring& name) {
  if (target.kind() != Value::Kind::Object)
    throw DotNetError(L"System.NullReferenceException",
                      L"Object reference not set to an instance of an object (" + name + L")");
  return *target.asObject();
}

// Primitives, strings and enums answer a few members of their own.
static bool primitiveProperty(const Value& target, const std::wstring& name, Value& out) {
  if (target.kind() == Value::Kind::String && EqualsNoCase(name, L"Length")) {
    out = Value::int32(static_cast<int32_t>(target.asString().size()));
    return true;
  }
  if (target.kind() == Value::Kind::Enum) {
    if (EqualsNoCase(name, L"value__")) {
      out = Value::int32(static_cast<int32_t>(target.asInt()));
      return true;
    }
    // Enum members are reachable through a value as through its class.
    if (const PropertyInfo* p = target.enumType()->findStaticProperty(name)) {
      out = p->get(nullptr);
      return true;
    }
  }
  return false;
}

Value getProperty(const Value& target, const std::wstring& name) {
  Value out;
  if (primitiveProperty(target, name, out)) return out;
  Object& obj = targetObject(target, name);
  const PropertyInfo* p = obj.type().findProperty(name);
  if (!p) missing(L"property", name, obj.type().fullName());
  return p->get(&obj);
}

void setProperty(const Value& target, const std::wstring& name, const Value& v) {
  Object& obj = targetObject(target, name);
  const PropertyInfo* p = obj.type().findProperty(name);
  if (!p) missing(L"property", name, obj.type().fullName());
  if (!p->set)
    throw DotNetError(L"System.ArgumentException",
                      L"Property '" + name + L"' of " + obj.type().fullName() + L" is read-only");
  p->set(&obj, convert(v, p->type));
}

Value invokeOverload(const std::vector<MethodInfo>& overloads, Object* self, const Args& args,
                     const std::wstring& what) {
  const MethodInfo* best = nullptr;
  int bestScore = -1;
  for (const MethodInfo& m : overloads) {
    if (m.params.size() != args.size()) continue;
    int score = 0;
    for (size_t i = 0; i < args.size() && score >= 0; ++i) {
      int s = conversionScore(args[i], m.params[i]);
      score = s < 0 ? -1 : score + s;
    }
    if (score > bestScore) {
      bestScore = score;
      best = &m;
    }
  }
  if (!best)
    throw DotNetError(L"System.MissingMethodException",
                      L"No overload of " + what + L" takes these " + std::to_wstring(args.size()) +
                          L" arguments");
  Args converted;
  for (size_t i = 0; i < args.size(); ++i) converted.push_back(convert(args[i], best->params[i]));
  return best->invoke(self, converted);
}

static Value primitiveMethod(const Value& target, const std::wstring& name, const Args& args,
                             bool& handled) {
  handled = true;
  if (EqualsNoCase(name, L"ToString") && args.empty()) return Value::string(target.toString());
  if (EqualsNoCase(name, L"Equals") && args.size() == 1)
    return Value::boolean(valuesEqual(target, args[0]));
  if (EqualsNoCase(name, L"GetType") && args.empty()) return Value::string(target.typeName());
  handled = false;
  return {};
}

Value callMethod(const Value& target, const std::wstring& name, const Args& args) {
  if (target.kind() != Value::Kind::Object) {
    bool handled = false;
    Value out = primitiveMethod(target, name, args, handled);
    if (handled) return out;
  }
  Object& obj = targetObject(target, name);
  const std::vector<MethodInfo>* overloads = obj.type().findMethods(name);
  if (!overloads) {
    bool handled = false;
    Value out = primitiveMethod(target, name, args, handled);
    if (handled) return out;
    missing(L"method", name, obj.type().fullName());
  }
  return invokeOverload(*overloads, &obj, args, obj.type().fullName() + L"." + name);
}

bool hasMethod(const Value& target, const std::wstring& name) {
  if (EqualsNoCase(name, L"ToString") || EqualsNoCase(name, L"Equals") ||
      EqualsNoCase(name, L"GetType"))
    return true;
  return target.kind() == Value::Kind::Object && target.asObject()->type().findMethods(name);
}

Value getIndexed(const Value& target, const Args& index) {
  Object& obj = targetObject(target, L"Item");
  const IndexerInfo* ix = obj.type().findIndexer();
  if (!ix) missing(L"indexer", L"Item", obj.type().fullName());
  return invokeOverload(ix->get, &obj, index, obj.type().fullName() + L".Item");
}

void setIndexed(const Value& target, const Args& index, const Value& v) {
  Object& obj = targetObject(target, L"Item");
  const IndexerInfo* ix = obj.type().findIndexer();
  if (!ix || !ix->set)
    throw DotNetError(L"System.ArgumentException",
                      L"The indexer of " + obj.type().fullName() + L" is read-only");
  ix->set(&obj, index, v);
}

Value getStatic(const TypeInfo& type, const std::wstring& name) {
  const PropertyInfo* p = type.findStaticProperty(name);
  if (!p) missing(L"static property", name, type.fullName());
  return p->get(nullptr);
}

void setStatic(const TypeInfo& type, const std::wstring& name, const Value& v) {
  const PropertyInfo* p = type.findStaticProperty(name);
  if (!p) missing(L"static property", name, type.fullName());
  if (!p->set)
    throw DotNetError(L"System.ArgumentException", L"Property '" + name + L"' is read-only");
  p->set(nullptr, convert(v, p->type));
}

Value callStatic(const TypeInfo& type, const std::wstring& name, const Args& args) {
  const std::vector<MethodInfo>* overloads = type.findStaticMethods(name);
  if (!overloads) missing(L"static method", name, type.fullName());
  return invokeOverload(*overloads, nullptr, args, type.fullName() + L"." + name);
}

bool hasStaticMethod(const TypeInfo& type, const std::wstring& name) {
  return type.findStaticMethods(name) != nullptr;
}

Value construct(const TypeInfo& type, const Args& args) {
  if (type.constructors().empty())
    throw DotNetError(L"System.MissingMethodException",
                      L"No public constructor for " + type.fullName());
  return invokeOverload(type.constructors(), nullptr, args, type.fullName() + L" constructor");
}

// ---- Array and event arguments

static const TypeInfo& arrayType() {
  return typeNamed(L"System.Array");
}

Array::Array(TypeRef element, std::vector<Value> items)
    : Object(arrayType()), element_(element), items_(std::move(items)) {}

void Array::forEachHeld(const std::function<void(const Value&)>& visit) const {
  for (const Value& v : items_) visit(v);
}

EventArgs::EventArgs() : Object(typeNamed(L"System.EventArgs")) {}
CancelEventArgs::CancelEventArgs()
    : EventArgs(typeNamed(L"System.ComponentModel.CancelEventArgs")) {}

}  // namespace maxhost::dotnet
