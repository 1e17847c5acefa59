#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("ZE-ZUZU V2.37"));
    window.setFixedSize(670, 465);
    window.show();
    return app.exec();
}
