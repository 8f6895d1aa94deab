// Parameter blocks, second generation: a block descriptor built from a static variadic
// table, the blocks made from it, and ClassDesc2, which owns the descriptors of a class.
#pragma once

#include <vector>

#include "acolor.h"
#include "color.h"
#include "custcont.h"
#include "iparamm.h"
#include "interval.h"
#include "maxtypes.h"
#include "paramtype.h"
#include "plugapi.h"
#include "point3.h"
#include "ref.h"
#include "strclass.h"
#include "tab.h"

class Texmap;
class Mtl;
class INode;
class IParamMap2;
class IAutoMParamDlg;
class IMtlParams;
class ParamMap2UserDlgProc;
class PBAccessor;
class PBValidator;
class ParamDimension;
class ClassDesc2;
class IParamBlock2;
class Interface;

// Block flags (the fifth argument of the table).
#define P_CLASS_PARAMS 0x0001
#define P_AUTO_CONSTRUCT 0x0002
#define P_AUTO_UI 0x0004
#define P_USE_PARAMS 0x0008
#define P_INCLUDE_PARAMS 0x0010
#define P_SCRIPTED_CLASS 0x1000
#define P_TEMPLATE_UI 0x0100
#define P_CALLSETS_ON_LOAD 0x0040
#define P_MULTIMAP 0x0020
#define P_VERSION 0x0200
#define P_HASCATEGORY 0x0080

// Parameter flags.
#define P_ANIMATABLE 0x00000001
#define P_TRANSIENT 0x00000002
#define P_NO_INIT 0x00000004
#define P_COMPUTED_NAME 0x00000008
#define P_INVISIBLE 0x00000010
#define P_RESET_DEFAULT 0x00000020
#define P_SUBANIM 0x00000040
#define P_TV_SHOW_ALL 0x00000080
#define P_NO_REF 0x00000100
#define P_OWNERS_REF 0x00000200
#define P_CAN_CONVERT 0x00000400
#define P_SUBTEX 0x00000800
#define P_VARIABLE_SIZE 0x00001000
#define P_NO_AUTO_LABELS 0x00002000
#define P_SHORT_LABELS 0x00004000
#define P_READ_ONLY 0x00008000

// Rollout controls of p_ui.
enum ControlType2 {
  TYPE_SPINNER,
  TYPE_RADIO,
  TYPE_SINGLECHECKBOX,
  TYPE_MULTICHECKBOX,
  TYPE_COLORSWATCH,
  TYPE_EDITBOX,
  TYPE_CHECKBUTTON,
  TYPE_PICKNODEBUTTON,
  TYPE_TEXMAPBUTTON,
  TYPE_MTLBUTTON,
  TYPE_BITMAPBUTTON,
  TYPE_FILEOPENBUTTON,
  TYPE_FILESAVEBUTTON,
  TYPE_INTLISTBOX,
  TYPE_NODELISTBOX = 16,
  TYPE_SLIDER = 17,
  TYPE_INT_COMBOBOX = 23,
  // The stand-in's own list controls.
  TYPE_COMBOBOX = 100,
  TYPE_LISTBOX
};
#define TYPE_SINGLECHEKBOX TYPE_SINGLECHECKBOX
#define TYPE_MULTICHEKBOX TYPE_MULTICHECKBOX

// A default, range bound or other constant of a parameter definition.
struct PB2Value {
  int i = 0;
  float f = 0.0f;
  Point3 p;
  MSTR s;
  ReferenceTarget* r = nullptr;
};

// One parameter of a block descriptor, as parsed from the table.
struct ParamDef {
  ParamID ID = -1;
  const MCHAR* int_name = nullptr;
  ParamType2 type = TYPE_FLOAT;
  int flags = 0;
  StringResID local_name = 0;
  int tab_size = 0;  // initial number of entries of a list parameter

