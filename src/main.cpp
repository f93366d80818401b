// Start-up: the application object and the main frame.

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QStringList>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("Brimvale");

    QMainWindow frame;
    frame.setWindowTitle("Brimvale");
    QStringList files = QApplication::arguments().mid(1);
    auto* label = new QLabel(files.isEmpty() ? QString("Brimvale") : files.join('\n'), &frame);
    label->setAlignment(Qt::AlignCenter);
    frame.setCentralWidget(label);
    frame.resize(800, 500);
    frame.show();
    return app.exec();
}
