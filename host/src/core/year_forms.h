#pragma once
// The forms in which the build's host year names classes, sub-anims and map slots, and tells a
// target that a reference to it went. Host code calls these helpers instead of the members,
// and host classes declare their overrides with the parameter macros below, so one code path
// serves every year.
#include "animtbl.h"
#include "imtl.h"
#include "plugapi.h"
#include "ref.h"

// From 2022 the name members take a `localized` switch (GetClassName is also const); the
// stand-in's own classes answer the same name either way. Use as
//   void GetClassName(MSTR& s MAXHOST_LOCALIZED) MAXHOST_CLASS_NAME_CONST override;
//   MSTR SubAnimName(int i MAXHOST_LOCALIZED) override;
#if MAX_VERSION_MAJOR >= 24
#define MAXHOST_LOCALIZED , bool
#define MAXHOST_CLASS_NAME_CONST const
#else
#define MAXHOST_LOCALIZED
#define MAXHOST_CLASS_NAME_CONST
#endif

// From 2026 RefDeleted names the maker that dropped its reference:
//   void RefDeleted(MAXHOST_REF_DELETED_OWNER) override;
#if MAX_VERSION_MAJOR >= 28
#define MAXHOST_REF_DELETED_OWNER ReferenceMaker*
#else
#define MAXHOST_REF_DELETED_OWNER
#endif

namespace maxhost {

// The class name of an object: shown to the user when localized, the one scripts and scene
// files use when not. Before 2022 there is one name.
inline MSTR ClassNameOf(Animatable& a, bool localized = true) {
  MSTR s;
#if MAX_VERSION_MAJOR >= 24
  a.GetClassName(s, localized);
#else
  (void)localized;
  a.GetClassName(s);
#endif
  return s;
}

inline MSTR SubAnimNameOf(Animatable& a, int i, bool localized = true) {
#if MAX_VERSION_MAJOR >= 24
  return a.SubAnimName(i, localized);
#else
  (void)localized;
  return a.SubAnimName(i);
#endif
}

inline MSTR SubTexmapSlotNameOf(ISubMap& m, int i, bool localized = true) {
#if MAX_VERSION_MAJOR >= 24
  return m.GetSubTexmapSlotName(i, localized);
#else
  (void)localized;
  return m.GetSubTexmapSlotName(i);
#endif
}

// The name by which scripts know a class when it has no internal name: from 2022 the
// descriptor's non-localized class name, before that its class name.
inline const MCHAR* ScriptClassName(ClassDesc& cd) {
#if MAX_VERSION_MAJOR >= 24
  return cd.NonLocalizedClassName();
#else
  return cd.ClassName();
#endif
}

// Tells target that oldOwner no longer references it.
inline void TellRefDeleted(ReferenceTarget& target, ReferenceMaker* oldOwner) {
#if MAX_VERSION_MAJOR >= 28
  target.RefDeleted(oldOwner);
#else
  (void)oldOwner;
  target.RefDeleted();
#endif
}

}  // namespace maxhost
