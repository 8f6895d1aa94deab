#pragma once
// The host as the command-line verbs see it: plug-ins loaded from a folder, the
// stand-in's own classes registered, and the Tilvara class descriptor at hand.

#include <string>

#include "loader/plugin_loader.h"

class ClassDesc;
class Texmap;

namespace tilvara_app {

// The plug-in folder: $TILVARA_PLUGIN_DIR, else "plugins" beside the executable.
std::string DefaultPluginFolder();

class HostSession {
 public:
  // Loads every library of the folder; throws AppError when none loads.
  explicit HostSession(const std::string& pluginFolder);
  ~HostSession();
  HostSession(const HostSession&) = delete;
  HostSession& operator=(const HostSession&) = delete;

  const maxhost::PluginLoader& Loader() const { return loader_; }
  // Libraries that failed to load, as "tilvara: error: ..." lines.
  const std::vector<std::string>& Failures() const { return failures_; }

  // The Tilvara map class; throws AppError when no loaded library provides it.
  ClassDesc* TilvaraClass() const;
  // A new map made through the class descriptor, as the host makes one.
  Texmap* NewTilvaraMap() const;

 private:
  maxhost::PluginLoader loader_;
  std::vector<std::string> failures_;
};

}  // namespace tilvara_app
