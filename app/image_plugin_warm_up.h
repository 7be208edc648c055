// The image plugins' warm-up: loads Qt's image-format plugins on a second thread while the
// main dialog is being built. Qt's Fusion style draws a group box's frame from a PNG image,
// and the first image that the process reads asks every image-format plugin whether it reads
// PNG, loading each one (a few milliseconds); the dialog's plain group box is drawn in its
// first paint, which would wait for that. Start it on the user-interface thread after the
// application object and before the dialog. Other styles draw group boxes without an image,
// so nothing is loaded for them.
#pragma once

#include "app/warm_up.h"

WarmUp StartImagePluginWarmUp();
