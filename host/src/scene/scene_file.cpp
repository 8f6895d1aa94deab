// Saving a scene: every object reachable through references from the roots, in the order
// first reached, with its class, its own data and the file index of each reference.
#include "scene/scene_file.h"

#include <cstring>
#include <map>

#include <isave.h>

#include "base/files.h"
#include "core/chunk_ids.h"
#include "scene/scene_format.h"
#include "core/year_forms.h"

namespace maxhost {
namespace {

constexpr const char* kSave = "SaveScene";

std::string ClassText(ReferenceTarget* o) {
  return ClassNameOf(*o, false).ToUTF8().data();
}

// ---------------------------------------------------------------- writing

class SceneWriter : public ISave {
 public:
  explicit SceneWriter(const std::map<void*, int>& ids) : mIds(ids) {}

  std::vector<unsigned char>& Bytes() { return mBuf; }

  int GetRefID(void* ptarg) override {
    auto it = mIds.find(ptarg);
    return it == mIds.end() ? -1 : it->second;
  }
  void BeginChunk(USHORT id) override {
    if (!mOpen.empty()) mOpen.back().container = true;
    mOpen.push_back(Open{mBuf.size(), false});
    Put(static_cast<uint16_t>(id));
    Put(static_cast<uint32_t>(0));
  }
  void EndChunk() override {
    if (mOpen.empty()) return;
    const Open o = mOpen.back();
    mOpen.pop_back();
    uint32_t len = static_cast<uint32_t>(mBuf.size() - o.start - 6);
    if (o.container) len |= kContainerBit;
    std::memcpy(&mBuf[o.start + 2], &len, sizeof len);
  }
  int CurChunkDepth() override { return static_cast<int>(mOpen.size()); }
  IOResult Write(const void* buf, ULONG nbytes, ULONG* nwrit) override {
    const auto* p = static_cast<const unsigned char*>(buf);
    mBuf.insert(mBuf.end(), p, p + nbytes);
    if (nwrit) *nwrit = nbytes;
    return IO_OK;
  }
  IOResult WriteWString(const MCHAR* str) override {
    for (const MCHAR* s = str ? str : L""; *s; ++s) Put(static_cast<uint32_t>(*s));
    Put(static_cast<uint32_t>(0));
    return IO_OK;
  }
  IOResult WriteCString(const char* str) override {
    const char* s = str ? str : "";
    return Write(s, static_cast<ULONG>(std::strlen(s) + 1), nullptr);
  }

  template <class T>
  void Put(const T& v) {
    const auto* p = reinterpret_cast<const unsigned char*>(&v);
    mBuf.insert(mBuf.end(), p, p + sizeof(T));
  }
  bool Balanced() const { return mOpen.empty(); }

 private:
  struct Open {
    size_t start;
    bool container;
  };
  std::vector<unsigned char> mBuf;
  std::vector<Open> mOpen;
  const std::map<void*, int>& mIds;
};

void Collect(ReferenceTarget* o, std::vector<ReferenceTarget*>& order, std::map<void*, int>& ids) {
  if (!o || ids.count(o)) return;
  ids[o] = static_cast<int>(order.size());
  order.push_back(o);
  const int n = o->NumRefs();
  for (int i = 0; i < n; ++i) {
    ReferenceTarget* r = o->GetReference(i);
    if (r && (o->IsRealDependency(r) || o->ShouldPersistWeakRef(r))) Collect(r, order, ids);
  }
}

}  // namespace

SaveResult SaveSceneToBytes(const std::vector<ReferenceTarget*>& roots,
                            std::vector<unsigned char>& out) {
  SaveResult result;
  std::vector<ReferenceTarget*> order;
  std::map<void*, int> ids;
  for (ReferenceTarget* r : roots) {
    if (!r) {
      result.error = "SaveScene: a root is null";
      return result;
    }
    Collect(r, order, ids);
  }
  SceneWriter w(ids);
  w.Bytes().assign(kSceneMagic, kSceneMagic + sizeof kSceneMagic);  // the writer starts empty
  w.Put(kSceneVersion);
  w.BeginChunk(chunks::kSceneObjects);
  for (size_t i = 0; i < order.size(); ++i) {
    ReferenceTarget* o = order[i];
    w.BeginChunk(chunks::kSceneObject);
    w.BeginChunk(chunks::kObjectClass);
    const Class_ID cid = o->ClassID();
    w.Put(static_cast<uint32_t>(o->SuperClassID()));
    w.Put(static_cast<uint32_t>(cid.PartA()));
    w.Put(static_cast<uint32_t>(cid.PartB()));
    w.EndChunk();
    w.BeginChunk(chunks::kObjectData);
    const IOResult saved = o->Save(&w);
    w.EndChunk();
    if (saved != IO_OK) {
      result.error = "SaveScene: object " + std::to_string(i) + " (" + ClassText(o) +
                     ") could not write its data";
      return result;
    }
    w.BeginChunk(chunks::kObjectRefs);
    const int n = o->NumRefs();
    w.Put(static_cast<uint32_t>(n > 0 ? n : 0));
    for (int k = 0; k < n; ++k) {
      ReferenceTarget* r = o->GetReference(k);
      const bool kept = r && (o->IsRealDependency(r) || o->ShouldPersistWeakRef(r));
      w.Put(static_cast<int32_t>(kept ? ids[r] : -1));
    }
    w.EndChunk();
    w.EndChunk();
  }
  w.EndChunk();
  w.BeginChunk(chunks::kSceneRoots);
  w.Put(static_cast<uint32_t>(roots.size()));
  for (ReferenceTarget* r : roots) w.Put(static_cast<int32_t>(ids[r]));
  w.EndChunk();
  if (!w.Balanced()) {
    result.error = "SaveScene: an object left a chunk open";
    return result;
  }
  out.swap(w.Bytes());
  result.ok = true;
  return result;
}

SaveResult SaveScene(const std::string& path, const std::vector<ReferenceTarget*>& roots) {
  std::vector<unsigned char> bytes;
  SaveResult result = SaveSceneToBytes(roots, bytes);
  if (!result.ok) return result;
  const Status written = WriteWholeFile(kSave, path, bytes.data(), bytes.size());
  result.ok = written.ok;
  result.error = written.error;
  return result;
}

}  // namespace maxhost
