// The rollout's user dialog procedure: the two controls of the rollout that are not bound
// to parameters, "Manage Textures" and the logo.
#pragma once

#include <iparamm2.h>

class Pavimo;

class PavimoDlgProc : public ParamMap2UserDlgProc {
 public:
  explicit PavimoDlgProc(Pavimo* map) : map_(map) {}

  INT_PTR DlgProc(TimeValue t, IParamMap2* map, HWND hWnd, UINT msg, WPARAM wParam,
                  LPARAM lParam) override;
  void DeleteThis() override;
  // The material editor switched the rollout to another map of the class.
  void SetThing(ReferenceTarget* m) override;

  Pavimo* Map() const { return map_; }

 private:
  Pavimo* map_;  // not owned
};
