// Function-publishing descriptors parsed from their variadic tables, and dispatch.
#include <cstdarg>
#include <cstring>
#include <cwchar>

#include <ifnpub.h>
#include <plugapi.h>

#include "base/param_types.h"
#include "base/text.h"

FPInterfaceDesc FPInterface::nullInterface;

namespace {

constexpr int kMaxEntries = 4096;

bool SameNoCase(const MCHAR* a, const MCHAR* b) {
  return a && b && maxhost::EqualsNoCase(std::wstring_view(a), std::wstring_view(b));
}

bool IsOptionTag(int v) {
  return (v <= f_range && v >= f_iconName) || v == p_range || v == p_validator || v == p_inOut ||
         v == p_keyArgDefault || v == p_enum || v == p_select;
}

// Peeks at the next argument as an int, without consuming it.
int Peek(va_list* ap) {
  va_list copy;
  va_copy(copy, *ap);
  const int v = va_arg(copy, int);
  va_end(copy);
  return v;
}

// Option values travel as the parameter type is stored: floating types as double, text
// (and the interface-only string and script-value types) as pointers, the rest as int.
bool PassedAsDouble(int type) {
  const maxhost::ParamTypeInfo* info = maxhost::FindParamType(type);
  return info && info->storage == maxhost::ParamStorage::Float;
}
bool PassedAsPointer(int type) {
  if (base_type(type) == TYPE_TSTR || base_type(type) == TYPE_VALUE) return true;
  const maxhost::ParamTypeInfo* info = maxhost::FindParamType(type);
  return info && info->storage == maxhost::ParamStorage::String;
}

// Consumes the option tags that may follow a parameter or property stanza.
void SkipOptions(va_list* ap, int type) {
  for (int guard = 0; guard < 64; ++guard) {
    const int tag = Peek(ap);
    if (!IsOptionTag(tag)) return;
    (void)va_arg(*ap, int);
    switch (tag) {
      case f_range:
      case p_range:
        if (PassedAsDouble(type)) {
          (void)va_arg(*ap, double);
          (void)va_arg(*ap, double);
        } else {
          (void)va_arg(*ap, int);
          (void)va_arg(*ap, int);
        }
        break;
      case f_keyArgDefault:
      case p_keyArgDefault:
        if (PassedAsDouble(type))
          (void)va_arg(*ap, double);
        else if (PassedAsPointer(type))
          (void)va_arg(*ap, void*);
        else
          (void)va_arg(*ap, int);
        break;
      case f_validator:
      case p_validator:
      case f_icon:
      case f_iconName:
        (void)va_arg(*ap, void*);
        break;
      case f_iconRes:
        (void)va_arg(*ap, int);
        break;
      default:
        (void)va_arg(*ap, int);
        break;
    }
  }
}

}  // namespace

FPInterfaceDesc::FPInterfaceDesc() = default;

