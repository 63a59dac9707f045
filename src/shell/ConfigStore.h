// The settings in the registry and their export to a text file.
//
// The main window's fields are the only home of the settings: load copies the
// registry values into them at start-up, save copies them back (button
// 保存配置), exportSettings writes them to a text file (menu 导出配置). Values
// live under HKEY_LOCAL_MACHINE\Software\Vantrel as REG_SZ in GBK, exactly as
// typed. This module is the registry's only user.
#pragma once

#include "core/Text.h"

struct App;

namespace ConfigStore {

// Paths of a value of the program's key: writes name the key
// "Software\Vantrel", reads "SOFTWARE\Vantrel" (the same key; registry names
// ignore case).
Text writePath(const Text& valueName);
Text readPath(const Text& valueName);

// A path is split at its last backslash into key and value name; a backslash
// byte that is the second byte of a two-byte character does not count.
//
// The text of a REG_SZ value, or of a REG_EXPAND_SZ value with its environment
// references expanded; `defaultText` when the key or value is missing or the
// value has another type. An existing empty value gives empty text.
Text readText(App& app, const Text& path, const Text& defaultText);
// Sets a REG_SZ value, creating the key when it cannot be opened. A failure
// (no right to write the machine-wide key) is silent.
void writeText(App& app, const Text& path, const Text& text);

// Start-up: every setting from the registry into its field, with its default.
void load(App& app);
// Button 保存配置: the ten saved settings from their fields into the registry.
// The APIKEY is not written here; key verification stores it.
void save(App& app);
// Menu 导出配置: the fields as "label：value" pieces into 编辑框9, then the
// save dialog, then the text's GBK bytes into the chosen file, which is
// either left as it was or replaced whole.
void exportSettings(App& app);

}  // namespace ConfigStore
