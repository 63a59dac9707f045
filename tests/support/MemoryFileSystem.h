// A file system in memory for handler tests. Like Windows, a file held open by
// createHeld cannot be deleted until it is released; further files can be made
// undeletable (another copy's lock, read-only) or impossible to create (folder
// missing, no right). Every call is logged in order.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <utility>
#include <vector>

#include "core/FileSystem.h"

class MemoryFileSystem final : public FileSystem {
 public:
  std::map<Text, ByteBlob> files;
  std::set<Text> undeletable;
  std::set<Text> uncreatable;
  std::vector<Text> log;  // "exists PATH", "remove PATH", "create PATH", "write PATH"

  bool exists(const Text& path) override {
    log.push_back("exists " + path);
    return files.count(path) != 0;
  }

  bool remove(const Text& path) override {
    log.push_back("remove " + path);
    if (!files.count(path) || undeletable.count(path) || held(path)) return false;
    files.erase(path);
    return true;
  }

  std::shared_ptr<HeldFile> createHeld(const Text& path) override {
    log.push_back("create " + path);
    if (uncreatable.count(path) || held(path)) return nullptr;
    files[path] = ByteBlob();
    auto handle = std::make_shared<HeldFile>();
    held_.emplace_back(path, handle);
    return handle;
  }

  bool writeWholeFile(const Text& path, const ByteBlob& bytes) override {
    log.push_back("write " + path);
    if (uncreatable.count(path)) return false;
    files[path] = bytes;
    return true;
  }

  // True while a handle from createHeld for the path is alive.
  bool held(const Text& path) const {
    for (const auto& [heldPath, handle] : held_)
      if (heldPath == path && !handle.expired()) return true;
    return false;
  }

 private:
  std::vector<std::pair<Text, std::weak_ptr<HeldFile>>> held_;
};
