// Loading a scene is two-phase: every object is created and reads its own data first;
// references are checked (index, count, loops, kind) and set only once the whole file has
// been read, so a damaged or hostile file is refused with nothing left behind.
#include <cstdio>
#include <cstring>
#include <exception>

#include <iparamb2.h>
#include <plugapi.h>

#include "base/files.h"
#include "base/host_error.h"
#include "core/chunk_ids.h"
#include "core/class_directory.h"
#include "core/param_block.h"
#include "scene/scene_file.h"
#include "scene/scene_format.h"
#include "scene/scene_reader.h"
#include "core/year_forms.h"

namespace maxhost {
namespace {

constexpr const char* kLoad = "LoadScene";
constexpr size_t kMaxSceneBytes = size_t{256} << 20;

template <class... Args>
[[noreturn]] void Refuse(const char* fmt, Args... args) {
  char buf[384];
  std::snprintf(buf, sizeof buf, fmt, args...);
  throw HostError(kLoad, buf);
}

std::string ClassText(ReferenceTarget* o) {
  return ClassNameOf(*o, false).ToUTF8().data();
}

struct LoadedObject {
  ReferenceTarget* object = nullptr;
  std::vector<int32_t> refs;
};

// The objects of one load. Until Release, they belong to the load: a failure anywhere
// deletes all of them, without the cascade of automatic deletion.
class SceneLoad {
 public:
  SceneLoad(const unsigned char* data, size_t size) : mReader(data, size, kHeaderSize) {
    mReader.SetObjects(&mObjects);
  }
  ~SceneLoad() { Discard(mObjects); }
  SceneLoad(const SceneLoad&) = delete;
  SceneLoad& operator=(const SceneLoad&) = delete;

  void ReadAll();
  void CheckReferences();
  void CheckKinds();
  std::vector<ReferenceTarget*> Wire();

 private:
  // Turns a reader failure into the load's error.
  void Expect(bool ok) {
    if (ok) return;
    throw HostError(kLoad, mReader.Error().empty() ? "the file is malformed" : mReader.Error());
  }
  template <class T>
  void Get(T& v) {
    ULONG n = 0;
    Expect(mReader.Read(&v, sizeof(T), &n) == IO_OK && n == sizeof(T));
  }
  void ReadObjects();
  void ReadRoots();
  void ReadObject();
  ReferenceTarget* CreateObject(int index);
  void ReadObjectData(int index);
  void ReadObjectRefs(LoadedObject& entry, int index);
  bool HasLoop(std::vector<char>& state, size_t i) const;
  static void Discard(std::vector<ReferenceTarget*>& objects);

