// The product's registry: HKEY_LOCAL_MACHINE (64-bit view) through the
// wide-character API, names and texts converted with code page 936.
#pragma once

#include "shell/Registry.h"

class RegistryWin32 final : public Registry {
 public:
  RegistryValue read(const Text& key, const Text& name) const override;
  bool writeString(const Text& key, const Text& name, const Text& text) override;
};
