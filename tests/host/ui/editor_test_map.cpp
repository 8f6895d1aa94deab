#include "editor_test_map.h"

#include <gtest/gtest.h>

#include "win32/module.h"

namespace uitest {

HMODULE TestModule() {
  static HMODULE module = [] {
    std::string error;
    HMODULE m = maxhost::RegisterResFile(UI_FIXTURE_RES_FILE, &error);
    if (!m) ADD_FAILURE() << error;
    return m;
  }();
  return module;
}

ProcLog& Log() {
  static ProcLog log;
  return log;
}

EditorTestMap::EditorTestMap(EditorTestDesc* desc) : desc_(desc) {
  desc->MakeAutoParamBlocks(this);
}

EditorTestMap::~EditorTestMap() {
  DeleteAllRefs();
}

Class_ID EditorTestMap::ClassID() {
  return desc_->ClassID();
}

ParamDlg* EditorTestMap::CreateParamDlg(HWND hwMtlEdit, IMtlParams* imp) {
  if (proc_before_build) {
    desc_->block->SetUserDlgProc(new RecordingProc(this));
    return desc_->CreateParamDlgs(hwMtlEdit, imp, this);
  }
  IAutoMParamDlg* dlg = desc_->CreateParamDlgs(hwMtlEdit, imp, this);
  desc_->block->SetUserDlgProc(new RecordingProc(this));
  return dlg;
}

RefResult EditorTestMap::NotifyRefChanged(const Interval&, RefTargetHandle hTarget, PartID&,
                                          RefMessage message, BOOL) {
  if (message == REFMSG_CHANGE && hTarget == pblock && pblock && invalidate_on_change)
    pblock->GetDesc()->InvalidateUI(pblock->LastNotifyParamID());
  return REF_SUCCEED;
}

EditorTestDesc::EditorTestDesc(ULONG classA, int dialogId) : class_a_(classA) {
  block = new ParamBlockDesc2(
      // block ID, internal name, display name, owning class, flags
      0, L"params", 0, this, P_AUTO_CONSTRUCT + P_AUTO_UI,
      // P_AUTO_CONSTRUCT: reference number
      0,
      // P_AUTO_UI: dialog, title string, flag mask, rollup flags, dialog procedure
      dialogId, 4, 0, 0, nullptr, ep_gamma, L"all_gamma", TYPE_FLOAT, P_ANIMATABLE, 253, p_default,
      1.0f, p_range, 0.0f, 100.0f, p_ui, TYPE_SPINNER, EDITTYPE_FLOAT, 1490, 1496, 0.01f, p_end,
      ep_hue, L"all_hue", TYPE_FLOAT, P_ANIMATABLE, 254, p_default, 0.0f, p_range, -360.0f, 360.0f,
      p_ui, TYPE_SPINNER, EDITTYPE_FLOAT, 1491, 1497, 1.0f, p_end, ep_sat, L"all_sat", TYPE_FLOAT,
      P_ANIMATABLE, 265, p_default, 100.0f, p_range, 0.0f, 10000.0f, p_ui, TYPE_SPINNER,
      EDITTYPE_FLOAT, 1492, 1498, 1.0f, p_end, ep_rnd_gamma, L"rnd_gamma", TYPE_FLOAT, P_ANIMATABLE,
      255, p_default, 0.2f, p_range, 0.0f, 100.0f, p_ui, TYPE_SPINNER, EDITTYPE_FLOAT, 1493, 1499,
      0.01f, p_end, ep_rnd_hue, L"rnd_hue", TYPE_FLOAT, P_ANIMATABLE, 256, p_default, 15.0f,
      p_range, 0.0f, 360.0f, p_ui, TYPE_SPINNER, EDITTYPE_FLOAT, 1494, 1500, 1.0f, p_end,
      ep_rnd_sat, L"rnd_sat", TYPE_FLOAT, P_ANIMATABLE, 257, p_default, 10.0f, p_range, 0.0f,
      10000.0f, p_ui, TYPE_SPINNER, EDITTYPE_FLOAT, 1495, 1501, 1.0f, p_end, ep_occ_gamma,
      L"occ_gamma", TYPE_FLOAT, P_ANIMATABLE, 258, p_default, 50.0f, p_range, 0.0f, 100.0f, p_ui,
      TYPE_SPINNER, EDITTYPE_FLOAT, 1502, 1503, 1.0f, p_end, ep_occ_hue, L"occ_hue", TYPE_FLOAT,
      P_ANIMATABLE, 259, p_default, 50.0f, p_range, 0.0f, 100.0f, p_ui, TYPE_SPINNER,
      EDITTYPE_FLOAT, 1504, 1505, 1.0f, p_end, ep_occ_sat, L"occ_sat", TYPE_FLOAT, P_ANIMATABLE,
      260, p_default, 50.0f, p_range, 0.0f, 100.0f, p_ui, TYPE_SPINNER, EDITTYPE_FLOAT, 1506, 1507,
      1.0f, p_end, ep_rnd_by, L"rnd_by", TYPE_INT, 0, 261, p_default, 0, p_range, 0, 2, p_ui,
      TYPE_RADIO, 3, 1002, 1003, 1010, p_end, ep_seed, L"seed", TYPE_INT, P_ANIMATABLE, 50,
      p_default, 12345, p_range, 1, 99999, p_ui, TYPE_SPINNER, EDITTYPE_POS_INT, 1015, 1017,
      SPIN_AUTOSCALE, p_end, ep_blur, L"blur", TYPE_FLOAT, P_ANIMATABLE, 263, p_default, 1.0f,
      p_range, 0.01f, 100.0f, p_ui, TYPE_SPINNER, EDITTYPE_FLOAT, 1510, 1511, 0.01f, p_end,
      ep_filtering, L"filtering", TYPE_INT, 0, 264, p_default, 0, p_range, 0, 2, p_ui, TYPE_RADIO,
      3, 1006, 1008, 1009, p_end, ep_color, L"sub_color", TYPE_RGBA, P_ANIMATABLE, 1076, p_default,
      Color(0.5f, 0.5f, 0.5f), p_ui, TYPE_COLORSWATCH, 1079, p_end, ep_use_color, L"use_color",
      TYPE_BOOL, P_ANIMATABLE, 1077, p_default, FALSE, p_ui, TYPE_RADIO, 2, 1005, 1082, p_vals, 0,
      1, p_end, ep_rotate, L"rotate", TYPE_ANGLE, P_ANIMATABLE, 1078, p_default, 0.0f, p_range,
      0.0f, 360.0f, p_ui, TYPE_SPINNER, EDITTYPE_FLOAT, 1512, 1513, 0.01f, p_end, p_end);
}

EditorTestDesc::~EditorTestDesc() {
  ClearParamBlockDescs();
  delete block;
}

}  // namespace uitest
