// The font configuration's warm-up: reads the system's font configuration
// (font_configuration.h) on a second thread while the application object is built. The
// process's first text waits for fontconfig to parse its configuration files and load its
// font caches, 5-6 ms here, and the application object (platform plugin, style) takes about
// as long without touching a font. Start it first thing in main, before the application
// object, and call Wait before the first widget: fontconfig lets two first callers each load
// the whole configuration, so nothing may ask for a font while the thread still reads. Where
// there is no such configuration it starts nothing.
#pragma once

#include "app/warm_up.h"

WarmUp StartFontConfigWarmUp();
