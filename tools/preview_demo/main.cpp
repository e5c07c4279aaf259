// preview_demo INPUT OUTPUT [--shot PNG]
// Converts INPUT to OUTPUT in a worker thread with the preview window on;
// the window shows the current output picture with its time as caption and
// can be dragged by any point of the picture. --shot saves the window's
// picture when the conversion ends.
#include <QBackingStore>
#include <QGuiApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QRasterWindow>
#include <QScreen>
#include <QTimer>

#include <cstdio>
#include <cstring>

#include "media/FFConverter.h"
#include "media/EngineUtils.h"
#include "media/Previewer.h"

namespace {

class QtPreviewWindow : public QRasterWindow, public media::IPreviewWindow {
 public:
  QtPreviewWindow() { setFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowCloseButtonHint | Qt::WindowTitleHint); }
  static QImage last;

  void Show(int width, int height, std::function<void()> onClose) override {
    onClose_ = std::move(onClose);
    resize(width, height);
    if (QScreen* s = screen()) setPosition(s->geometry().center() - QPoint(width / 2, height / 2));
    show();
  }
  void SetCaption(const std::string& text) override { setTitle(QString::fromStdString(text)); }
  void Draw(const media::TBitmap24& b) override {
    image_ = QImage(b.Width(), b.Height(), QImage::Format_BGR888);
    for (int y = 0; y < b.Height(); ++y)
      std::memcpy(image_.scanLine(y), b.ScanLine(y), static_cast<size_t>(b.Width()) * 3);
    last = image_;
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter p(this);
    p.drawImage(0, 0, image_);
  }
  void mousePressEvent(QMouseEvent* e) override {
    // Dragged by any point of its picture.
    if (e->button() == Qt::LeftButton) startSystemMove();
  }
  bool event(QEvent* e) override {
    if (e->type() == QEvent::Close && onClose_) onClose_();
    return QRasterWindow::event(e);
  }

 private:
  QImage image_;
  std::function<void()> onClose_;
};

QImage QtPreviewWindow::last;

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  std::string in, out, shot;
  for (int i = 1; i < argc; ++i) {
    if (!std::strcmp(argv[i], "--shot") && i + 1 < argc)
      shot = argv[++i];
    else if (in.empty())
      in = argv[i];
    else
      out = argv[i];
  }
  if (in.empty() || out.empty()) {
    std::fprintf(stderr, "usage: preview_demo INPUT OUTPUT [--shot PNG]\n");
    return 2;
  }
  media::SetPreviewWindowFactory([] { return std::make_unique<QtPreviewWindow>(); });
  media::TFFConverter conv;
  if (!conv.AVLibLoaded() && !conv.LoadAVLib("")) {
    std::fprintf(stderr, "%s\n", conv.LastErrMsg().c_str());
    return 1;
  }
  conv.SetPreview(true);
  int rc = 0;
  conv.OnProgress = [](void*, media::TProgressInfo* p) {
    std::printf("progress task %d frame %d time %s\n", p->TaskIndex, p->FrameNumber,
                media::FormatTimeText(p->CurrentDuration).c_str());
    std::fflush(stdout);
  };
  conv.OnTerminate = [&](void*, const media::TTerminateInfo& t) {
    // Off the UI thread: the UI work is posted.
    media::PostToMainThread([&, t] {
      if (t.TaskIndex >= 0) {
        std::printf("task %d %s %s\n", t.TaskIndex, t.Finished ? "finished" : "ended", t.ExceptionMsg.c_str());
        if (t.Exception) rc = 1;
        return;
      }
      if (!shot.empty())
        std::printf("shot %s %s\n", shot.c_str(),
                    QtPreviewWindow::last.save(QString::fromStdString(shot)) ? "saved" : "failed");
      app.quit();
    });
  };
  QTimer pump;
  QObject::connect(&pump, &QTimer::timeout, [] { media::PumpMessages(); });
  pump.start(10);
  int t = conv.AddTask(in, static_cast<media::TInputOptions*>(nullptr));
  media::TOutputOptions o;
  if (t < 0 || !conv.SetOutputFile(t, out, &o)) {
    std::fprintf(stderr, "%s\n", conv.LastErrMsg().c_str());
    return 1;
  }
  conv.Start(1);
  app.exec();
  conv.Stop(true);
  conv.ClearTasks();
  return rc;
}
