// The least a Qt Widgets program holds on this machine: a maximised main window with a menu bar
// and a view that fills itself white and draws one line of text. Nothing of the game is in it; the
// window benchmark starts it beside the game, so the figures show how much of the game's memory is
// Qt's own (its libraries, its font database, the window's backing store) on the same screen.

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QPainter>
#include <QWidget>

namespace {

class CBareView : public QWidget {
  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        painter.drawText(rect(), Qt::AlignCenter, QStringLiteral("A bare Qt window"));
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare Qt window"));
    for (const char* title : {"&File", "&Options", "&Help"}) {
        window.menuBar()
            ->addMenu(QString::fromLatin1(title))
            ->addAction(QStringLiteral("&Close"), &window, &QWidget::close);
    }
    window.setCentralWidget(new CBareView);
    window.showMaximized();
    return app.exec();
}
