// Saving and loading a parameter block: every value, list entry and key; references are
// the scene file's and are set by it afterwards.
#include <cstdio>

#include "core/chunk_ids.h"
#include "core/class_directory.h"
#include "core/param_block.h"
#include "core/param_block_kinds.h"

namespace maxhost {

using pblock::InsertKey;
using pblock::Kind;
using pblock::KindOf;
using pblock::ReadRaw;
using pblock::WriteRaw;

namespace {

bool WriteValue(ISave* s, Kind k, const PBValue& v) {
  switch (k) {
    case Kind::Float:
      return WriteRaw(s, v.f);
    case Kind::Int:
      return WriteRaw(s, static_cast<int32_t>(v.i));
    case Kind::Point:
      return WriteRaw(s, v.p.x) && WriteRaw(s, v.p.y) && WriteRaw(s, v.p.z);
    case Kind::AColor4:
      return WriteRaw(s, v.p.x) && WriteRaw(s, v.p.y) && WriteRaw(s, v.p.z) && WriteRaw(s, v.a);
    case Kind::String: {
      if (!WriteRaw(s, static_cast<uint32_t>(v.s.size()))) return false;
      for (wchar_t c : v.s)
        if (!WriteRaw(s, static_cast<uint32_t>(c))) return false;
      return true;
    }
    case Kind::Ref:
      return true;  // references are the scene's: written with the reference list
  }
  return false;
}

bool ReadValue(ILoad* l, Kind k, PBValue& v) {
  switch (k) {
    case Kind::Float:
      return ReadRaw(l, v.f);
    case Kind::Int: {
      int32_t i = 0;
      if (!ReadRaw(l, i)) return false;
      v.i = i;
      return true;
    }
    case Kind::Point:
      return ReadRaw(l, v.p.x) && ReadRaw(l, v.p.y) && ReadRaw(l, v.p.z);
    case Kind::AColor4:
      return ReadRaw(l, v.p.x) && ReadRaw(l, v.p.y) && ReadRaw(l, v.p.z) && ReadRaw(l, v.a);
    case Kind::String: {
      uint32_t n = 0;
      if (!ReadRaw(l, n)) return false;
      if (n > l->CurChunkLength() / 4) return false;
      v.s.clear();
      v.s.reserve(n);
      for (uint32_t i = 0; i < n; ++i) {
        uint32_t c = 0;
        if (!ReadRaw(l, c)) return false;
        v.s.push_back(static_cast<wchar_t>(c));
      }
      return true;
    }
    case Kind::Ref:
      v.r = nullptr;
      return true;
  }
  return false;
}

}  // namespace

IOResult ParamBlock2::Save(ISave* isave) {
  if (!mDesc) return IO_ERROR;
  isave->BeginChunk(chunks::kPBlockHeader);
  ClassDesc2* cd = mDesc->cd;
  const uint32_t sid = cd ? static_cast<uint32_t>(cd->SuperClassID()) : 0u;
  const Class_ID cid = cd ? cd->ClassID() : Class_ID(0, 0);
  bool ok = WriteRaw(isave, sid) && WriteRaw(isave, static_cast<uint32_t>(cid.PartA())) &&
            WriteRaw(isave, static_cast<uint32_t>(cid.PartB())) &&
            WriteRaw(isave, static_cast<int16_t>(mDesc->ID)) &&
            WriteRaw(isave, static_cast<int32_t>(mDesc->version));
  isave->EndChunk();
  for (Param& p : mParams) {
    if (!ok) break;
    if (p.def->flags & P_TRANSIENT) continue;
    const Kind k = KindOf(p.def->type);
    isave->BeginChunk(chunks::kPBlockParam);
    ok = WriteRaw(isave, static_cast<int16_t>(p.def->ID)) &&
         WriteRaw(isave, static_cast<int32_t>(p.def->type)) &&
         WriteRaw(isave, static_cast<uint32_t>(p.entries.size()));
    for (Entry& e : p.entries) {
      if (!ok) break;
      ok = WriteValue(isave, k, e.v) && WriteRaw(isave, static_cast<uint32_t>(e.keys.size()));
      for (PBKey& key : e.keys) {
        if (!ok) break;
        ok = WriteRaw(isave, static_cast<int32_t>(key.t)) && WriteValue(isave, k, key.v);
      }
    }
    isave->EndChunk();
  }
  return ok ? IO_OK : IO_ERROR;
}

IOResult ParamBlock2::Load(ILoad* iload) {
  IOResult res;
  while ((res = iload->OpenChunk()) == IO_OK) {
    if (iload->CurChunkID() == chunks::kPBlockParam) {
      int16_t id = 0;
      int32_t type = 0;
      uint32_t count = 0;
      if (!ReadRaw(iload, id) || !ReadRaw(iload, type) || !ReadRaw(iload, count)) return IO_ERROR;
      Param* p = Find(id);
      // Parameters that this version does not have, or has with another type, are skipped.
      if (p && p->def->type == type) {
        const Kind k = KindOf(type);
        if (!is_tab(type) && count != 1) return IO_ERROR;
        if (count > iload->CurChunkLength() / 4) return IO_ERROR;
        // Entries of reference type start empty; the scene sets them afterwards.
        std::vector<Entry> entries(count, Entry{DefaultValue(*p->def), {}});
        for (Entry& e : entries) {
          uint32_t nkeys = 0;
          if (!ReadValue(iload, k, e.v) || !ReadRaw(iload, nkeys)) return IO_ERROR;
          if (nkeys > iload->CurChunkLength() / 4) return IO_ERROR;
          for (uint32_t j = 0; j < nkeys; ++j) {
            PBKey key;
            key.v = e.v;
            int32_t t = 0;
            if (!ReadRaw(iload, t) || !ReadValue(iload, k, key.v)) return IO_ERROR;
            key.t = t;
            InsertKey(e.keys, key.t, key.v);
          }
        }
        if (IsReferenceType(type)) {
          for (Entry& e : p->entries)
            if (e.v.r) return IO_ERROR;  // loading happens before references are set
        }
        p->entries = std::move(entries);
      }
    }
    if (iload->CloseChunk() != IO_OK) return IO_ERROR;
  }
  return res == IO_END ? IO_OK : IO_ERROR;
}

ParamBlock2* ParamBlock2::CreateForLoad(ILoad* iload, std::string& error) {
  if (iload->OpenChunk() != IO_OK || iload->CurChunkID() != chunks::kPBlockHeader) {
    error = "parameter block without its header";
    return nullptr;
  }
  uint32_t sid = 0, a = 0, b = 0;
  int16_t blockId = 0;
  int32_t version = 0;
  if (!ReadRaw(iload, sid) || !ReadRaw(iload, a) || !ReadRaw(iload, b) ||
      !ReadRaw(iload, blockId) || !ReadRaw(iload, version) || iload->CloseChunk() != IO_OK) {
    error = "parameter block header is truncated";
    return nullptr;
  }
  auto* cd = dynamic_cast<ClassDesc2*>(FindClassDesc(sid, Class_ID(a, b)));
  ParamBlockDesc2* desc = cd ? cd->GetParamBlockDescByID(blockId) : nullptr;
  if (!desc) {
    char buf[160];
    std::snprintf(buf, sizeof buf, "parameter block %d of unknown class (0x%X, 0x%X:0x%X)",
                  static_cast<int>(blockId), sid, a, b);
    error = buf;
    return nullptr;
  }
  auto* pb = new ParamBlock2(desc, nullptr);
  if (pb->Load(iload) != IO_OK) {
    error = "parameter block data could not be read";
    pb->DeleteThis();
    return nullptr;
  }
  return pb;
}

}  // namespace maxhost
