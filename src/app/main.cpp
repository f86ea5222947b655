#include <QApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    std::puts("Voltrane: the main window is not built yet.");
    return 0;
}
