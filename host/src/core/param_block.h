// The host's parameter block: values, list entries and keyframes of every parameter of
// one block descriptor. Entries of reference types (maps, materials, nodes, targets) are
// real references of the block.
#pragma once

#include <string>
#include <vector>

#include <iparamb2.h>

#include "core/year_forms.h"

namespace maxhost {

// A value of any parameter type, for generic access (scripts, scene files).
struct PBValue {
  float f = 0.0f;                // float, angle, percent, world
  int i = 0;                     // int, bool, index, time
  Point3 p;                      // point3, colour (r, g, b)
  float a = 1.0f;                // alpha of RGBA-with-alpha types
  std::wstring s;                // string, filename
  ReferenceTarget* r = nullptr;  // texmap, mtl, node, reftarg
};

struct PBKey {
  TimeValue t = 0;
  PBValue v;
};

// True for types whose values are references of the block.
CoreExport bool IsReferenceType(int type);

// Whether target is a parameter block made from block `id` of class cd: the only thing a
// reference that holds a class's own block may take.
CoreExport bool IsBlockOf(ReferenceTarget* target, ClassDesc2* cd, BlockID id);

class CoreExport ParamBlock2 : public IParamBlock2 {
 public:
  ParamBlock2(ParamBlockDesc2* desc, ReferenceMaker* owner);
  ~ParamBlock2() override;

  // Generic access; false for an unknown ID, an index outside the list, or a value of
  // the wrong kind.
  bool GetGeneric(ParamID id, TimeValue t, PBValue& v, Interval& valid, int tabIndex = 0);
  bool SetGeneric(ParamID id, TimeValue t, const PBValue& v, int tabIndex = 0);
  // Replaces a whole list (one structure-change notification).
  bool AssignTab(ParamID id, TimeValue t, const std::vector<PBValue>& values);

  // Keyframes of animatable parameters. Reads interpolate linearly between keys and hold
  // the first and last key's value outside them.
  bool SetKey(ParamID id, TimeValue t, const PBValue& v, int tabIndex = 0);
  int NumKeys(ParamID id, int tabIndex = 0);
  const std::vector<PBKey>* Keys(ParamID id, int tabIndex = 0);

  // --- IParamBlock2 ---
  BlockID ID() override { return mDesc ? mDesc->ID : BlockID(-1); }
  ParamBlockDesc2* GetDesc() override { return mDesc; }
  int NumParams() override;
  ParamID IndextoID(int idx) override;
  int IDtoIndex(ParamID id) override;
  ParamType2 GetParameterType(ParamID id) override;
  MSTR GetLocalName(ParamID id, int tabIndex = -1) override;
  ReferenceMaker* GetOwner() override { return mOwner; }
  void SetOwner(ReferenceMaker* owner) override { mOwner = owner; }

  BOOL SetValue(ParamID id, TimeValue t, float v, int tabIndex = 0) override;
  BOOL SetValue(ParamID id, TimeValue t, int v, int tabIndex = 0) override;
  BOOL SetValue(ParamID id, TimeValue t, const Point3& v, int tabIndex = 0) override;
  BOOL SetValue(ParamID id, TimeValue t, const Color& v, int tabIndex = 0) override;
  BOOL SetValue(ParamID id, TimeValue t, const AColor& v, int tabIndex = 0) override;
  BOOL SetValue(ParamID id, TimeValue t, const MCHAR* v, int tabIndex = 0) override;
  BOOL SetValue(ParamID id, TimeValue t, Mtl* v, int tabIndex = 0) override;
  BOOL SetValue(ParamID id, TimeValue t, Texmap* v, int tabIndex = 0) override;
  BOOL SetValue(ParamID id, TimeValue t, INode* v, int tabIndex = 0) override;
  BOOL SetValue(ParamID id, TimeValue t, ReferenceTarget* v, int tabIndex = 0) override;

  BOOL GetValue(ParamID id, TimeValue t, float& v, Interval& ivalid, int tabIndex = 0) override;
  BOOL GetValue(ParamID id, TimeValue t, int& v, Interval& ivalid, int tabIndex = 0) override;
  BOOL GetValue(ParamID id, TimeValue t, Point3& v, Interval& ivalid, int tabIndex = 0) override;
  BOOL GetValue(ParamID id, TimeValue t, Color& v, Interval& ivalid, int tabIndex = 0) override;
  BOOL GetValue(ParamID id, TimeValue t, AColor& v, Interval& ivalid, int tabIndex = 0) override;
  BOOL GetValue(ParamID id, TimeValue t, const MCHAR*& v, Interval& ivalid,
                int tabIndex = 0) override;
  BOOL GetValue(ParamID id, TimeValue t, Mtl*& v, Interval& ivalid, int tabIndex = 0) override;
  BOOL GetValue(ParamID id, TimeValue t, Texmap*& v, Interval& ivalid, int tabIndex = 0) override;
  BOOL GetValue(ParamID id, TimeValue t, INode*& v, Interval& ivalid, int tabIndex = 0) override;
  BOOL GetValue(ParamID id, TimeValue t, ReferenceTarget*& v, Interval& ivalid,
                int tabIndex = 0) override;

