#include <cstdio>

#include "app_error.h"
#include "base/text.h"
#include "commands.h"
#include "host_session.h"
#include "plugapi.h"

namespace tilvara_app {

Runner AddPluginsCommand(CLI::App& app, const GlobalOptions& global) {
  return [&app, &global]() {
    (void)app;
    HostSession session(PluginFolder(global));
    for (const std::string& failure : session.Failures())
      std::fprintf(stderr, "tilvara: error: %s\n", failure.c_str());
    for (const auto& lib : session.Loader().Libraries()) {
      std::printf("%s\n", lib.path.c_str());
      std::printf("  description: %s\n", maxhost::Utf8FromWide(lib.description).c_str());
      std::printf("  version:     0x%08lX\n", static_cast<unsigned long>(lib.version));
      for (ClassDesc* cd : lib.classes) {
        const MCHAR* className = cd->ClassName();
        const MCHAR* internal = cd->InternalName();
        const MCHAR* category = cd->Category();
        const Class_ID id = cd->ClassID();
        std::printf("  class:       %s\n",
                    className ? maxhost::Utf8FromWide(className).c_str() : "");
        std::printf("    internal name: %s\n",
                    internal ? maxhost::Utf8FromWide(internal).c_str() : "");
#if MAX_VERSION_MAJOR >= 24
        // From 2022 the name scripts know the class by, whatever the user's language.
        const MCHAR* plain = cd->NonLocalizedClassName();
        std::printf("    non-localized: %s\n", plain ? maxhost::Utf8FromWide(plain).c_str() : "");
#endif
        std::printf("    class ID:      (0x%08lX, 0x%08lX)\n",
                    static_cast<unsigned long>(id.PartA()), static_cast<unsigned long>(id.PartB()));
        std::printf("    super class:   0x%lX\n", static_cast<unsigned long>(cd->SuperClassID()));
        std::printf("    category:      %s\n",
                    category ? maxhost::Utf8FromWide(category).c_str() : "");
        std::printf("    public:        %s\n", cd->IsPublic() ? "yes" : "no");
      }
    }
    return session.Failures().empty() ? 0 : 1;
  };
}

}  // namespace tilvara_app
