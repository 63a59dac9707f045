// An in-memory registry for native tests: keys and value names ignore ASCII
// case as the real one does, expandable strings are expanded from a small
// environment table on read, and writes can be refused (no write right).
#pragma once

#include <map>
#include <utility>
#include <vector>

#include "shell/Registry.h"
#include "web/TextOps.h"

class MemoryRegistry final : public Registry {
 public:
  struct Write {
    Text key, name, text;
  };

  RegistryValue read(const Text& key, const Text& name) const override {
    auto found = values_.find({textToLower(key), textToLower(name)});
    if (found == values_.end()) return {};
    const Stored& stored = found->second;
    switch (stored.type) {
      case RegistryType::String:
        return {stored.type, stored.text};
      case RegistryType::ExpandString:
        return {stored.type, expand(stored.text)};
      default:
        return {RegistryType::Other, {}};
    }
  }

  bool writeString(const Text& key, const Text& name, const Text& text) override {
    if (refuseWrites) return false;
    writes.push_back({key, name, text});
    set(key, name, RegistryType::String, text);
    return true;
  }

  // Puts a value in place as another tool would.
  void set(const Text& key, const Text& name, RegistryType type, const Text& text) {
    values_[{textToLower(key), textToLower(name)}] = {type, text};
  }

  // The stored value itself (an expandable string unexpanded).
  RegistryValue raw(const Text& key, const Text& name) const {
    auto found = values_.find({textToLower(key), textToLower(name)});
    if (found == values_.end()) return {};
    return {found->second.type, found->second.text};
  }

  std::size_t valueCount() const { return values_.size(); }

  bool refuseWrites = false;
  std::map<Text, Text> environment;  // names as written between the percent signs
  std::vector<Write> writes;         // every successful writeString, in order

 private:
  struct Stored {
    RegistryType type = RegistryType::Missing;
    Text text;
  };

  // "%NAME%" replaced by its environment value; unknown names stay as written.
  Text expand(const Text& text) const {
    Text out;
    std::size_t i = 0;
    while (i < text.size()) {
      std::size_t open = text.find('%', i);
      std::size_t close = open == Text::npos ? Text::npos : text.find('%', open + 1);
      if (close == Text::npos) break;
      out.append(text, i, open - i);
      auto value = environment.find(text.substr(open + 1, close - open - 1));
      if (value != environment.end()) {
        out += value->second;
        i = close + 1;
      } else {
        out += '%';
        i = open + 1;
      }
    }
    out.append(text, i, Text::npos);
    return out;
  }

  std::map<std::pair<Text, Text>, Stored> values_;
};