  Color GetColor(ParamID id, TimeValue t = 0, int tabIndex = 0) override;
  AColor GetAColor(ParamID id, TimeValue t = 0, int tabIndex = 0) override;
  Point3 GetPoint3(ParamID id, TimeValue t = 0, int tabIndex = 0) override;
  int GetInt(ParamID id, TimeValue t = 0, int tabIndex = 0) override;
  float GetFloat(ParamID id, TimeValue t = 0, int tabIndex = 0) override;
  TimeValue GetTimeValue(ParamID id, TimeValue t = 0, int tabIndex = 0) override;
  const MCHAR* GetStr(ParamID id, TimeValue t = 0, int tabIndex = 0) override;
  Mtl* GetMtl(ParamID id, TimeValue t = 0, int tabIndex = 0) override;
  Texmap* GetTexmap(ParamID id, TimeValue t = 0, int tabIndex = 0) override;
  INode* GetINode(ParamID id, TimeValue t = 0, int tabIndex = 0) override;
  ReferenceTarget* GetReferenceTarget(ParamID id, TimeValue t = 0, int tabIndex = 0) override;

  int Count(ParamID id) override;
  void ZeroCount(ParamID id) override { SetCount(id, 0); }
  void SetCount(ParamID id, int n) override;
  int Delete(ParamID id, int start, int num) override;
  int Resize(ParamID id, int num) override;
  void Shrink(ParamID id) override { (void)id; }
  int Append(ParamID id, int num, const float* el, int allocExtra = 0) override;
  int Append(ParamID id, int num, const int* el, int allocExtra = 0) override;
  int Append(ParamID id, int num, const Point3* el, int allocExtra = 0) override;
  int Append(ParamID id, int num, const Color* el, int allocExtra = 0) override;
  int Append(ParamID id, int num, const MCHAR** el, int allocExtra = 0) override;
  int Append(ParamID id, int num, Texmap** el, int allocExtra = 0) override;
  int Append(ParamID id, int num, Mtl** el, int allocExtra = 0) override;
  int Append(ParamID id, int num, INode** el, int allocExtra = 0) override;
  int Append(ParamID id, int num, ReferenceTarget** el, int allocExtra = 0) override;
  int Insert(ParamID id, int at, int num, const float* el) override;
  int Insert(ParamID id, int at, int num, const int* el) override;
  int Insert(ParamID id, int at, int num, const Point3* el) override;
  int Insert(ParamID id, int at, int num, const Color* el) override;
  int Insert(ParamID id, int at, int num, const MCHAR** el) override;
  int Insert(ParamID id, int at, int num, Texmap** el) override;
  int Insert(ParamID id, int at, int num, Mtl** el) override;
  int Insert(ParamID id, int at, int num, INode** el) override;
  int Insert(ParamID id, int at, int num, ReferenceTarget** el) override;

  void Reset(ParamID id, int tabIndex = -1, BOOL notify = TRUE, BOOL updateUI = TRUE) override;
  void ResetAll(BOOL updateUI = TRUE, BOOL callSetHandlers = TRUE) override;
  ParamID LastNotifyParamID() override { return mLastNotifyID; }
  ParamID LastNotifyParamID(int& tabIndex) override {
    tabIndex = mLastNotifyTab;
    return mLastNotifyID;
  }
  IParamMap2* GetMap(MapID map_id = 0) override;
  void SetMap(IParamMap2* m, MapID map_id = 0) override;
  BOOL IsAnimated(ParamID id, int tabIndex = 0) override;

  // --- ReferenceMaker / ReferenceTarget ---
  void GetClassName(MSTR& s MAXHOST_LOCALIZED) MAXHOST_CLASS_NAME_CONST override {
    s = MSTR(_M("ParamBlock2"));
  }
  Class_ID ClassID() override { return Class_ID(PARAMETER_BLOCK2_CLASS_ID, 0); }
  int NumRefs() override;
  RefTargetHandle GetReference(int i) override;
  RefTargetHandle Clone(RemapDir& remap) override;
  void RefAdded(RefMakerHandle rm) override;
  void RefDeleted(MAXHOST_REF_DELETED_OWNER) override;
  // Writes and reads every value, list entry and key (references are the scene's).
  IOResult Save(ISave* isave) override;
  IOResult Load(ILoad* iload) override;

  // Reference index of an entry of a reference-type parameter, or -1.
  int RefIndexOf(ParamID id, int tabIndex);

  // Makes a block from a scene file's block data: reads the header (owner class and
  // block ID), finds the descriptor in the class directory and loads the values.
  // Null with `error` set when that fails.
  static ParamBlock2* CreateForLoad(ILoad* iload, std::string& error);

 protected:
  void SetReference(int i, RefTargetHandle rtarg) override;
  RefResult NotifyRefChanged(const Interval& changeInt, RefTargetHandle hTarget, PartID& partID,
                             RefMessage message, BOOL propagate) override;

 private:
  struct Entry {
    PBValue v;
    std::vector<PBKey> keys;
  };
  struct Param {
    ParamDef* def = nullptr;  // owned by the descriptor
    std::vector<Entry> entries;
  };

  Param* Find(ParamID id);
  Entry* FindEntry(ParamID id, int tabIndex);
  PBValue DefaultValue(const ParamDef& def) const;
  PBValue Evaluate(const Entry& e, int type, TimeValue t, Interval& valid) const;
  bool Store(ParamID id, TimeValue t, const PBValue& v, int tabIndex, int kind);
  bool Resize(Param& p, int n, bool notify);
  bool InsertEntries(ParamID id, int at, const std::vector<PBValue>& values);
  void NotifyChange(ParamID id, int tabIndex);
  void NotifyStructure(ParamID id);

  ParamBlockDesc2* mDesc = nullptr;
  ReferenceMaker* mOwner = nullptr;
  std::vector<Param> mParams;
  std::vector<std::pair<MapID, IParamMap2*>> mMaps;
  ParamID mLastNotifyID = -1;
  int mLastNotifyTab = -1;
};

}  // namespace maxhost
