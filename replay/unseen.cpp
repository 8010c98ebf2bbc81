#include "replay/unseen.h"

#include "window/form1.h"

namespace tarnix {

Unseen::Unseen(SoundOutput* sound) : clock_(Platform().clock), sound_(Platform().sound) {
  Platform().clock = &jump_;
  if (sound != nullptr) Platform().sound = sound;
  if (Form1 == nullptr) return;
  updates_ = Form1->updatesEnabled();
  Form1->setUpdatesEnabled(false);
}

Unseen::~Unseen() {
  Platform().clock = clock_;
  Platform().sound = sound_;
  if (Form1 == nullptr) return;
  Form1->setUpdatesEnabled(updates_);
  if (!updates_) return;
  // What was asked for meanwhile was dropped: the whole game is shown anew.
  for (QWidget* w : Form1->findChildren<QWidget*>()) w->update();
}

}  // namespace tarnix
