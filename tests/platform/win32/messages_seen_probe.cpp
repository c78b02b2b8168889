// Started by the platform tests on desktops of their own making: tells through its exit
// status what MessagesCanBeSeen() answers there.
#include "platform/message_box.h"

int main() {
  // Neither answer is 0, which a process that never got to ask could end with too.
  return tarnwell::platform::MessagesCanBeSeen() ? 1 : 2;
}
