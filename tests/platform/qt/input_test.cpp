// Mouse input from Qt reaches a window as the window system sends it.
#include "platform/qt/qt_backend.h"
#include "platform/win/window.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QWindow>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace win;

namespace {

TEST(QtInput, ARealDoubleClickIsPressReleaseDoubleClickRelease) {
  plat::qt::QtBackend* backend = plat::qt::QtBackend::Install();
  std::vector<std::string> got;
  WNDCLASS wc;
  wc.style = CS_DBLCLKS;
  wc.lpszClassName = "QtInputDbl";
  wc.lpfnWndProc = MakeWndProc([&](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
    if (m == WM_LBUTTONDOWN) got.push_back("down");
    if (m == WM_LBUTTONUP) got.push_back("up");
    if (m == WM_LBUTTONDBLCLK) got.push_back("dbl");
    return DefWindowProc(h, m, w, l);
  });
  ASSERT_TRUE(RegisterClass(wc));
  HWND w = CreateWindowEx(0, "QtInputDbl", "", WS_POPUP | WS_VISIBLE, 40, 40, 100, 80, nullptr);
  ProcessMessages();
  QWindow* q = backend->WindowOf(w);
  ASSERT_TRUE(q);
  // The events Qt delivers to a window for one real double click.
  const QPointF local(20, 20), global(60, 60);
  auto send = [&](QEvent::Type t, Qt::MouseButtons held) {
    QMouseEvent e(t, local, local, global, Qt::LeftButton, held, Qt::NoModifier);
    QGuiApplication::sendEvent(q, &e);
  };
  send(QEvent::MouseButtonPress, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, Qt::NoButton);
  send(QEvent::MouseButtonPress, Qt::LeftButton);
  send(QEvent::MouseButtonDblClick, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, Qt::NoButton);
  ProcessMessages();
  EXPECT_EQ(got, (std::vector<std::string>{"down", "up", "dbl", "up"}));
  DestroyWindow(w);
  plat::qt::QtBackend::Uninstall();
}

}  // namespace
