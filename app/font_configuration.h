// The system's font configuration that the toolkit reads before its first text, where it has
// one: fontconfig's on Linux and the other Unix systems but macOS
// (font_configuration_fontconfig.cpp); none elsewhere (font_configuration_none.cpp).
// Thread-safe.
#pragma once

// Whether the toolkit reads such a configuration on this system.
bool HasFontConfiguration();
// Reads it: fontconfig's configuration files and font caches, loaded once per process and
// kept for every later font request. Does nothing where there is none.
void LoadFontConfiguration();