  PB2Value def;         // p_default (or the type's zero)
  PB2Value ms_default;  // p_ms_default
  PB2Value range_low;   // p_range
  PB2Value range_high;
  bool has_default = false;
  bool has_ms_default = false;
  bool has_range = false;

  // p_ui binding: control kind, edit kind (spinners), control ids, spinner step.
  bool has_ui = false;
  MapID map_id = 0;
  ControlType2 ctrl_type = TYPE_SPINNER;
  int spin_type = 0;
  std::vector<int> ctrl_IDs;  // spinner: edit id, spinner id; radio: one per button
  int ctrl_count = 0;
  float scale = 0.0f;     // spinner step; SPIN_AUTOSCALE for automatic
  std::vector<int> vals;  // p_vals: the value stored for each radio button

  Class_ID class_ID = Class_ID(0, 0);
  SClass_ID sclassID = 0;
  int refno = -1;
  int subtexno = -1;
  int submtlno = -1;
  ParamDimension* dim = nullptr;
  PBAccessor* accessor = nullptr;
  PBValidator* validator = nullptr;
  StringResID prompt = 0;
  StringResID caption = 0;
  StringResID tooltip = 0;
  StringResID file_types = 0;
  BOOL enabled = TRUE;
};

// One automatic rollout of a block (P_AUTO_UI), or one of several with P_MULTIMAP.
struct ParamMapInfo {
  MapID map_id = 0;
  int dlg_template = 0;
  StringResID title = 0;
  int test_flags = 0;
  int rollup_flags = 0;
  ParamMap2UserDlgProc* dlgProc = nullptr;
};

class PB2Export ParamBlockDesc2 : public MaxHeapOperators {
 public:
  // The table: ID, internal name, display name, owning class descriptor, block flags,
  // then the optional header parts the flags ask for, then the parameters, each closed
  // by p_end; the table itself ends with p_end. The descriptor adds itself to cd.
  ParamBlockDesc2(BlockID ID, const MCHAR* int_name, StringResID local_name, ClassDesc2* cd,
                  USHORT flags, ...);
  ParamBlockDesc2();
  ~ParamBlockDesc2();
  ParamBlockDesc2(const ParamBlockDesc2&) = delete;
  ParamBlockDesc2& operator=(const ParamBlockDesc2&) = delete;

  BlockID ID = 0;
  const MCHAR* int_name = nullptr;
  StringResID local_name = 0;
  ClassDesc2* cd = nullptr;
  USHORT flags = 0;
  int version = 0;
  int ref_no = -1;                 // P_AUTO_CONSTRUCT: the owner's reference that holds the block
  std::vector<ParamMapInfo> maps;  // P_AUTO_UI rollouts
  int category = 0;

  std::vector<ParamDef> paramdefs;
  USHORT count = 0;

  int Count() const { return static_cast<int>(paramdefs.size()); }
  int IDtoIndex(ParamID id) const;
  ParamID IndextoID(int i) const;
  // Looks a parameter up by ID; throws std::out_of_range for an unknown ID.
  ParamDef& GetParamDef(ParamID id);
  // Index of the parameter with this internal name (case-insensitive), or -1.
  int NameToIndex(const MCHAR* name) const;
  const MCHAR* GetName() const { return int_name; }
  // Text of a string resource of the owning class (display names, rollout titles).
  const MCHAR* GetString(StringResID id) const;

  // Adds one parameter, given as a table stanza: id, name, type, [tab size,] flags, local
  // name, tags..., p_end.
  void AddParam(ParamID id, ...);
  void DeleteParam(ParamID id);
  // Changes one option of a parameter: a tag and its arguments (p_default, p_range, ...).
  void ParamOption(ParamID id, int option_tag, ...);
  void SetClassDesc(ClassDesc2* c) { cd = c; }

