// ImagePluginWarmUp: loads Qt's image-format plugins on a second thread while the main
// dialog is being built. Qt's Fusion style draws a group box's frame from a PNG image, and
// the first image that the process reads asks every image-format plugin whether it reads
// PNG, loading each one (a few milliseconds); the dialog's plain group box is drawn in its
// first paint, which would wait for that. Create it on the user-interface thread after the
// application object and before the dialog; the destructor waits for the thread.
#pragma once

#include <thread>

class ImagePluginWarmUp {
 public:
  // Starts the thread when the application's style is Fusion; other styles draw group
  // boxes without an image, so nothing is loaded for them.
  ImagePluginWarmUp();
  ~ImagePluginWarmUp();
  ImagePluginWarmUp(const ImagePluginWarmUp&) = delete;
  ImagePluginWarmUp& operator=(const ImagePluginWarmUp&) = delete;

  bool Started() const { return m_thread.joinable(); }

 private:
  std::thread m_thread;
};