  SceneReader mReader;
  std::vector<ReferenceTarget*> mObjects;  // what GetAddr hands out, by file index
  std::vector<LoadedObject> mEntries;
  std::vector<int32_t> mRoots;
};

void SceneLoad::Discard(std::vector<ReferenceTarget*>& objects) {
  for (ReferenceTarget* o : objects)
    if (o) o->SetAutoDelete(false);
  for (ReferenceTarget* o : objects)
    if (o) o->DeleteAllRefsFromMe();
  for (ReferenceTarget* o : objects)
    if (o) o->DeleteThis();
  objects.clear();
}

void SceneLoad::ReadAll() {
  bool sawObjects = false, sawRoots = false;
  IOResult res;
  while ((res = mReader.OpenChunk()) == IO_OK) {
    const USHORT id = mReader.CurChunkID();
    if (id == chunks::kSceneObjects && !sawObjects) {
      sawObjects = true;
      ReadObjects();
    } else if (id == chunks::kSceneRoots && !sawRoots) {
      sawRoots = true;
      ReadRoots();
    }
    Expect(mReader.CloseChunk() == IO_OK);
  }
  Expect(res == IO_END);
  if (!sawObjects) throw HostError(kLoad, "the object list is missing");
  if (!sawRoots) throw HostError(kLoad, "the root list is missing");
}

void SceneLoad::ReadObjects() {
  IOResult res;
  while ((res = mReader.OpenChunk()) == IO_OK) {
    if (mReader.CurChunkID() == chunks::kSceneObject) ReadObject();
    Expect(mReader.CloseChunk() == IO_OK);
  }
  Expect(res == IO_END);
}

void SceneLoad::ReadRoots() {
  uint32_t n = 0;
  Get(n);
  if (n > mReader.CurChunkLength() / 4)
    throw HostError(kLoad, "the root list is longer than its chunk");
  mRoots.resize(n);
  for (int32_t& root : mRoots) Get(root);
}

ReferenceTarget* SceneLoad::CreateObject(int index) {
  if (mReader.OpenChunk() != IO_OK || mReader.CurChunkID() != chunks::kObjectClass)
    Refuse("object %d has no class chunk", index);
  uint32_t sid = 0, a = 0, b = 0;
  Get(sid);
  Get(a);
  Get(b);
  Expect(mReader.CloseChunk() == IO_OK);
  if (sid == PARAMETER_BLOCK2_CLASS_ID) return nullptr;  // made from its data chunk
  ClassDesc* cd = FindClassDesc(sid, Class_ID(a, b));
  if (!cd) Refuse("unknown class (0x%X, 0x%X:0x%X) of object %d", sid, a, b, index);
  auto* obj = static_cast<ReferenceTarget*>(cd->Create(TRUE));
  if (!obj) Refuse("class (0x%X, 0x%X:0x%X) could not create object %d", sid, a, b, index);
  return obj;
}

void SceneLoad::ReadObjectData(int index) {
  // A damaged chunk is named by the reader; otherwise the object says what it could not read.
  ReferenceTarget*& obj = mObjects[static_cast<size_t>(index)];
  if (obj) {
    if (obj->Load(&mReader) != IO_OK) {
      Expect(mReader.Error().empty());
      Refuse("object %d (%s) could not read its data", index, ClassText(obj).c_str());
    }
    return;
  }
  std::string err;
  obj = ParamBlock2::CreateForLoad(&mReader, err);
  if (!obj) {
    Expect(mReader.Error().empty());
    Refuse("object %d: %s", index, err.c_str());
  }
}

void SceneLoad::ReadObjectRefs(LoadedObject& entry, int index) {
  uint32_t n = 0;
  Get(n);
  if (n > mReader.CurChunkLength() / 4)
    Refuse("object %d lists more references than its chunk holds", index);
  entry.refs.resize(n);
  for (int32_t& r : entry.refs) Get(r);
}

void SceneLoad::ReadObject() {
  const int index = static_cast<int>(mObjects.size());
  mObjects.push_back(CreateObject(index));
  mEntries.emplace_back();
  bool sawData = false;
  IOResult res;
  while ((res = mReader.OpenChunk()) == IO_OK) {
    const USHORT id = mReader.CurChunkID();
    if (id == chunks::kObjectData && !sawData) {
      sawData = true;
      ReadObjectData(index);
    } else if (id == chunks::kObjectRefs) {
      ReadObjectRefs(mEntries.back(), index);
    }
    Expect(mReader.CloseChunk() == IO_OK);
  }
  Expect(res == IO_END);
  if (!mObjects.back()) Refuse("object %d (a parameter block) has no data", index);
}

bool SceneLoad::HasLoop(std::vector<char>& state, size_t i) const {
  if (state[i] == 1) return true;
  if (state[i] == 2) return false;
  state[i] = 1;
  for (int32_t j : mEntries[i].refs)
    if (j >= 0 && HasLoop(state, static_cast<size_t>(j))) return true;
  state[i] = 2;
  return false;
}

void SceneLoad::CheckReferences() {
  const int count = static_cast<int>(mObjects.size());
  for (int i = 0; i < count; ++i) {
    ReferenceTarget* o = mObjects[static_cast<size_t>(i)];
    const auto& refs = mEntries[static_cast<size_t>(i)].refs;
    for (size_t k = 0; k < refs.size(); ++k) {
      if (refs[k] < -1 || refs[k] >= count)
        Refuse("object %d refers to object %d, which the file does not hold", i, refs[k]);
      if (refs[k] >= 0 && static_cast<int>(k) >= o->NumRefs())
        Refuse("object %d (%s) holds %d references, the file gives %zu", i, ClassText(o).c_str(),
               o->NumRefs(), refs.size());
    }
  }
  std::vector<char> state(static_cast<size_t>(count), 0);
  for (int i = 0; i < count; ++i)
    if (HasLoop(state, static_cast<size_t>(i)))
      Refuse("the references of object %d form a loop", i);
  for (size_t k = 0; k < mRoots.size(); ++k)
    if (mRoots[k] < 0 || mRoots[k] >= count)
      Refuse("root %zu is object %d, which the file does not hold", k, mRoots[k]);
}

// A reference that holds one of its class's own parameter blocks takes that block and
// nothing else; this holds for the plug-in's classes too, whose SetReference the host
// cannot see into.
void SceneLoad::CheckKinds() {
  for (size_t i = 0; i < mObjects.size(); ++i) {
    ReferenceTarget* o = mObjects[i];
    auto* cd = dynamic_cast<ClassDesc2*>(FindClassDesc(o->SuperClassID(), o->ClassID()));
    if (!cd || o->SuperClassID() == PARAMETER_BLOCK2_CLASS_ID) continue;
    const auto& refs = mEntries[i].refs;
    for (int d = 0; d < cd->NumParamBlockDescs(); ++d) {
      const ParamBlockDesc2* desc = cd->GetParamBlockDesc(d);
      if (!desc || !(desc->flags & P_AUTO_CONSTRUCT) || desc->ref_no < 0) continue;
      const auto slot = static_cast<size_t>(desc->ref_no);
      if (slot >= refs.size() || refs[slot] < 0) continue;
      ReferenceTarget* target = mObjects[static_cast<size_t>(refs[slot])];
      if (!IsBlockOf(target, cd, desc->ID))
        Refuse(
            "object %zu (%s) takes its parameter block at reference %d, the file gives "
            "object %d (%s)",
            i, ClassText(o).c_str(), desc->ref_no, refs[slot], ClassText(target).c_str());
    }
  }
}

std::vector<ReferenceTarget*> SceneLoad::Wire() {
  // Objects that no root reaches would be owned by nobody: they are not kept.
  std::vector<char> reached(mObjects.size(), 0);
  std::vector<int32_t> stack(mRoots.begin(), mRoots.end());
  while (!stack.empty()) {
    const auto i = static_cast<size_t>(stack.back());
    stack.pop_back();
    if (reached[i]) continue;
    reached[i] = 1;
    for (int32_t j : mEntries[i].refs)
      if (j >= 0) stack.push_back(j);
  }
  std::vector<ReferenceTarget*> unreached;
  for (size_t i = 0; i < mObjects.size(); ++i) {
    if (reached[i]) continue;
    unreached.push_back(mObjects[i]);
    mObjects[i] = nullptr;
  }
  Discard(unreached);
  for (size_t i = 0; i < mObjects.size(); ++i) {
    if (!mObjects[i]) continue;
    const auto& refs = mEntries[i].refs;
    for (size_t k = 0; k < refs.size(); ++k) {
      if (refs[k] < 0) continue;
      ReferenceTarget* target = mObjects[static_cast<size_t>(refs[k])];
      // A maker refuses a target of the wrong kind; the whole load fails then.
      if (mObjects[i]->ReplaceReference(static_cast<int>(k), target) != REF_SUCCEED)
        Refuse("object %zu (%s) refused object %d (%s) as reference %zu", i,
               ClassText(mObjects[i]).c_str(), refs[k], ClassText(target).c_str(), k);
    }
  }
  std::vector<ReferenceTarget*> roots;
  for (int32_t k : mRoots) roots.push_back(mObjects[static_cast<size_t>(k)]);
  mObjects.clear();  // the roots own them now
  return roots;
}

void CheckHeader(const unsigned char* data, size_t size) {
  if (!data || size < kHeaderSize || std::memcmp(data, kSceneMagic, sizeof kSceneMagic) != 0)
    throw HostError(kLoad, "not a scene file");
  uint16_t version = 0;
  std::memcpy(&version, data + sizeof kSceneMagic, sizeof version);
  if (version != kSceneVersion)
    Refuse("unsupported scene file version %u (this host reads %u)", unsigned{version},
           unsigned{kSceneVersion});
}

}  // namespace

LoadResult LoadSceneFromBytes(const unsigned char* data, size_t size) {
  LoadResult result;
  const Status status = CatchAtEdge(kLoad, [&] {
    CheckHeader(data, size);
    SceneLoad load(data, size);
    load.ReadAll();
    load.CheckReferences();
    load.CheckKinds();
    result.roots = load.Wire();
  });
  result.ok = status.ok;
  result.error = status.error;
  if (!result.ok) result.roots.clear();
  return result;
}

LoadResult LoadScene(const std::string& path) {
  std::vector<unsigned char> bytes;
  if (Status s = ReadRegularFile(kLoad, path, kMaxSceneBytes, bytes); !s) {
    LoadResult r;
    r.error = s.error;
    return r;
  }
  return LoadSceneFromBytes(bytes.data(), bytes.size());
}

}  // namespace maxhost