  void SetUserDlgProc(MapID map_id, ParamMap2UserDlgProc* proc = nullptr);
  void SetUserDlgProc(ParamMap2UserDlgProc* proc = nullptr) { SetUserDlgProc(MapID(0), proc); }
  ParamMap2UserDlgProc* GetUserDlgProc(MapID map_id = 0) const;
  ParamMapInfo* GetMap(MapID map_id = 0);

  // Asks open rollouts of blocks of this descriptor to redraw the control of a parameter
  // (tabIndex -1: all entries), or all controls.
  void InvalidateUI();
  void InvalidateUI(ParamID id, int tabIndex = -1);
  // Record of InvalidateUI calls, read by the host's tests.
  int invalidate_count = 0;
  ParamID last_invalidated_id = -1;
  int last_invalidated_tab = -1;
  // Set when the table could not be read to its end (parsing stopped there).
  const char* parse_error = nullptr;

 private:
  void ParseStanza(ParamDef& pd, void* args);
  void ParseOption(ParamDef& pd, int tag, void* args);
};

// A parameter block: the values of one object's parameters at any time.
class PB2Export IParamBlock2 : public ReferenceTarget {
 public:
  SClass_ID SuperClassID() override { return PARAMETER_BLOCK2_CLASS_ID; }

  virtual BlockID ID() = 0;
  virtual ParamBlockDesc2* GetDesc() = 0;
  virtual int NumParams() = 0;
  virtual ParamID IndextoID(int idx) = 0;
  virtual int IDtoIndex(ParamID id) = 0;
  virtual ParamType2 GetParameterType(ParamID id) = 0;
  virtual MSTR GetLocalName(ParamID id, int tabIndex = -1) = 0;
  virtual ReferenceMaker* GetOwner() = 0;
  virtual void SetOwner(ReferenceMaker* owner) = 0;
  virtual int GetVersion() { return GetDesc() ? GetDesc()->version : 0; }

  // Setting a value notifies dependents with REFMSG_CHANGE (LastNotifyParamID tells which).
  virtual BOOL SetValue(ParamID id, TimeValue t, float v, int tabIndex = 0) = 0;
  virtual BOOL SetValue(ParamID id, TimeValue t, int v, int tabIndex = 0) = 0;
  virtual BOOL SetValue(ParamID id, TimeValue t, const Point3& v, int tabIndex = 0) = 0;
  virtual BOOL SetValue(ParamID id, TimeValue t, const Color& v, int tabIndex = 0) = 0;
  virtual BOOL SetValue(ParamID id, TimeValue t, const AColor& v, int tabIndex = 0) = 0;
  virtual BOOL SetValue(ParamID id, TimeValue t, const MCHAR* v, int tabIndex = 0) = 0;
  virtual BOOL SetValue(ParamID id, TimeValue t, Mtl* v, int tabIndex = 0) = 0;
  virtual BOOL SetValue(ParamID id, TimeValue t, Texmap* v, int tabIndex = 0) = 0;
  virtual BOOL SetValue(ParamID id, TimeValue t, INode* v, int tabIndex = 0) = 0;
  virtual BOOL SetValue(ParamID id, TimeValue t, ReferenceTarget* v, int tabIndex = 0) = 0;

  // Reading narrows ivalid to the interval over which the value stays as returned.
  virtual BOOL GetValue(ParamID id, TimeValue t, float& v, Interval& ivalid, int tabIndex = 0) = 0;
  virtual BOOL GetValue(ParamID id, TimeValue t, int& v, Interval& ivalid, int tabIndex = 0) = 0;
  virtual BOOL GetValue(ParamID id, TimeValue t, Point3& v, Interval& ivalid, int tabIndex = 0) = 0;
  virtual BOOL GetValue(ParamID id, TimeValue t, Color& v, Interval& ivalid, int tabIndex = 0) = 0;
  virtual BOOL GetValue(ParamID id, TimeValue t, AColor& v, Interval& ivalid, int tabIndex = 0) = 0;
  virtual BOOL GetValue(ParamID id, TimeValue t, const MCHAR*& v, Interval& ivalid,
                        int tabIndex = 0) = 0;
  virtual BOOL GetValue(ParamID id, TimeValue t, Mtl*& v, Interval& ivalid, int tabIndex = 0) = 0;
  virtual BOOL GetValue(ParamID id, TimeValue t, Texmap*& v, Interval& ivalid,
                        int tabIndex = 0) = 0;
  virtual BOOL GetValue(ParamID id, TimeValue t, INode*& v, Interval& ivalid, int tabIndex = 0) = 0;
  virtual BOOL GetValue(ParamID id, TimeValue t, ReferenceTarget*& v, Interval& ivalid,
                        int tabIndex = 0) = 0;

