#include <iparamb2.h>
#include <plugapi.h>

#include "resource.h"
#include "shell/tilvara.h"
#include "texmap/pavimo.h"

namespace {

class PavimoClassDesc : public ClassDesc2 {
 public:
  int IsPublic() override { return TRUE; }

  // The loading flag is ignored: a map made for a scene load is fully built and reset
  // before the loader writes the stored values over it.
  void* Create(BOOL /*loading*/ = FALSE) override { return new (std::nothrow) Pavimo(); }

  const MCHAR* ClassName() override { return GetString(IDS_CLASS_NAME); }
#if MAX_VERSION_MAJOR >= 24
  // The class name that scripts use from 2022, not taken from the string table.
  const MCHAR* NonLocalizedClassName() override {
    return _T("Tilvara");
  }
#endif
  SClass_ID SuperClassID() override {
    return TEXMAP_CLASS_ID;
  }
  Class_ID ClassID() override {
    return PAVIMO_CLASS_ID;
  }
  const MCHAR* Category() override {
    return TEXMAP_CAT_COMP;
  }

  // Scripts and scene files know the class by this name; it is not localised.
  const MCHAR* InternalName() override {
    return _T("Tilvara");
  }
  HINSTANCE HInstance() override {
    return hInstance;
  }

  using ClassDesc2::SetUserDlgProc;
#if MAX_VERSION_MAJOR >= 24
  bool SetUserDlgProc(ParamBlockDesc2* pbd, ParamMap2UserDlgProc* proc = nullptr) override {
    return ClassDesc2::SetUserDlgProc(pbd, 0, proc);
  }
#else
  void SetUserDlgProc(ParamBlockDesc2* pbd, ParamMap2UserDlgProc* proc = nullptr) override {
    ClassDesc2::SetUserDlgProc(pbd, 0, proc);
  }
#endif
};

}  // namespace

ClassDesc2* GetPavimoDesc() {
  static PavimoClassDesc desc;
  return &desc;
}
