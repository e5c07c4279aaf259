// player_demo FILE [--paused] [--info] [--shot PNG] [--after MS] [--quit MS]
// Plays FILE in a 200x124 window; --info prints the probe's report of the
// file; --shot saves what the window shows after --after milliseconds
// (default 1500); --quit ends the program.
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <cstring>
#include <string>

#include "media/EngineUtils.h"
#include "media/Player.h"
#include "tools/player_demo/QtVideoOutput.h"

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  std::string file, shot;
  bool paused = false, info = false;
  int after = 1500, quit = -1;
  for (int i = 1; i < argc; i++) {
    if (!std::strcmp(argv[i], "--paused"))
      paused = true;
    else if (!std::strcmp(argv[i], "--info"))
      info = true;
    else if (!std::strcmp(argv[i], "--shot") && i + 1 < argc)
      shot = argv[++i];
    else if (!std::strcmp(argv[i], "--after") && i + 1 < argc)
      after = std::atoi(argv[++i]);
    else if (!std::strcmp(argv[i], "--quit") && i + 1 < argc)
      quit = std::atoi(argv[++i]);
    else
      file = argv[i];
  }
  if (file.empty()) {
    std::fprintf(stderr, "usage: player_demo FILE [--paused] [--info] [--shot PNG] [--after MS] [--quit MS]\n");
    return 2;
  }
  media::TZEVizeza player;
  if (!player.AVLibLoaded() && !player.LoadAVLib("")) {
    std::fprintf(stderr, "%s\n", player.LastErrMsg().c_str());
    return 1;
  }
  QtVideoOutput window;
  window.setTitle("player_demo");
  window.resize(200, 124);
  window.show();

  // The player's notifications arrive through the engine's main-thread queue.
  QTimer pump;
  QObject::connect(&pump, &QTimer::timeout, [] { media::PumpMessages(); });
  pump.start(10);

  player.SetOnState([](media::TCustomPlayer*, media::TPlayState s) {
    static const char* names[] = {"Play", "Pause", "Resume", "Step", "Stop", "End"};
    std::printf("state %s\n", names[s]);
    std::fflush(stdout);
  });
  player.SetOnPosition([](media::TCustomPlayer*, int64_t pts) { std::printf("position %lld\n", (long long)pts); });
  player.SetOnFileOpen([&](media::TCustomPlayer*, int64_t d, int w, int h, int& sw, int& sh) {
    std::printf("open %lld us %dx%d\n", (long long)d, w, h);
    if (info) std::printf("%s", player.AVProbe()->FileInfoText().c_str());
    sw = window.width();
    sh = window.height();
  });
  QTimer::singleShot(100, [&] {
    if (!player.Open(file, &window, paused)) {
      std::fprintf(stderr, "%s\n", player.LastErrMsg().c_str());
      app.exit(1);
    }
  });
  if (!shot.empty())
    QTimer::singleShot(after, [&] {
      QImage img;
      if (QScreen* s = window.screen()) img = s->grabWindow(window.winId()).toImage();
      if (img.isNull() || img.width() < 2) img = window.Snapshot();
      std::printf("shot %s %s\n", shot.c_str(), img.save(QString::fromStdString(shot)) ? "saved" : "failed");
      // Where the picture lies on the middle row: the letterbox check of the smoke test.
      int y = img.height() / 2, x0 = -1, x1 = -1;
      for (int x = 0; x < img.width(); x++)
        if ((img.pixel(x, y) & 0xFFFFFF) != 0) {
          if (x0 < 0) x0 = x;
          x1 = x;
        }
      std::printf("picture columns %d..%d of %d\n", x0, x1, img.width());
      std::fflush(stdout);
    });
  if (quit >= 0) QTimer::singleShot(quit, [&] { app.quit(); });
  int rc = app.exec();
  player.Stop(true);
  return rc;
}