  virtual Color GetColor(ParamID id, TimeValue t = 0, int tabIndex = 0) = 0;
  virtual AColor GetAColor(ParamID id, TimeValue t = 0, int tabIndex = 0) = 0;
  virtual Point3 GetPoint3(ParamID id, TimeValue t = 0, int tabIndex = 0) = 0;
  virtual int GetInt(ParamID id, TimeValue t = 0, int tabIndex = 0) = 0;
  virtual float GetFloat(ParamID id, TimeValue t = 0, int tabIndex = 0) = 0;
  virtual TimeValue GetTimeValue(ParamID id, TimeValue t = 0, int tabIndex = 0) = 0;
  virtual const MCHAR* GetStr(ParamID id, TimeValue t = 0, int tabIndex = 0) = 0;
  virtual Mtl* GetMtl(ParamID id, TimeValue t = 0, int tabIndex = 0) = 0;
  virtual Texmap* GetTexmap(ParamID id, TimeValue t = 0, int tabIndex = 0) = 0;
  virtual INode* GetINode(ParamID id, TimeValue t = 0, int tabIndex = 0) = 0;
  virtual ReferenceTarget* GetReferenceTarget(ParamID id, TimeValue t = 0, int tabIndex = 0) = 0;

  // Lists. A change of the number or order of entries notifies dependents with
  // REFMSG_SUBANIM_STRUCTURE_CHANGED; new entries take the parameter's default.
  virtual int Count(ParamID id) = 0;
  virtual void ZeroCount(ParamID id) = 0;
  virtual void SetCount(ParamID id, int n) = 0;
  virtual int Delete(ParamID id, int start, int num) = 0;
  virtual int Resize(ParamID id, int num) = 0;
  virtual void Shrink(ParamID id) = 0;
  virtual int Append(ParamID id, int num, const float* el, int allocExtra = 0) = 0;
  virtual int Append(ParamID id, int num, const int* el, int allocExtra = 0) = 0;
  virtual int Append(ParamID id, int num, const Point3* el, int allocExtra = 0) = 0;
  virtual int Append(ParamID id, int num, const Color* el, int allocExtra = 0) = 0;
  virtual int Append(ParamID id, int num, const MCHAR** el, int allocExtra = 0) = 0;
  virtual int Append(ParamID id, int num, Texmap** el, int allocExtra = 0) = 0;
  virtual int Append(ParamID id, int num, Mtl** el, int allocExtra = 0) = 0;
  virtual int Append(ParamID id, int num, INode** el, int allocExtra = 0) = 0;
  virtual int Append(ParamID id, int num, ReferenceTarget** el, int allocExtra = 0) = 0;
  virtual int Insert(ParamID id, int at, int num, const float* el) = 0;
  virtual int Insert(ParamID id, int at, int num, const int* el) = 0;
  virtual int Insert(ParamID id, int at, int num, const Point3* el) = 0;
  virtual int Insert(ParamID id, int at, int num, const Color* el) = 0;
  virtual int Insert(ParamID id, int at, int num, const MCHAR** el) = 0;
  virtual int Insert(ParamID id, int at, int num, Texmap** el) = 0;
  virtual int Insert(ParamID id, int at, int num, Mtl** el) = 0;
  virtual int Insert(ParamID id, int at, int num, INode** el) = 0;
  virtual int Insert(ParamID id, int at, int num, ReferenceTarget** el) = 0;