FPInterfaceDesc::FPInterfaceDesc(Interface_ID id, const MCHAR* int_name, StringResID descr,
                                 ClassDesc* c, ULONG flag, ...)
    : ID(id), internal_name(int_name), description(descr), cd(c), flags(static_cast<USHORT>(flag)) {
  va_list ap;
  va_start(ap, flag);
  enum class Section { Functions, Properties, Enums } section = Section::Functions;
  for (int n = 0; n < kMaxEntries; ++n) {
    const int tag = va_arg(ap, int);
    if (tag == p_end) break;
    if (tag == properties) {
      section = Section::Properties;
      continue;
    }
    if (tag == enums) {
      section = Section::Enums;
      continue;
    }
    if (section == Section::Functions) {
      FPFunctionDef fn;
      fn.ID = tag;
      fn.internal_name = va_arg(ap, const MCHAR*);
      fn.description = va_arg(ap, int);
      fn.result_type = static_cast<ParamType2>(va_arg(ap, int));
      fn.flags = va_arg(ap, int);
      const int nparams = va_arg(ap, int);
      for (int k = 0; k < nparams && k < 64; ++k) {
        FPParamDef pd;
        pd.internal_name = va_arg(ap, const MCHAR*);
        pd.description = va_arg(ap, int);
        pd.type = static_cast<ParamType2>(va_arg(ap, int));
        if (Peek(&ap) == f_keyArgDefault || Peek(&ap) == p_keyArgDefault) pd.keyArg = true;
        SkipOptions(&ap, pd.type);
        fn.params.push_back(pd);
      }
      SkipOptions(&ap, fn.result_type);
      functions.push_back(fn);
    } else if (section == Section::Properties) {
      FPPropDef pr;
      pr.getter_ID = tag;
      pr.setter_ID = va_arg(ap, int);
      pr.internal_name = va_arg(ap, const MCHAR*);
      pr.description = va_arg(ap, int);
      pr.prop_type = static_cast<ParamType2>(va_arg(ap, int));
      SkipOptions(&ap, pr.prop_type);
      props.push_back(pr);
    } else {
      FPEnum e;
      e.ID = tag;
      const int count = va_arg(ap, int);
      for (int k = 0; k < count && k < 1024; ++k) {
        const MCHAR* name = va_arg(ap, const MCHAR*);
        const int code = va_arg(ap, int);
        e.enumeration.emplace_back(name, code);
      }
      enumerations.push_back(e);
    }
  }
  va_end(ap);
  if (cd) cd->AddInterface(this);
}

FPInterfaceDesc::~FPInterfaceDesc() = default;

const FPFunctionDef* FPInterfaceDesc::FindFn(FunctionID fid) const {
  for (const auto& f : functions)
    if (f.ID == fid) return &f;
  return nullptr;
}

const FPFunctionDef* FPInterfaceDesc::FindFn(const MCHAR* name) const {
  for (const auto& f : functions)
    if (SameNoCase(f.internal_name, name)) return &f;
  return nullptr;
}

const FPPropDef* FPInterfaceDesc::FindProp(const MCHAR* name) const {
  for (const auto& p : props)
    if (SameNoCase(p.internal_name, name)) return &p;
  return nullptr;
}

Interface_ID FPInterface::GetID() {
  FPInterfaceDesc* d = GetDesc();
  return d ? d->ID : Interface_ID(0, 0);
}

FPStatus FPInterface::Invoke(FunctionID fid, TimeValue t, FPParams* params) {
  FPValue result;
  return _dispatch_fn(fid, t, result, params);
}

FPStatus FPInterface::Invoke(FunctionID fid, TimeValue t, FPValue& result, FPParams* params) {
  return _dispatch_fn(fid, t, result, params);
}

FunctionID FPInterface::FindFn(const MCHAR* name) {
  FPInterfaceDesc* d = GetDesc();
  if (!d) return FP_NO_FUNCTION;
  if (const FPFunctionDef* f = static_cast<const FPInterfaceDesc*>(d)->FindFn(name)) return f->ID;
  return FP_NO_FUNCTION;
}

void FPValue::LoadString(const MCHAR* text) {
  Free();
  type = TYPE_STRING;
  const size_t n = text ? std::wcslen(text) : 0;
  auto* copy = new MCHAR[n + 1];
  if (n) std::wmemcpy(copy, text, n);
  copy[n] = 0;
  s = copy;
  mOwnsString = true;
}

void FPValue::Free() {
  if (mOwnsString) {
    delete[] const_cast<MCHAR*>(s);
    mOwnsString = false;
  }
  ptr = nullptr;
}

void FPValue::CopyFrom(const FPValue& o) {
  if (o.mOwnsString) {
    LoadString(o.s);
    type = o.type;
  } else {
    std::memcpy(static_cast<void*>(&dbl), &o.dbl, sizeof(dbl));
    mOwnsString = false;
  }
}
