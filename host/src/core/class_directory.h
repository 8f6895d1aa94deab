// The host's directory of class descriptors: filled by the plug-in loader and by the
// host's own classes, read by scene loading and the script engine.
#pragma once

#include <vector>

#include <plugapi.h>

namespace maxhost {

// Registering a descriptor twice keeps one entry.
CoreExport void RegisterClassDesc(ClassDesc* cd);
CoreExport void UnregisterClassDesc(ClassDesc* cd);
CoreExport ClassDesc* FindClassDesc(SClass_ID sid, Class_ID cid);
// Case-insensitive match of InternalName(), then of ClassName().
CoreExport ClassDesc* FindClassDescByInternalName(const MCHAR* name);
CoreExport std::vector<ClassDesc*> AllClassDescs();

}  // namespace maxhost