  // Restores the default of a parameter (tabIndex -1: every entry), or of all parameters.
  virtual void Reset(ParamID id, int tabIndex = -1, BOOL notify = TRUE, BOOL updateUI = TRUE) = 0;
  virtual void ResetAll(BOOL updateUI = TRUE, BOOL callSetHandlers = TRUE) = 0;

  // The parameter (and list entry) of the latest change notification; -1 if none.
  virtual ParamID LastNotifyParamID() = 0;
  virtual ParamID LastNotifyParamID(int& tabIndex) = 0;

  virtual IParamMap2* GetMap(MapID map_id = 0) = 0;
  virtual void SetMap(IParamMap2* m, MapID map_id = 0) = 0;
  virtual BOOL IsAnimated(ParamID id, int tabIndex = 0) = 0;
  using Animatable::IsAnimated;
};

// Makes a block from a descriptor, owned by owner (not yet referenced by it).
PB2Export IParamBlock2* CreateParameterBlock2(ParamBlockDesc2* pdesc, ReferenceMaker* owner);

class PB2Export ClassDesc2 : public ClassDesc {
 public:
  ClassDesc2();
  ~ClassDesc2() override;

  int NumParamBlockDescs() override { return static_cast<int>(mDescs.size()); }
  ParamBlockDesc2* GetParamBlockDesc(int i) override;
  ParamBlockDesc2* GetParamBlockDescByID(BlockID id) override;
  ParamBlockDesc2* GetParamBlockDescByName(const MCHAR* name);
  void AddParamBlockDesc(ParamBlockDesc2* pbd) override;
  void ClearParamBlockDescs() { mDescs.clear(); }

  // Creates the blocks of every P_AUTO_CONSTRUCT descriptor and sets each as the owner's
  // reference given in its table.
  void MakeAutoParamBlocks(ReferenceMaker* owner) override;
  // Builds the material editor's rollouts of the P_AUTO_UI descriptors for obj.
  IAutoMParamDlg* CreateParamDlgs(HWND hwMtlEdit, IMtlParams* imp, ReferenceTarget* obj);
  IAutoMParamDlg* CreateParamDlg(BlockID id, HWND hwMtlEdit, IMtlParams* imp, ReferenceTarget* obj,
                                 MapID mapID = 0);
#if MAX_VERSION_MAJOR >= 24
  bool SetUserDlgProc(ParamBlockDesc2* pbd, MapID map_id, ParamMap2UserDlgProc* proc = nullptr);
  bool SetUserDlgProc(ParamBlockDesc2* pbd, ParamMap2UserDlgProc* proc = nullptr) override {
    return SetUserDlgProc(pbd, MapID(0), proc);
  }
#else
  void SetUserDlgProc(ParamBlockDesc2* pbd, MapID map_id, ParamMap2UserDlgProc* proc = nullptr);
  void SetUserDlgProc(ParamBlockDesc2* pbd, ParamMap2UserDlgProc* proc = nullptr) override {
    SetUserDlgProc(pbd, MapID(0), proc);
  }
#endif
  virtual ParamMap2UserDlgProc* GetUserDlgProc(ParamBlockDesc2* pbd, MapID map_id = 0);

  // Loads a string resource of HInstance() (a shared buffer: copy before the next call).
  const MCHAR* GetRsrcString(INT_PTR id) override;
  void ResetClassParams(BOOL fileReset) override {
    (void)fileReset;
  }
  // Sets every parameter of owner's automatic blocks back to its default.
  virtual void Reset(ReferenceMaker* owner, BOOL updateUI = TRUE, BOOL callSetHandlers = TRUE);

 private:
  std::vector<ParamBlockDesc2*> mDescs;
};
