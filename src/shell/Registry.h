// The registry as the configuration store uses it: string values under keys of
// HKEY_LOCAL_MACHINE. Key paths, value names and texts are GBK; the Win32
// implementation (RegistryWin32.cpp) converts them to UTF-16 with code page
// 936. Only ConfigStore talks to it.
#pragma once

#include "core/Text.h"

enum class RegistryType {
  Missing,       // no such key or value
  String,        // REG_SZ
  ExpandString,  // REG_EXPAND_SZ; the text is already expanded
  Other,         // any other type; the text is empty
};

struct RegistryValue {
  RegistryType type = RegistryType::Missing;
  Text text;  // up to the first zero character
};

class Registry {
 public:
  virtual ~Registry() = default;

  // Opens `key` for reading and queries the value `name` ("" is the default
  // value). Environment references of an expandable string are expanded.
  virtual RegistryValue read(const Text& key, const Text& name) const = 0;

  // Opens `key` for writing, creating it when it cannot be opened, and sets
  // `name` to a REG_SZ value of the text and its ending zero. False when the
  // key could not be opened or created or the value not set.
  virtual bool writeString(const Text& key, const Text& name, const Text& text) = 0;
};
