// Scene files: a magic and version, then nested chunks (u16 id, u32 length with bit 31
// marking a container). Loading is two-phase: every object is created and reads its own
// data first; references are set only once the whole file has been read and checked, so
// a bad file leaves nothing behind.
#include "scene/scene_file.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>

#include <iload.h>
#include <iparamb2.h>
#include <isave.h>
#include <plugapi.h>

#include "core/chunk_ids.h"
#include "core/class_directory.h"
#include "core/param_block.h"

namespace maxhost {
namespace {

constexpr char kMagic[8] = {'T', 'L', 'V', 'S', 'C', 'E', 'N', 'E'};
constexpr uint16_t kVersion = 1;
constexpr size_t kHeaderSize = sizeof(kMagic) + sizeof(uint16_t);
constexpr uint32_t kContainerBit = 0x80000000u;
constexpr int kMaxDepth = 64;

std::string Format(const char* fmt, ...) {
  char buf[512];
  va_list ap;
  va_start(ap, fmt);
  std::vsnprintf(buf, sizeof buf, fmt, ap);
  va_end(ap);
  return buf;
}

std::string ClassText(ReferenceTarget* o) {
  MSTR name;
  o->GetClassName(name);
  return name.ToUTF8().data();
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

// ---------------------------------------------------------------- reading

class SceneReader : public ILoad {
 public:
  SceneReader(const unsigned char* data, size_t size, size_t pos)
      : mData(data), mSize(size), mPos(pos) {}

  const std::string& Error() const { return mError; }
  void Fail(const std::string& what) {
    if (mError.empty()) mError = "load_scene(): " + what;
  }
  void SetObjects(std::vector<ReferenceTarget*>* objects) { mObjects = objects; }

  void* GetAddr(int imaker) override {
    if (!mObjects || imaker < 0 || imaker >= static_cast<int>(mObjects->size())) return nullptr;
    return (*mObjects)[static_cast<size_t>(imaker)];
  }
  IOResult OpenChunk() override {
    if (!mError.empty()) return IO_ERROR;
    const size_t limit = Limit();
    if (mPos >= limit) return IO_END;
    if (limit - mPos < 6) {
      Fail(Format("chunk header is truncated at byte %zu", limit));
      return IO_ERROR;
    }
    uint16_t id = 0;
    uint32_t raw = 0;
    std::memcpy(&id, mData + mPos, 2);
    std::memcpy(&raw, mData + mPos + 2, 4);
    const size_t len = raw & ~kContainerBit;
    if (len > limit - mPos - 6) {
      Fail(Format("chunk 0x%04X is truncated at byte %zu", id, limit));
      return IO_ERROR;
    }
    if (mOpen.size() >= static_cast<size_t>(kMaxDepth)) {
      Fail(Format("chunk 0x%04X is nested too deeply at byte %zu", id, mPos));
      return IO_ERROR;
    }
    mOpen.push_back(Open{id, mPos + 6, mPos + 6 + len, (raw & kContainerBit) != 0});
    mPos += 6;
    return IO_OK;
  }
  USHORT CurChunkID() override { return mOpen.empty() ? 0 : mOpen.back().id; }
  ChunkType CurChunkType() override {
    return mOpen.empty() ? NEW_CHUNK : (mOpen.back().container ? CONTAINER_CHUNK : DATA_CHUNK);
  }
  ULONG CurChunkLength() override {
    return mOpen.empty() ? 0 : static_cast<ULONG>(mOpen.back().end - mOpen.back().start);
  }
  int CurChunkDepth() override { return static_cast<int>(mOpen.size()); }
  IOResult CloseChunk() override {
    if (mOpen.empty()) return IO_ERROR;
    mPos = mOpen.back().end;
    mOpen.pop_back();
    return mError.empty() ? IO_OK : IO_ERROR;
  }
  USHORT PeekNextChunkID() override {
    uint16_t id = 0;
    if (Limit() >= mPos + 6) std::memcpy(&id, mData + mPos, 2);
    return id;
  }
  IOResult Read(void* buf, ULONG nbytes, ULONG* nread) override {
    if (nread) *nread = 0;
    if (!mError.empty() || mOpen.empty()) return IO_ERROR;
    const Open& o = mOpen.back();
    if (nbytes > o.end - mPos) {
      Fail(Format("chunk 0x%04X is truncated at byte %zu", o.id, o.end));
      return IO_ERROR;
    }
    std::memcpy(buf, mData + mPos, nbytes);
    mPos += nbytes;
    if (nread) *nread = nbytes;
    return IO_OK;
  }
  IOResult ReadWStringChunk(MSTR& str) override {
    if (!mError.empty() || mOpen.empty()) return IO_ERROR;
    const Open& o = mOpen.back();
    if ((o.end - mPos) % 4 != 0) {
      Fail(Format("chunk 0x%04X holds a malformed string at byte %zu", o.id, mPos));
      return IO_ERROR;
    }
    std::wstring s;
    while (mPos + 4 <= o.end) {
      uint32_t c = 0;
      std::memcpy(&c, mData + mPos, 4);
      mPos += 4;
      if (c == 0) break;
      if (c > 0x10FFFF) {
        Fail(Format("chunk 0x%04X holds a malformed string at byte %zu", o.id, mPos - 4));
        return IO_ERROR;
      }
      s.push_back(static_cast<wchar_t>(c));
    }
    mPos = o.end;
    str = MSTR(s);
    return IO_OK;
  }
  IOResult ReadWStringChunk(MCHAR** buf) override {
    MSTR s;
    if (ReadWStringChunk(s) != IO_OK) return IO_ERROR;
    mWStrings.emplace_back(s.data());
    if (buf) *buf = mWStrings.back().data();
    return IO_OK;
  }
  IOResult ReadCStringChunk(char** buf) override {
    if (!mError.empty() || mOpen.empty()) return IO_ERROR;
    const Open& o = mOpen.back();
    std::string s(reinterpret_cast<const char*>(mData + mPos), o.end - mPos);
    const size_t nul = s.find('\0');
    if (nul != std::string::npos) s.resize(nul);
    mPos = o.end;
    mCStrings.push_back(s);
    if (buf) *buf = mCStrings.back().data();
    return IO_OK;
  }
  void RecordBackpatch(int imaker, void** patchThis, DWORD flags) override {
    (void)flags;
    if (patchThis) mPatches.emplace_back(imaker, patchThis);
  }
  void RegisterPostLoadCallback(PostLoadCallback* cb) override {
    if (cb) mCallbacks.push_back(cb);
  }

  void ApplyBackpatches() {
    for (auto& p : mPatches) *p.second = GetAddr(p.first);
    mPatches.clear();
  }
  void RunPostLoadCallbacks() {
    std::vector<PostLoadCallback*> cbs;
    cbs.swap(mCallbacks);
    std::stable_sort(cbs.begin(), cbs.end(), [](PostLoadCallback* a, PostLoadCallback* b) {
      return a->Priority() < b->Priority();
    });
    for (PostLoadCallback* cb : cbs) cb->proc(this);
  }
  size_t Pos() const { return mPos; }

 private:
  struct Open {
    USHORT id;
    size_t start;
    size_t end;
    bool container;
  };
  size_t Limit() const { return mOpen.empty() ? mSize : mOpen.back().end; }

  const unsigned char* mData;
  size_t mSize;
  size_t mPos;
  std::vector<Open> mOpen;
  std::string mError;
  std::vector<ReferenceTarget*>* mObjects = nullptr;
  std::vector<std::pair<int, void**>> mPatches;
  std::vector<PostLoadCallback*> mCallbacks;
  std::vector<std::wstring> mWStrings;
  std::vector<std::string> mCStrings;
};

template <class T>
bool Get(SceneReader& r, T& v) {
  ULONG n = 0;
  return r.Read(&v, sizeof(T), &n) == IO_OK && n == sizeof(T);
}

// Deletes what a failed load created, without the cascade of automatic deletion.
void Discard(std::vector<ReferenceTarget*>& objects) {
  for (ReferenceTarget* o : objects)
    if (o) o->SetAutoDelete(false);
  for (ReferenceTarget* o : objects)
    if (o) o->DeleteAllRefsFromMe();
  for (ReferenceTarget* o : objects)
    if (o) o->DeleteThis();
  objects.clear();
}

struct PendingObject {
  std::vector<int32_t> refs;
};

bool HasLoop(const std::vector<PendingObject>& pending, std::vector<int>& state, int i) {
  if (state[static_cast<size_t>(i)] == 1) return true;
  if (state[static_cast<size_t>(i)] == 2) return false;
  state[static_cast<size_t>(i)] = 1;
  for (int32_t j : pending[static_cast<size_t>(i)].refs)
    if (j >= 0 && HasLoop(pending, state, j)) return true;
  state[static_cast<size_t>(i)] = 2;
  return false;
}

// Reads one object chunk; appends the created object (or fails).
bool ReadObject(SceneReader& r, std::vector<ReferenceTarget*>& objects,
                std::vector<PendingObject>& pending) {
  const int index = static_cast<int>(objects.size());
  if (r.OpenChunk() != IO_OK || r.CurChunkID() != chunks::kObjectClass) {
    r.Fail(Format("object %d has no class chunk", index));
    return false;
  }
  uint32_t sid = 0, a = 0, b = 0;
  if (!Get(r, sid) || !Get(r, a) || !Get(r, b) || r.CloseChunk() != IO_OK) return false;
  ReferenceTarget* obj = nullptr;
  ClassDesc* cd = nullptr;
  if (sid != PARAMETER_BLOCK2_CLASS_ID) {
    cd = FindClassDesc(sid, Class_ID(a, b));
    if (!cd) {
      r.Fail(Format("unknown class (0x%X, 0x%X:0x%X) of object %d", sid, a, b, index));
      return false;
    }
    obj = static_cast<ReferenceTarget*>(cd->Create(TRUE));
    if (!obj) {
      r.Fail(Format("class (0x%X, 0x%X:0x%X) could not create object %d", sid, a, b, index));
      return false;
    }
    objects.push_back(obj);
  } else {
    objects.push_back(nullptr);  // made from its data chunk
  }
  pending.emplace_back();
  IOResult res;
  bool sawData = false;
  while ((res = r.OpenChunk()) == IO_OK) {
    const USHORT id = r.CurChunkID();
    if (id == chunks::kObjectData && !sawData) {
      sawData = true;
      if (!obj) {
        std::string err;
        ParamBlock2* pb = ParamBlock2::CreateForLoad(&r, err);
        if (!pb) {
          r.Fail(Format("object %d: %s", index, err.c_str()));
          return false;
        }
        objects.back() = obj = pb;
      } else if (obj->Load(&r) != IO_OK) {
        r.Fail(Format("object %d (%s) could not read its data", index, ClassText(obj).c_str()));
        return false;
      }
    } else if (id == chunks::kObjectRefs) {
      uint32_t n = 0;
      if (!Get(r, n)) return false;
      if (n > r.CurChunkLength() / 4) {
        r.Fail(Format("object %d lists more references than its chunk holds", index));
        return false;
      }
      auto& refs = pending.back().refs;
      refs.resize(n);
      for (uint32_t k = 0; k < n; ++k)
        if (!Get(r, refs[k])) return false;
    }
    if (r.CloseChunk() != IO_OK) return false;
  }
  if (res != IO_END) return false;
  if (!obj) {
    r.Fail(Format("object %d (a parameter block) has no data", index));
    return false;
  }
  return true;
}

LoadResult LoadFromBytes(const unsigned char* data, size_t size) {
  LoadResult result;
  if (!data || size < kHeaderSize || std::memcmp(data, kMagic, sizeof kMagic) != 0) {
    result.error = "load_scene(): not a scene file";
    return result;
  }
  uint16_t version = 0;
  std::memcpy(&version, data + sizeof kMagic, sizeof version);
  if (version != kVersion) {
    result.error = Format("load_scene(): unsupported scene file version %u (this host reads %u)",
                          version, kVersion);
    return result;
  }
  SceneReader r(data, size, kHeaderSize);
  std::vector<ReferenceTarget*> objects;
  r.SetObjects(&objects);
  std::vector<PendingObject> pending;
  std::vector<int32_t> roots;
  bool sawObjects = false, sawRoots = false;
  bool ok = true;
  IOResult res;
  while (ok && (res = r.OpenChunk()) == IO_OK) {
    const USHORT id = r.CurChunkID();
    if (id == chunks::kSceneObjects && !sawObjects) {
      sawObjects = true;
      IOResult inner;
      while (ok && (inner = r.OpenChunk()) == IO_OK) {
        if (r.CurChunkID() == chunks::kSceneObject) ok = ReadObject(r, objects, pending);
        if (ok && r.CloseChunk() != IO_OK) ok = false;
      }
      if (ok && inner != IO_END) ok = false;
    } else if (id == chunks::kSceneRoots && !sawRoots) {
      sawRoots = true;
      uint32_t n = 0;
      ok = Get(r, n);
      if (ok && n > r.CurChunkLength() / 4) {
        r.Fail("the root list is longer than its chunk");
        ok = false;
      }
      roots.resize(ok ? n : 0);
      for (uint32_t k = 0; ok && k < n; ++k) ok = Get(r, roots[k]);
    }
    if (ok && r.CloseChunk() != IO_OK) ok = false;
  }
  if (ok && res != IO_END) ok = false;
  if (ok && (!sawObjects || !sawRoots)) {
    r.Fail(sawObjects ? "the root list is missing" : "the object list is missing");
    ok = false;
  }
  // Check every reference before any is set.
  const int count = static_cast<int>(objects.size());
  for (int i = 0; ok && i < count; ++i) {
    const auto& refs = pending[static_cast<size_t>(i)].refs;
    ReferenceTarget* o = objects[static_cast<size_t>(i)];
    for (size_t k = 0; ok && k < refs.size(); ++k) {
      if (refs[k] < -1 || refs[k] >= count) {
        r.Fail(Format("object %d refers to object %d, which the file does not hold", i, refs[k]));
        ok = false;
      } else if (refs[k] >= 0 && static_cast<int>(k) >= o->NumRefs()) {
        r.Fail(Format("object %d (%s) holds %d references, the file gives %zu", i,
                      ClassText(o).c_str(), o->NumRefs(), refs.size()));
        ok = false;
      }
    }
  }
  if (ok) {
    std::vector<int> state(static_cast<size_t>(count), 0);
    for (int i = 0; ok && i < count; ++i) {
      if (HasLoop(pending, state, i)) {
        r.Fail(Format("the references of object %d form a loop", i));
        ok = false;
      }
    }
  }
  for (size_t k = 0; ok && k < roots.size(); ++k) {
    if (roots[k] < 0 || roots[k] >= count) {
      r.Fail(Format("root %zu is object %d, which the file does not hold", k, roots[k]));
      ok = false;
    }
  }
  if (!ok) {
    result.error = r.Error().empty() ? "load_scene(): the file is malformed" : r.Error();
    Discard(objects);
    return result;
  }
  // Objects that no root reaches would be owned by nobody: they are not kept.
  std::vector<char> reached(static_cast<size_t>(count), 0);
  std::vector<int32_t> stack(roots.begin(), roots.end());
  while (!stack.empty()) {
    const int32_t i = stack.back();
    stack.pop_back();
    if (reached[static_cast<size_t>(i)]) continue;
    reached[static_cast<size_t>(i)] = 1;
    for (int32_t j : pending[static_cast<size_t>(i)].refs)
      if (j >= 0) stack.push_back(j);
  }
  std::vector<ReferenceTarget*> unreached;
  for (int i = 0; i < count; ++i) {
    if (!reached[static_cast<size_t>(i)]) {
      unreached.push_back(objects[static_cast<size_t>(i)]);
      objects[static_cast<size_t>(i)] = nullptr;
    }
  }
  Discard(unreached);
  for (int i = 0; i < count; ++i) {
    if (!objects[static_cast<size_t>(i)]) continue;
    const auto& refs = pending[static_cast<size_t>(i)].refs;
    for (size_t k = 0; k < refs.size(); ++k) {
      if (refs[k] < 0) continue;
      if (objects[static_cast<size_t>(i)]->ReplaceReference(
              static_cast<int>(k), objects[static_cast<size_t>(refs[k])]) != REF_SUCCEED) {
        result.error = Format("load_scene(): object %d refused reference %zu", i, k);
        Discard(objects);
        return result;
      }
    }
  }
  r.ApplyBackpatches();
  r.RunPostLoadCallbacks();
  result.ok = true;
  for (int32_t k : roots) result.roots.push_back(objects[static_cast<size_t>(k)]);
  return result;
}

}  // namespace

SaveResult SaveSceneToBytes(const std::vector<ReferenceTarget*>& roots,
                            std::vector<unsigned char>& out) {
  SaveResult result;
  std::vector<ReferenceTarget*> order;
  std::map<void*, int> ids;
  for (ReferenceTarget* r : roots) {
    if (!r) {
      result.error = "save_scene(): a root is null";
      return result;
    }
    Collect(r, order, ids);
  }
  SceneWriter w(ids);
  w.Bytes().assign(kMagic, kMagic + sizeof kMagic);  // the writer starts empty
  w.Put(kVersion);
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
      result.error =
          Format("save_scene(): object %zu (%s) could not write its data", i, ClassText(o).c_str());
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
    result.error = "save_scene(): an object left a chunk open";
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
  std::ofstream f(path, std::ios::binary | std::ios::trunc);
  if (f)
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!f) {
    result.ok = false;
    result.error = "save_scene(): cannot write " + path + ": " + std::strerror(errno);
  }
  return result;
}

LoadResult LoadSceneFromBytes(const unsigned char* data, size_t size) {
  return LoadFromBytes(data, size);
}

LoadResult LoadScene(const std::string& path) {
  std::ifstream f(path, std::ios::binary);
  if (!f) {
    LoadResult r;
    r.error = "load_scene(): cannot open " + path + ": " + std::strerror(errno);
    return r;
  }
  std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(f)),
                                   std::istreambuf_iterator<char>());
  return LoadFromBytes(bytes.data(), bytes.size());
}

}  // namespace maxhost
