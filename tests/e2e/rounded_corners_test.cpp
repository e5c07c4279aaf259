// Rounded windows on a black desktop with no compositor: the X shape of a
// window is one bit deep, so every pixel inside it shows whole, and the
// outermost pixel of each row of a corner is the window's outline colour,
// neither darkened towards the desktop nor lightened towards the caption.
#include <xcb/xcb.h>

#include "tests/e2e/UserSession.h"

using namespace e2e;

namespace {

// A dark desktop without a picture: the root window black.
void BlackDesktop() {
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (!c || xcb_connection_has_error(c)) {
    if (c) xcb_disconnect(c);
    return;
  }
  xcb_screen_t* s = xcb_setup_roots_iterator(xcb_get_setup(c)).data;
  const uint32_t black = s->black_pixel;
  xcb_change_window_attributes(c, s->root, XCB_CW_BACK_PIXEL, &black);
  xcb_clear_area(c, 0, s->root, 0, 0, 0, 0);
  free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));  // a round trip: the server has done it
  xcb_disconnect(c);
}

int Distance(QRgb a, QRgb b) {
  return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)), std::abs(qBlue(a) - qBlue(b))});
}

// Rows of the four corners of a window whose outermost shown pixel is not
// the outline's colour (taken from the middle of the left edge), each as
// "corner row: colour".
std::vector<std::string> FringedRows(const QImage& screen, const Rect& w, int zone = 14) {
  std::vector<std::string> bad;
  const QRgb outline = screen.pixel(w.x, w.y + w.h / 2);
  if ((outline & 0xFFFFFF) == 0) return {"no outline at the left edge"};
  const char* names[] = {"top-left", "top-right", "bottom-left", "bottom-right"};
  for (int corner = 0; corner < 4; ++corner) {
    const bool right = corner & 1, bottom = corner & 2;
    for (int row = 0; row < zone; ++row) {
      const int y = bottom ? w.y + w.h - 1 - row : w.y + row;
      for (int step = 0; step < zone; ++step) {
        const int x = right ? w.x + w.w - 1 - step : w.x + step;
        const QRgb p = screen.pixel(x, y);
        if ((p & 0xFFFFFF) == 0) continue;  // the desktop: outside the shape
        if (Distance(p, outline) > 12)
          bad.push_back(std::string(names[corner]) + " row " + std::to_string(row) + ": " +
                        QColor(p).name().toStdString() + " (outline " + QColor(outline).name().toStdString() + ")");
        break;
      }
    }
  }
  return bad;
}

}  // namespace

TEST_F(UserSession, RoundedCornersKeepTheOutlineColourOnABlackDesktop) {
  // The rounded skins, light and dark, flat and glossy.
  for (int skin : {0, 2, 10}) {
    SCOPED_TRACE("skin " + std::to_string(skin));
    std::ofstream(program.parent_path() / "option.ini") << "[Skin]\nSetSkin=" << skin << "\n";
    BlackDesktop();
    StartProgram();
    for (const std::string& row : FringedRows(SettledScreen(), mainAt)) ADD_FAILURE() << "main window " << row;
    Click(twin->form1->bsSkinButton19);  // "选项"
    const std::string dlg = WaitWindow("选项");
    ASSERT_FALSE(dlg.empty()) << "the options dialog never showed";
    // Both windows apart, each with the black desktop around its corners.
    Rect at = Geometry(dlg);
    Xdo({"windowmove", "--sync", main, "460", "10"});
    Xdo({"windowmove", "--sync", dlg, "10", std::to_string(1000 - at.h)});
    ASSERT_TRUE(WaitFor([&] { return Geometry(dlg).x == 10 && Geometry(main).x == 460; })) << "the windows stayed";
    at = Geometry(dlg);
    mainAt = Geometry(main);
    const QImage apart = SettledScreen();
    Step("corners-" + std::to_string(skin));
    for (const std::string& row : FringedRows(apart, at)) ADD_FAILURE() << "options dialog " << row;
    for (const std::string& row : FringedRows(apart, mainAt)) ADD_FAILURE() << "inactive main window " << row;
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    pid = -1;
  }
}
