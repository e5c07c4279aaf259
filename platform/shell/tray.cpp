#include "platform/shell/tray.h"

namespace shell {

namespace {
ITrayBackend* g_tray = nullptr;
}

ITrayBackend& TrayBackend() {
  static NullTrayBackend* def = new NullTrayBackend;
  return g_tray ? *g_tray : *def;
}

void SetTrayBackend(ITrayBackend* backend) { g_tray = backend; }

}  // namespace shell
